#include "gui/input/segmentdialog.h"
#include "gui/recordingprompts.h"
#include "gui/windowdriver.h"

#include <QAccessible>
#include <QLocale>
#include <QPushButton>
#include <QTest>

using lv::gui::SegmentDialog;
using lv::input::SegmentRow;

class TestSegmentDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }

    // One or two fields of a valid segment changed, then OK.
    void okChecks_data()
    {
        QTest::addColumn<QStringList>("changes"); // field, text, field, text
        QTest::addColumn<QString>("message");     // empty: accepted
        const auto add = [](const char *name, const QStringList &changes, const QString &message) {
            QTest::newRow(name) << changes << message;
        };
        const QString number = QStringLiteral("Ogiltigt Segmentnummer: ");
        const QString slope = QStringLiteral("Ogiltig lutning: ");
        const QString notPositive = QStringLiteral(
            "Ogiltig längd, flöde eller hastighet. Måste vara ett positivt decimaltal.");
        const QString zeroSpeed =
            QStringLiteral("Medelhastighet = Reshastighet, måste vara större än 0");
        add("empty number", {"numberEdit", ""}, number);
        add("number 40000", {"numberEdit", "40000"}, number + "40000");
        add("number 2,5 under sv_SE", {"numberEdit", "2,5"}, "");
        add("number -3", {"numberEdit", "-3"}, "");
        add("empty slope", {"slopeEdit", ""}, slope);
        add("slope -6", {"slopeEdit", "-6"}, "");
        add("slope 250", {"slopeEdit", "250"}, "");
        add("empty length", {"lengthEdit", ""}, notPositive);
        add("length 0", {"lengthEdit", "0"}, "");
        add("Pb flow -1", {"pbFlowEdit", "-1"}, notPositive);
        add("Pb flow 0", {"pbFlowEdit", "0"}, "");
        add("Lbs flow text", {"lbsFlowEdit", "x"}, notPositive);
        add("Lbs speed 0", {"lbsSpeedEdit", "0"}, zeroSpeed);
        // The first failing check speaks.
        add("number before slope", {"numberEdit", "x", "slopeEdit", ""}, number + "x");
        add("slope before length", {"slopeEdit", "x", "lengthEdit", ""}, slope + "x");
        add("negative before zero speed", {"lbSpeedEdit", "0", "lbFlowEdit", "-1"}, notPositive);
    }

    void okChecks()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, message);
        RecordingPrompts prompts;
        SegmentDialog dialog(prompts);
        dialog.show();
        fillSegmentDialog(dialog,
                          segment("4", "120,50", "-2", "70", "1200", "60", "80", "50", "40"));
        for (qsizetype i = 0; i < changes.size(); i += 2)
            named<QLineEdit>(dialog, changes[i])->setText(changes[i + 1]);
        const SegmentRow typed = segmentDialogRow(dialog);

        named<QPushButton>(dialog, "okButton")->click();

        // Accepted, the row as typed; refused, one message and the dialog open as typed.
        QCOMPARE(dialog.result(), int(message.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(dialog.isVisible(), !message.isEmpty());
        QCOMPARE(message.isEmpty() ? dialog.row() : segmentDialogRow(dialog), typed);
        QCOMPARE(prompts.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(prompts.messages[0].text, message);
            QCOMPARE(prompts.messages[0].title, QStringLiteral("Felaktig indata"));
            QCOMPARE(prompts.messages[0].icon, lv::MessageIcon::Exclamation);
        }
    }

    // Title, fields in tab order, and what a screen reader speaks for each field.
    void fields()
    {
        RecordingPrompts prompts;
        SegmentDialog dialog(prompts);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Lägg till tunnelsegment"));
        QStringList chain;
        QStringList spoken;
        QWidget *w = named<QWidget>(dialog, "numberEdit");
        do {
            if (w->focusPolicy() & Qt::TabFocus) {
                chain << w->objectName();
                if (w->inherits("QLineEdit"))
                    spoken << QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
            }
            w = w->nextInFocusChain();
        } while (w != named<QWidget>(dialog, "numberEdit"));
        QCOMPARE(chain, segmentFieldNames() + QStringList({"okButton", "cancelButton"}));
        QCOMPARE(spoken, QStringList({"Nummer:", "Längd: [m]", "Lutning: [%]",
                                      "Personbil: Medelhastiget: [km/h]", "Personbil: Flöde: [f/h]",
                                      "Lastbil: Medelhastiget: [km/h]", "Lastbil: Flöde: [f/h]",
                                      "Lastbil med släp: Medelhastiget: [km/h]",
                                      "Lastbil med släp: Flöde: [f/h]"}));
    }

    // Enter and Escape leave the dialog open; "Avbryt" closes it without any check.
    void keysAndAvbryt_data()
    {
        QTest::addColumn<int>("key"); // 0: click "Avbryt"
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
        QTest::newRow("Avbryt") << 0;
    }

    void keysAndAvbryt()
    {
        QFETCH(int, key);
        RecordingPrompts prompts;
        SegmentDialog dialog(prompts);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        fillSegmentDialog(dialog, segment("x")); // invalid: a check would speak
        auto *field = named<QLineEdit>(dialog, "lbsFlowEdit");
        field->setFocus();
        if (key)
            QTest::keyClick(field, Qt::Key(key));
        else
            named<QPushButton>(dialog, "cancelButton")->click();
        QCOMPARE(dialog.isVisible(), key != 0);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(prompts.messages.isEmpty());
    }
};

QTEST_MAIN(TestSegmentDialog)
#include "tst_segmentdialog.moc"
