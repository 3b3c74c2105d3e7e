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
};

void TestFrmDelstracka::okChecks_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field2");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<QString>("message"); // empty: accepted
    // One or two fields of a valid segment changed.
    const auto add = [](const char *name, const char *field, const char *text,
                        const QString &message, const char *field2 = "", const char *text2 = "") {
        QTest::newRow(name) << QString(field) << QString(text) << QString(field2) << QString(text2)
                            << message;
    };
    const QString number = QStringLiteral("Ogiltigt Segmentnummer: ");
    const QString slope = QStringLiteral("Ogiltig lutning: ");
    add("valid", "", "", "");
    add("empty number", "txtNummer", "", number);
    add("number 40000", "txtNummer", "40000", number + "40000");
    add("number 2,5 under sv_SE", "txtNummer", "2,5", "");
    add("number 0", "txtNummer", "0", "");
    add("number -3", "txtNummer", "-3", "");
    add("number with point under sv_SE", "txtNummer", "2.5", number + "2.5");
    add("empty slope", "txtLutning", "", slope);
    add("slope -6", "txtLutning", "-6", "");
    add("slope 250", "txtLutning", "250", "");
    add("slope text", "txtLutning", "brant", slope + "brant");
    add("Pb flow -1", "txtPbF", "-1", kNotPositive);
    add("Pb flow 0", "txtPbF", "0", "");
    add("empty length", "txtLangd", "", kNotPositive);
    add("length 0", "txtLangd", "0", "");
    add("Lbs flow text", "txtLbsF", "x", kNotPositive);
    add("Lbs speed 0", "txtLbsSpd", "0", kZeroSpeed);
    add("Pb speed 0", "txtPbSpd", "0", kZeroSpeed);
    // The first failing check speaks.
    add("number before slope", "txtNummer", "x", number + "x", "txtLutning", "");
    add("slope before length", "txtLutning", "x", slope + "x", "txtLangd", "");
    add("negative before zero speed", "txtLbSpd", "0", kNotPositive, "txtLbF", "-1");
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

QTEST_MAIN(TestFrmDelstracka)
#include "tst_frmdelstracka.moc"
