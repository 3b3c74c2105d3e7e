#include "gui/input/frmdelstracka.h"
#include "gui/recordingprompts.h"
#include "gui/windowdriver.h"

#include <QAccessible>
#include <QLocale>
#include <QPushButton>
#include <QTest>

using lv::gui::FrmDelstracka;
using lv::input::SegmentRow;

namespace {

const QString kNotPositive =
    QStringLiteral("Ogiltig längd, flöde eller hastighet. Måste vara ett positivt decimaltal.");
const QString kZeroSpeed = QStringLiteral("Medelhastighet = Reshastighet, måste vara större än 0");

} // namespace

class TestFrmDelstracka : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }

    void okChecks_data();
    void okChecks();
    void fieldsInTabOrder();
    void accessibleNames_data();
    void accessibleNames();
    void enterAndEscapeDoNotClose_data();
    void enterAndEscapeDoNotClose();
    void cancelStoresNothing();
    void editKeepsTextsAsTyped();
};

void TestFrmDelstracka::okChecks_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field2");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<QString>("message"); // empty: accepted

    QTest::newRow("valid") << ""
                           << ""
                           << ""
                           << ""
                           << "";
    QTest::newRow("empty number") << "txtNummer"
                                  << ""
                                  << ""
                                  << ""
                                  << "Ogiltigt Segmentnummer: ";
    QTest::newRow("number 40000") << "txtNummer"
                                  << "40000"
                                  << ""
                                  << ""
                                  << "Ogiltigt Segmentnummer: 40000";
    QTest::newRow("number 2,5 under sv_SE") << "txtNummer"
                                            << "2,5"
                                            << ""
                                            << ""
                                            << "";
    QTest::newRow("number 0") << "txtNummer"
                              << "0"
                              << ""
                              << ""
                              << "";
    QTest::newRow("number -3") << "txtNummer"
                               << "-3"
                               << ""
                               << ""
                               << "";
    QTest::newRow("number with point under sv_SE") << "txtNummer"
                                                   << "2.5"
                                                   << ""
                                                   << ""
                                                   << "Ogiltigt Segmentnummer: 2.5";
    QTest::newRow("empty slope") << "txtLutning"
                                 << ""
                                 << ""
                                 << ""
                                 << "Ogiltig lutning: ";
    QTest::newRow("slope -6") << "txtLutning"
                              << "-6"
                              << ""
                              << ""
                              << "";
    QTest::newRow("slope 250") << "txtLutning"
                               << "250"
                               << ""
                               << ""
                               << "";
    QTest::newRow("slope text") << "txtLutning"
                                << "brant"
                                << ""
                                << ""
                                << "Ogiltig lutning: brant";
    QTest::newRow("Pb flow -1") << "txtPbF"
                                << "-1"
                                << ""
                                << "" << kNotPositive;
    QTest::newRow("Pb flow 0") << "txtPbF"
                               << "0"
                               << ""
                               << ""
                               << "";
    QTest::newRow("empty length") << "txtLangd"
                                  << ""
                                  << ""
                                  << "" << kNotPositive;
    QTest::newRow("length 0") << "txtLangd"
                              << "0"
                              << ""
                              << ""
                              << "";
    QTest::newRow("Lbs flow text") << "txtLbsF"
                                   << "x"
                                   << ""
                                   << "" << kNotPositive;
    QTest::newRow("Lbs speed 0") << "txtLbsSpd"
                                 << "0"
                                 << ""
                                 << "" << kZeroSpeed;
    QTest::newRow("Pb speed 0") << "txtPbSpd"
                                << "0"
                                << ""
                                << "" << kZeroSpeed;
    // The first failing check speaks.
    QTest::newRow("number before slope") << "txtNummer"
                                         << "x"
                                         << "txtLutning"
                                         << ""
                                         << "Ogiltigt Segmentnummer: x";
    QTest::newRow("slope before length") << "txtLutning"
                                         << "x"
                                         << "txtLangd"
                                         << ""
                                         << "Ogiltig lutning: x";
    QTest::newRow("negative before zero speed") << "txtLbSpd"
                                                << "0"
                                                << "txtLbF"
                                                << "-1" << kNotPositive;
}

