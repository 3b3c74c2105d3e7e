#include "gui/input/frmdelstracka.h"
#include "gui/recordingprompts.h"
#include "gui/windowdriver.h"

#include <QAccessible>
#include <QLocale>
#include <QPushButton>
#include <QTest>

using lv::gui::FrmDelstracka;
using lv::input::SegmentRow;

class TestFrmDelstracka : public QObject
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
        add("empty number", {"txtNummer", ""}, number);
        add("number 40000", {"txtNummer", "40000"}, number + "40000");
        add("number 2,5 under sv_SE", {"txtNummer", "2,5"}, "");
        add("number -3", {"txtNummer", "-3"}, "");
        add("empty slope", {"txtLutning", ""}, slope);
        add("slope -6", {"txtLutning", "-6"}, "");
        add("slope 250", {"txtLutning", "250"}, "");
        add("empty length", {"txtLangd", ""}, notPositive);
        add("length 0", {"txtLangd", "0"}, "");
        add("Pb flow -1", {"txtPbF", "-1"}, notPositive);
        add("Pb flow 0", {"txtPbF", "0"}, "");
        add("Lbs flow text", {"txtLbsF", "x"}, notPositive);
        add("Lbs speed 0", {"txtLbsSpd", "0"}, zeroSpeed);
        // The first failing check speaks.
        add("number before slope", {"txtNummer", "x", "txtLutning", ""}, number + "x");
        add("slope before length", {"txtLutning", "x", "txtLangd", ""}, slope + "x");
        add("negative before zero speed", {"txtLbSpd", "0", "txtLbF", "-1"}, notPositive);
    }

    void okChecks()
    {
        QFETCH(QStringList, changes);
        QFETCH(QString, message);
        RecordingPrompts prompts;
        FrmDelstracka dialog(prompts);
        dialog.show();
        fillSegmentDialog(dialog,
                          segment("4", "120,50", "-2", "70", "1200", "60", "80", "50", "40"));
        for (qsizetype i = 0; i < changes.size(); i += 2)
            named<QLineEdit>(dialog, changes[i])->setText(changes[i + 1]);
        const SegmentRow typed = segmentDialogRow(dialog);

        named<QPushButton>(dialog, "cmdOK")->click();

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
        FrmDelstracka dialog(prompts);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Lägg till tunnelsegment"));
        QStringList chain;
        QStringList spoken;
        QWidget *w = named<QWidget>(dialog, "txtNummer");
        do {
            if (w->focusPolicy() & Qt::TabFocus) {
                chain << w->objectName();
                if (w->inherits("QLineEdit"))
                    spoken << QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
            }
            w = w->nextInFocusChain();
        } while (w != named<QWidget>(dialog, "txtNummer"));
        QCOMPARE(chain, segmentFieldNames() + QStringList({"cmdOK", "cmdAvbryt"}));
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
        FrmDelstracka dialog(prompts);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        fillSegmentDialog(dialog, segment("x")); // invalid: a check would speak
        auto *field = named<QLineEdit>(dialog, "txtLbsF");
        field->setFocus();
        if (key)
            QTest::keyClick(field, Qt::Key(key));
        else
            named<QPushButton>(dialog, "cmdAvbryt")->click();
        QCOMPARE(dialog.isVisible(), key != 0);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(prompts.messages.isEmpty());
    }
};

QTEST_MAIN(TestFrmDelstracka)
#include "tst_frmdelstracka.moc"
