#include "gui/input/segmentdialog.h"
#include "gui/windowdriver.h"

#include <QAccessible>

using Message = RecordingPrompts::Message;

class TestSegmentDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }

    // One or two fields of a valid segment changed, then OK: accepted with the row as typed,
    // or refused with one message and the dialog left open as typed.
    void okChecks_data()
    {
        QTest::addColumn<QStringList>("changes"); // field, text, field, text
        QTest::addColumn<QString>("message");     // empty: accepted
        const QString number = "Ogiltigt Segmentnummer: ", slope = "Ogiltig lutning: ";
        const QString negative =
            u"Ogiltig längd, flöde eller hastighet. Måste vara ett positivt decimaltal."_qs;
        const QString zeroSpeed = "Medelhastighet = Reshastighet, måste vara större än 0";
        const auto add = [](const char *name, const QStringList &changes, const QString &message) {
            QTest::newRow(name) << changes << message;
        };
        add("empty number", {"numberEdit", ""}, number);
        add("number 40000", {"numberEdit", "40000"}, number + "40000");
        add("number 2,5 under sv_SE", {"numberEdit", "2,5"}, "");
        add("number -3", {"numberEdit", "-3"}, "");
        add("empty slope", {"slopeEdit", ""}, slope);
        add("slope -6", {"slopeEdit", "-6"}, "");
        add("slope 250", {"slopeEdit", "250"}, "");
        add("empty length", {"lengthEdit", ""}, negative);
        add("length 0", {"lengthEdit", "0"}, "");
        add("Pb flow -1", {"pbFlowEdit", "-1"}, negative);
        add("Pb flow 0", {"pbFlowEdit", "0"}, "");
        add("Lbs flow text", {"lbsFlowEdit", "x"}, negative);
        add("Lbs speed 0", {"lbsSpeedEdit", "0"}, zeroSpeed);
        // The first failing check speaks.
        add("number before slope", {"numberEdit", "x", "slopeEdit", ""}, number + "x");
        add("slope before length", {"slopeEdit", "x", "lengthEdit", ""}, slope + "x");
        add("negative before zero speed", {"lbSpeedEdit", "0", "lbFlowEdit", "-1"}, negative);
    }

    void okChecks()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, message);
        RecordingPrompts prompts;
        lv::gui::SegmentDialog dialog(prompts);
        dialog.show();
        dialog.setRow(segment("4", "120,50", "-2", "70", "1200", "60", "80", "50", "40"));
        for (qsizetype i = 0; i < changes.size(); i += 2)
            named<QLineEdit>(dialog, changes[i])->setText(changes[i + 1]);
        const lv::input::SegmentRow typed = segmentDialogRow(dialog);
        named<QAbstractButton>(dialog, "okButton")->click();
        QCOMPARE(dialog.result(), int(message.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(dialog.isVisible(), !message.isEmpty());
        QVERIFY((message.isEmpty() ? dialog.row() : segmentDialogRow(dialog)) == typed);
        const Message expected{message, "Felaktig indata", lv::MessageIcon::Exclamation};
        QCOMPARE(prompts.messages, message.isEmpty() ? QList<Message>() : QList<Message>{expected});
    }

    // Title, fields in tab order, what a screen reader speaks for each field; Enter and Escape
    // leave the dialog open, "Avbryt" closes it without any check.
    void fieldsAndKeys()
    {
        RecordingPrompts prompts;
        lv::gui::SegmentDialog dialog(prompts);
        QCOMPARE(dialog.windowTitle(), u"Lägg till tunnelsegment"_qs);
        QStringList chain, spoken;
        QWidget *w = named(dialog, "numberEdit");
        do {
            if (w->focusPolicy() & Qt::TabFocus)
                chain << w->objectName();
            if (w->inherits("QLineEdit"))
                spoken << QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
            w = w->nextInFocusChain();
        } while (w != named(dialog, "numberEdit"));
        QCOMPARE(chain, segmentFieldNames() + QStringList({"okButton", "cancelButton"}));
        QCOMPARE(spoken, QStringList({"Nummer:", "Längd: [m]", "Lutning: [%]",
                                      "Personbil: Medelhastiget: [km/h]", "Personbil: Flöde: [f/h]",
                                      "Lastbil: Medelhastiget: [km/h]", "Lastbil: Flöde: [f/h]",
                                      "Lastbil med släp: Medelhastiget: [km/h]",
                                      "Lastbil med släp: Flöde: [f/h]"}));

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
