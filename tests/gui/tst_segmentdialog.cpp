#include "gui/input/segmentdialog.h"
#include "gui/windowdriver.h"

using Message = RecordingPrompts::Message;

class TestSegmentDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }

    // One or two fields of a valid segment changed ("field=text ..."), then OK: accepted with
    // the row as typed, or refused with one message and the dialog left open as typed.
    void okChecks_data()
    {
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QString>("message"); // empty: accepted
        const QString negative =
            u"Ogiltig längd, flöde eller hastighet. Måste vara ett positivt decimaltal."_qs;
        const QString rows[][3] = {
            {"empty number", "numberEdit=", "Ogiltigt Segmentnummer: "},
            {"number 40000", "numberEdit=40000", "Ogiltigt Segmentnummer: 40000"},
            {"number 2,5 under sv_SE", "numberEdit=2,5", ""},
            {"number -3", "numberEdit=-3", ""},
            {"empty slope", "slopeEdit=", "Ogiltig lutning: "},
            {"slope -6", "slopeEdit=-6", ""},
            {"slope 250", "slopeEdit=250", ""},
            {"empty length", "lengthEdit=", negative},
            {"length 0", "lengthEdit=0", ""},
            {"Pb flow -1", "pbFlowEdit=-1", negative},
            {"Pb flow 0", "pbFlowEdit=0", ""},
            {"Lbs flow text", "lbsFlowEdit=x", negative},
            {"Lbs speed 0", "lbsSpeedEdit=0",
             "Medelhastighet = Reshastighet, måste vara större än 0"},
            // The first failing check speaks.
            {"number before slope", "numberEdit=x slopeEdit=", "Ogiltigt Segmentnummer: x"},
            {"slope before length", "slopeEdit=x lengthEdit=", "Ogiltig lutning: x"},
            {"negative before zero speed", "lbSpeedEdit=0 lbFlowEdit=-1", negative}};
        for (const auto &[name, changes, message] : rows)
            QTest::newRow(qPrintable(name)) << changes << message;
    }

    void okChecks()
    {
        QFETCH(QString, changes);
        QFETCH(QString, message);
        RecordingPrompts prompts;
        lv::gui::SegmentDialog dialog(prompts);
        dialog.show();
        dialog.setRow(segment("4", "120,50", "-2", "70", "1200", "60", "80", "50", "40"));
        for (const QString &change : changes.split(u' '))
            named<QLineEdit>(dialog, change.section(u'=', 0, 0))->setText(change.section(u'=', 1));
        const lv::input::SegmentRow typed = dialogRow(dialog);
        named<QAbstractButton>(dialog, "okButton")->click();
        QCOMPARE(dialog.result(), int(message.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(dialog.isVisible(), !message.isEmpty());
        QVERIFY((message.isEmpty() ? dialog.row() : dialogRow(dialog)) == typed);
        const Message expected{message, "Felaktig indata", lv::MessageIcon::Exclamation};
        QCOMPARE(prompts.messages, message.isEmpty() ? QList<Message>() : QList<Message>{expected});
    }

    // Title, fields in tab order, what a screen reader speaks for each field; Enter and Escape
    // leave the dialog open, "Avbryt" closes it without any check.
    void fieldsAndKeys()
    {
        RecordingPrompts prompts;
        lv::gui::SegmentDialog dialog(prompts);
        QStringList chain, spoken;
        QWidget *w = named(dialog, "numberEdit");
        do {
            if (w->focusPolicy() & Qt::TabFocus)
                chain << w->objectName();
            if (w->inherits("QLineEdit"))
                spoken << QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
            w = w->nextInFocusChain();
        } while (w != named(dialog, "numberEdit"));
        QCOMPARE(chain, kSegmentFields + QStringList({"okButton", "cancelButton"}));
        QCOMPARE(dialog.windowTitle() + '|' + spoken.join('|'),
                 u"Lägg till tunnelsegment|Nummer:|Längd: [m]|Lutning: [%]|Personbil: "
                 "Medelhastiget: [km/h]|Personbil: Flöde: [f/h]|Lastbil: Medelhastiget: [km/h]|"
                 "Lastbil: Flöde: [f/h]|Lastbil med släp: Medelhastiget: [km/h]|Lastbil med släp: "
                 "Flöde: [f/h]"_qs);

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.setRow(segment("x")); // invalid: a check would speak
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            named(dialog, "lbsFlowEdit")->setFocus();
            QTest::keyClick(named(dialog, "lbsFlowEdit"), key);
            QVERIFY(dialog.isVisible());
        }
        named<QAbstractButton>(dialog, "cancelButton")->click();
        QVERIFY(!dialog.isVisible() && dialog.result() == QDialog::Rejected);
        QVERIFY(prompts.messages.isEmpty());
    }
};

QTEST_MAIN(TestSegmentDialog)
#include "tst_segmentdialog.moc"
