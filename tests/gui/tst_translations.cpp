// Qt's own texts are Swedish whatever the locale, and F1 opens the user's guide.
#include "gui/app/helpbrowser.h"
#include "gui/app/translations.h"
#include "gui/windowdriver.h"

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    // "Avbryt" comes from the program's own catalogue, "Klipp ut" and "Klistra in" from Qt's.
    void qtTextsAreSwedish()
    {
        for (const char *locale : {"sv_SE", "en_US"}) {
            // Without translators, as a fresh start would be.
            qDeleteAll(qApp->findChildren<QTranslator *>());
            QLocale::setDefault(QLocale(locale));
            lv::gui::installSwedishTranslations(*qApp);
            QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
            QLineEdit edit;
            const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
            QStringList items; // as shown: no mnemonic marker, no shortcut after the TAB
            for (const QAction *action : menu->actions())
                items << action->text().section(u'\t', 0, 0).remove(u'&');
            QCOMPARE(
                buttons.button(QDialogButtonBox::Cancel)->text() + '|' +
                    items.filter(QRegularExpression("^(Klipp ut|Klistra in|Paste|Cut)$")).join('|'),
                "Avbryt|Klipp ut|Klistra in");
        }
    }

    // Asked twice, F1 shows the one guide, not a second window.
    void f1OpensTheGuide()
    {
        RecordingPrompts prompts;
        lv::gui::MainWindow window(prompts);
        auto *guide = window.findChild<QAction *>(QStringLiteral("userGuideAction"));
        QCOMPARE(guide->shortcut(), QKeySequence(Qt::Key_F1));
        guide->trigger();
        guide->trigger();
        const auto guides = window.findChildren<lv::gui::HelpBrowser *>();
        QVERIFY(guides.size() == 1 && guides.front()->isVisible() && prompts.messages.isEmpty());
        const QTextDocument *page = guides.front()->browser()->document();
        QCOMPARE(page->metaInformation(QTextDocument::DocumentTitle) + '|' +
                     page->firstBlock().text().trimmed(),
                 u"Användarhandbok|Luftvaka – användarhandbok"_qs);
        QVERIFY(page->toPlainText().contains(u"en timmes trafik"_qs));
    }
};

QTEST_MAIN(TranslationsTest)
#include "tst_translations.moc"
