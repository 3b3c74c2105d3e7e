// Qt's own texts are Swedish whatever the locale, and F1 opens the user's guide.
#include "gui/app/helpbrowser.h"
#include "gui/app/mainwindow.h"
#include "gui/app/translations.h"
#include "recordingprompts.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTranslator>

#include <memory>

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void qtTextsAreSwedish_data();
    void qtTextsAreSwedish();
    void f1OpensTheGuide();
};

// What a menu item reads on screen: no mnemonic marker, no shortcut after the tab.
static QString shownText(const QAction *action)
{
    return action->text().section(u'\t', 0, 0).remove(u'&');
}

void TranslationsTest::qtTextsAreSwedish_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("Swedish system") << "sv_SE";
    QTest::newRow("English system") << "en_US";
}

void TranslationsTest::qtTextsAreSwedish()
{
    QFETCH(QString, locale);
    // Each row starts without translators, as a fresh start would.
    qDeleteAll(qApp->findChildren<QTranslator *>());
    QLocale::setDefault(QLocale(locale));
    lv::gui::installSwedishTranslations(*qApp);

    // "Avbryt" comes from the program's own catalogue, "Klistra in" from Qt's.
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Avbryt"));

    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList items;
    for (const QAction *action : menu->actions()) {
        if (!action->isSeparator())
            items << shownText(action);
    }
    QVERIFY2(items.contains(QStringLiteral("Klistra in")), qPrintable(items.join(u'|')));
    QVERIFY2(items.contains(QStringLiteral("Klipp ut")), qPrintable(items.join(u'|')));
    QVERIFY2(!items.contains(QStringLiteral("Paste")), qPrintable(items.join(u'|')));
}

void TranslationsTest::f1OpensTheGuide()
{
    RecordingPrompts prompts;
    lv::gui::MainWindow window(prompts);
    auto *guideAction = window.findChild<QAction *>(QStringLiteral("userGuideAction"));
    QVERIFY(guideAction);
    QCOMPARE(guideAction->shortcut(), QKeySequence(Qt::Key_F1));

    // Asking twice shows the one guide, not a second window.
    guideAction->trigger();
    guideAction->trigger();
    const auto guides = window.findChildren<lv::gui::HelpBrowser *>();
    QCOMPARE(guides.size(), 1);
    QVERIFY(guides.front()->isVisible());
    const QTextDocument *page = guides.front()->browser()->document();
    QCOMPARE(page->metaInformation(QTextDocument::DocumentTitle),
             QStringLiteral("Användarhandbok"));
    QCOMPARE(page->firstBlock().text().trimmed(), QStringLiteral("Luftvaka – användarhandbok"));
    QVERIFY(page->toPlainText().contains(QStringLiteral("en timmes trafik")));
    QVERIFY(prompts.messages.isEmpty());
}

QTEST_MAIN(TranslationsTest)
#include "tst_translations.moc"