void TestFrmDelstracka::okChecks()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, field2);
    QFETCH(QString, text2);
    QFETCH(QString, message);

    RecordingPrompts prompts;
    FrmDelstracka dialog(prompts);
    dialog.show();
    fillSegmentDialog(dialog, segment("4", "120,50", "-2", "70", "1200", "60", "80", "50", "40"));
    if (!field.isEmpty())
        named<QLineEdit>(dialog, field)->setText(text);
    if (!field2.isEmpty())
        named<QLineEdit>(dialog, field2)->setText(text2);
    const SegmentRow typed = segmentDialogRow(dialog);

    named<QPushButton>(dialog, "cmdOK")->click();

    if (message.isEmpty()) {
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.row(), typed);
    } else {
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text, message);
        QCOMPARE(prompts.messages[0].title, QStringLiteral("Felaktig indata"));
        QCOMPARE(prompts.messages[0].icon, lv::MessageIcon::Exclamation);
        // Still open, every field as typed.
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(dialog.isVisible());
        QCOMPARE(segmentDialogRow(dialog), typed);
    }
}

void TestFrmDelstracka::fieldsInTabOrder()
{
    RecordingPrompts prompts;
    FrmDelstracka dialog(prompts);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Lägg till tunnelsegment"));

    QStringList expected = segmentFieldNames();
    expected << "cmdOK"
             << "cmdAvbryt";
    QStringList chain;
    QWidget *w = named<QWidget>(dialog, "txtNummer");
    for (int i = 0; i < expected.size(); ++i) {
        chain.append(w->objectName());
        do {
            w = w->nextInFocusChain();
        } while (!(w->focusPolicy() & Qt::TabFocus) && w != named<QWidget>(dialog, "txtNummer"));
    }
    QCOMPARE(chain, expected);
}

void TestFrmDelstracka::accessibleNames_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("name");
    QTest::newRow("number") << "txtNummer"
                            << "Nummer:";
    QTest::newRow("length") << "txtLangd"
                            << "Längd: [m]";
    QTest::newRow("slope") << "txtLutning"
                           << "Lutning: [%]";
    QTest::newRow("Pb speed") << "txtPbSpd"
                              << "Personbil: Medelhastiget: [km/h]";
    QTest::newRow("Pb flow") << "txtPbF"
                             << "Personbil: Flöde: [f/h]";
    QTest::newRow("Lb speed") << "txtLbSpd"
                              << "Lastbil: Medelhastiget: [km/h]";
    QTest::newRow("Lb flow") << "txtLbF"
                             << "Lastbil: Flöde: [f/h]";
    QTest::newRow("Lbs speed") << "txtLbsSpd"
                               << "Lastbil med släp: Medelhastiget: [km/h]";
    QTest::newRow("Lbs flow") << "txtLbsF"
                              << "Lastbil med släp: Flöde: [f/h]";
    QTest::newRow("OK") << "cmdOK"
                        << "OK";
    QTest::newRow("Avbryt") << "cmdAvbryt"
                            << "Avbryt";
}

void TestFrmDelstracka::accessibleNames()
{
    QFETCH(QString, field);
    QFETCH(QString, name);
    RecordingPrompts prompts;
    FrmDelstracka dialog(prompts);
    QAccessibleInterface *iface =
        QAccessible::queryAccessibleInterface(named<QWidget>(dialog, field));
    QVERIFY(iface);
    QCOMPARE(iface->text(QAccessible::Name), name);
}

void TestFrmDelstracka::enterAndEscapeDoNotClose_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void TestFrmDelstracka::enterAndEscapeDoNotClose()
{
    QFETCH(int, key);
    RecordingPrompts prompts;
    FrmDelstracka dialog(prompts);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    fillSegmentDialog(dialog, segment("1"));
    auto *field = named<QLineEdit>(dialog, "txtLbsF");
    field->setFocus();
    QTest::keyClick(field, Qt::Key(key));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(prompts.messages.isEmpty());
}

void TestFrmDelstracka::cancelStoresNothing()
{
    RecordingPrompts prompts;
    FrmDelstracka dialog(prompts);
    dialog.show();
    // Even invalid input: "Avbryt" checks nothing.
    named<QLineEdit>(dialog, "txtNummer")->setText("x");
    named<QPushButton>(dialog, "cmdAvbryt")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(prompts.messages.isEmpty());
}

void TestFrmDelstracka::editKeepsTextsAsTyped()
{
    RecordingPrompts prompts;
    FrmDelstracka dialog(prompts);
    const SegmentRow row = segment("05", "12,50", "+3", "070", "1e3", "60,0", "0", "50", "0,0");
    dialog.setRow(row);
    QCOMPARE(segmentDialogRow(dialog), row);
    named<QPushButton>(dialog, "cmdOK")->click();
    QVERIFY(prompts.messages.isEmpty());
    QCOMPARE(dialog.row(), row);
}

QTEST_MAIN(TestFrmDelstracka)
#include "tst_frmdelstracka.moc"
