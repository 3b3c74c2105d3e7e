#include "gui/air/airtab.h"
#include "gui/windowdriver.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

// The tab "Luftbehov" on the test tunnel (NOx 84733 g/km on its first 400 m) with the shipped
// criteria file: 0..400 emits 0.2 · 84733 · 0.4 = 6778.64 g/h of NO2, which needs
// 6778.64 / (3.6 · 1.87) = 1006.93 m³/s at the exit, as luftvaka-batch --air gives it.
namespace {

const QString kCriteria = QStringLiteral(LUFTVAKA_SOURCE_DIR "/data/luftkriterier.ini");

struct Fixture : WindowFixture
{
    Fixture() : WindowFixture(LUFTVAKA_TEST_DATA "/calc") { runTestTunnel("Luft"); }
    QTableView *air() { return get<QTableView>("airView"); }
    QString cell(int row, int column) { return texts(*air(), row, column).value(0); }
    void chooseShippedCriteria()
    {
        prompts.openAnswers = {kCriteria};
        click("chooseCriteriaButton");
    }
};

} // namespace

class TestAirTab : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }

    // Enabled with the result tab; its rows follow the result list; a value out of range is
    // named and empties the table.
    void followsStretches()
    {
        Fixture f;
        QVERIFY(f.tabs()->isTabEnabled(3));
        // The test workbooks' directory holds no criteria file: the tab says so.
        QVERIFY(f.get<QLabel>("airProblem")->text().contains("luftkriterier.ini"));
        f.setText("areaEdit", "50");
        QVERIFY(f.get<QLabel>("airProblem")->text().contains("luftkriterier.ini"));
        f.chooseShippedCriteria();
        QVERIFY(f.get<QLabel>("airProblem")->isHidden());
        f.tabs()->setCurrentIndex(1);
        f.setText("startEdit", "0");
        f.setText("stopEdit", "400");
        f.click("addStretchButton");
        f.tabs()->setCurrentIndex(3);
        QCOMPARE(f.air()->model()->rowCount(), 2);
        QCOMPARE(f.cell(1, 0), "0 - 400");
        QCOMPARE(f.cell(1, 1), "6778,6");
        QCOMPARE(f.cell(1, 3), "1006,93");
        QCOMPARE(f.cell(1, 6), "Sikt");

        f.air()->selectRow(1);
        f.air()->setFocus();
        QTest::keyClick(f.air(), Qt::Key_C, Qt::ControlModifier);
        const QStringList copied = QApplication::clipboard()->text().split('\n');
        QVERIFY(copied.value(0).startsWith("Delsträcka:\tNO2-utsläpp [g/h]\t"));
        QVERIFY(copied.value(1).startsWith("0 - 400\t6778,6\t"));

        f.setText("areaEdit", "0");
        QVERIFY(f.get<QLabel>("airProblem")->text().contains("area_m2 = 0 ligger utanför"));
        QCOMPARE(f.air()->model()->rowCount(), 0);

        f.tabs()->setCurrentIndex(0);
        f.click("clearButton");
        QVERIFY(!f.tabs()->isTabEnabled(3));
    }

    // "Spara indata..." writes the tunnel's values beside the .dat; opening it brings them back.
    void tunnelValuesBesideInput()
    {
        Fixture f;
        f.chooseShippedCriteria();
        f.setText("areaEdit", "72,5");
        f.get<QComboBox>("situationCombo")->setCurrentIndex(2);
        QTemporaryDir dir;
        f.prompts.saveAnswers = {dir.filePath("t.dat")};
        f.window.findChild<QAction *>("saveInputAction")->trigger();
        QFile luft(dir.filePath("t.luft"));
        QVERIFY(luft.open(QIODevice::ReadOnly));
        const QByteArray bytes = luft.readAll();
        QVERIFY(bytes.contains("area_m2 = 72.5\n") && bytes.contains("situation = ko\n"));

        f.setText("areaEdit", "");
        f.get<QComboBox>("situationCombo")->setCurrentIndex(0);
        f.prompts.openAnswers = {dir.filePath("t.dat")};
        f.window.findChild<QAction *>("openAction")->trigger();
        QCOMPARE(f.text("areaEdit"), "72,5");
        QCOMPARE(f.get<QComboBox>("situationCombo")->currentData().toString(), "ko");
        QVERIFY(f.prompts.messages.isEmpty());
    }
};

QTEST_MAIN(TestAirTab)
#include "tst_airtab.moc"
