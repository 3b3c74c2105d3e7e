#include "core/results/resulttable.h"
#include "gui/along/alongchartwidget.h"
#include "gui/results/resulttab.h"
#include "gui/windowdriver.h"

using Message = RecordingPrompts::Message;
using namespace Qt::StringLiterals;

// The result tab in the window, on the small test workbooks and a two-segment tunnel:
// 400 m at 0 % (50 km/h) and then L m at 3 % (80 km/h), Pb/Lb/Lbs 100, 10 and 1 vehicles per
// hour, year 2005, SPS 10, no studded tyres. Per km of segment the fuel is 20733 l on the
// first segment and 41799 l on the second; road-surface particles 7,75 g on both.
//
// By hand, 300-700 in totals: 0,1 * 20733 + 0,3 * 41799 = 14613 l.
//
// The tabs "Längs tunneln" and "Luftbehov" on the same tunnel: NOx 84733 g/(km·h) on the first
// segment; with the shipped criteria file, 0..400 emits 0.2 · 84733 · 0.4 = 6778.64 g/h of
// NO2, which needs 6778.64 / (3.6 · 1.87) = 1006.93 m³/s at the exit, as luftvaka-batch --air
// gives it.
namespace {

constexpr int kAlongTab = 2, kAirTab = 3;
const QString kCriteria = QStringLiteral(LUFTVAKA_SOURCE_DIR "/data/luftkriterier.ini");

struct Fixture : WindowFixture
{
    explicit Fixture(const QString &secondLength = "600")
        : WindowFixture(LUFTVAKA_TEST_DATA "/calc")
    {
        runTestTunnel("Bas", secondLength);
    }
    QTableView *table() { return get<QTableView>("alongView"); }
    lv::gui::AlongChartWidget *chart() { return get<lv::gui::AlongChartWidget>("alongChart"); }
    QTableView *air() { return get<QTableView>("airView"); }
    QString airProblem() { return get<QLabel>("airProblem")->text(); }
    void chooseShippedCriteria()
    {
        prompts.openAnswers = {kCriteria};
        click("chooseCriteriaButton");
    }
    // A mouse press on a cell, scrolled into view; row -1 is the empty space below the rows.
    void press(int row, int column, Qt::MouseButton button, Qt::KeyboardModifiers keys = {})
    {
        const QPoint at = centre(results(), qMax(row, 0), column);
        const int below = results()->viewport()->height() - 3; // the list is far from full
        QTest::mouseClick(results()->viewport(), button, keys, {at.x(), row < 0 ? below : at.y()});
    }
    // Whether the cell is drawn with red text (the mark must show on a selected row too).
    bool showsRed(int row, int column)
    {
        const QModelIndex index = results()->model()->index(row, column);
        const QImage image = results()->viewport()->grab(results()->visualRect(index)).toImage();
        for (int i = 0; i < image.width() * image.height(); ++i) {
            const QColor pixel = image.pixelColor(i % image.width(), i / image.width());
            if (pixel.red() > 200 && pixel.green() < 80 && pixel.blue() < 80)
                return true;
        }
        return false;
    }
};

struct Coordinates
{
    const char *name, *locale, *secondLength, *start, *stop;
    const char *message; // empty: accepted
    const char *label;   // of the new row
};
const Coordinates kCoordinates[] = {
    {"start wrong, stop not read", "sv_SE", "600", "abc", "x", "Ogiltig startkoordinat: abc", ""},
    {"T under a decimal-point locale", "en_US", "600.5", "0", "2000",
     "Start- och slutkoordinaterna måste upfylla: 0 <= start < slut <= 1000.5 (total "
     "tunnellängd)",
     ""},
    {"0 to T", "sv_SE", "600", "0", "1000", "", "0 - 1000"},
    {"decimal point", "en_US", "600", "120.5", "300", "", "120.5 - 300"}};

// Presses on the rows "Totalt", "300 - 700", "0 - 400": L, M, R mouse button or C Ctrl+left at
// row,column (row -1 below the rows); t totals; x "Ta bort markerat"; r "Rensa". Then the marked
// cell, "Kopiera värde" and what it copies ("=" the marked cell's text, "-" nothing), and the rows
// left and "Ta bort markerat" (-1: either).
struct Clicks
{
    const char *name, *steps, *marked;
    bool copyEnabled;
    const char *copied, *labels;
    int removeEnabled;
};
const char *const kAll = "Totalt|300 - 700|0 - 400";
const Clicks kClicks[] = {
    {"value cell", "L1,1", "1,1", true, "=", kAll, 1},
    {"middle button, last column", "M1,11", "1,11", true, "=", kAll, -1},
    {"below the rows marks nothing", "L-1,1", "", false, "-", kAll, 0},
    {"below the rows removes a mark", "R1,4 R-1,1", "", true, "-", kAll, -1},
    {"the mark survives a switch", "L1,0 R1,1 t", "1,1", true, "14613,", kAll, 1},
    {"the mark goes with its row", "L1,3 x", "", true, "-", "Totalt|0 - 400", 0},
    {"remove, nothing selected", "x", "", false, "-", kAll, 0},
    {"remove Totalt", "L0,0 x t", "", false, "-", "300 - 700|0 - 400", 0},
    {"remove the last row", "L2,0 x t", "", false, "-", "Totalt|300 - 700", 0},
    {"remove, row deselected", "L1,0 C1,0 x", "", false, "-", kAll, 1},
    {"remove after Rensa", "L1,0 r x", "", false, "-", "", 1}};

} // namespace

Q_DECLARE_METATYPE(Coordinates)
Q_DECLARE_METATYPE(Clicks)

class TestResultTab : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }

    void coordinates_data() { addCases(kCoordinates); }
    void coordinates()
    {
        QFETCH(Coordinates, c);
        QLocale::setDefault(QLocale(c.locale));
        Fixture f(c.secondLength);
        QStringList totalRow = texts(*f.results(), 0);
        QStringList statusWhileShown;
        f.prompts.onMessage = [&](const Message &) { statusWhileShown << statusText(f.window); };
        f.addStretch(QString(c.start) + ':' + c.stop);

        const bool ok = !*c.message;
        const Message expected{c.message, "Felaktig indata", lv::MessageIcon::Exclamation};
        QCOMPARE(f.prompts.messages, ok ? QList<Message>() : QList<Message>{expected});
        QCOMPARE(statusWhileShown << statusText(f.window),
                 ok ? QStringList({"Klar"}) : QStringList({"Vänta...", "Klar"}));
        QCOMPARE(texts(*f.results(), -1, 0), QStringList({"Totalt", c.label}).mid(0, ok + 1));
        QCOMPARE(texts(*f.results(), 0) << f.text("startEdit") + ':' + f.text("stopEdit"),
                 totalRow << (ok ? ":" : QString(c.start) + ':' + c.stop));
    }

    // A removed "Totalt" stays removed through the switches, and the headers follow the mode.
    void modeSwitching()
    {
        Fixture f;
        f.addStretch("300:700");
        f.press(0, 0, Qt::LeftButton);
        f.click("removeRowButton");
        f.click("totalsButton");
        QCOMPARE(texts(*f.results(), 0).mid(0, 2) << headerText(*f.results(), 11),
                 QStringList({"300 - 700", "14613,", "CO2: [kg]"}));
        f.click("perKmButton");
        QCOMPARE(texts(*f.results(), -1, 0) << headerText(*f.results(), 11),
                 QStringList({"300 - 700", "CO2: [kg/km]"}));
    }

    void clicks_data() { addCases(kClicks); }
    void clicks()
    {
        QFETCH(Clicks, c);
        Fixture f;
        f.addStretch("300:700");
        f.addStretch("0:400");
        for (const QString &step : QString(c.steps).split(' ')) {
            const auto button = step[0] == 'M'   ? Qt::MiddleButton
                                : step[0] == 'R' ? Qt::RightButton
                                                 : Qt::LeftButton;
            if (QString("LMRC").contains(step[0]))
                f.press(step.mid(1).section(',', 0, 0).toInt(), step.section(',', 1).toInt(),
                        button, step[0] == 'C' ? Qt::ControlModifier : Qt::NoModifier);
            else
                f.click(step == "t"   ? "totalsButton"
                        : step == "x" ? "removeRowButton"
                                      : "clearButton");
        }
        QCOMPARE(f.marked(), QString(c.marked).split(' ', Qt::SkipEmptyParts));
        QCOMPARE(f.enabled("copyValueButton"), c.copyEnabled);
        QCOMPARE(texts(*f.results(), -1, 0), QString(c.labels).split('|', Qt::SkipEmptyParts));
        if (c.removeEnabled >= 0)
            QCOMPARE(f.enabled("removeRowButton"), bool(c.removeEnabled));
        const int row = QString(c.marked).section(',', 0, 0).toInt();
        const int column = QString(c.marked).section(',', 1).toInt();
        if (*c.marked) // red on the screen too, and on that cell alone
            QVERIFY(f.showsRed(row, column) && !f.showsRed(row, column ^ 1));
        const QString shown = f.result(row, column);

        QGuiApplication::clipboard()->setText("vorher");
        f.click("copyValueButton");
        const QString copied = c.copied;
        QCOMPARE(QGuiApplication::clipboard()->text(), copied == "="   ? shown
                                                       : copied == "-" ? "vorher"
                                                                       : copied);
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{"text/plain"});
        QVERIFY(f.marked().isEmpty());
        QCOMPARE(f.enabled("copyValueButton"), c.copyEnabled && !*c.marked);
    }

    // The line under the list follows each successful run: shown while the run used a slope
    // outside the tables, hidden again after a run that did not.
    void slopeNotice()
    {
        Fixture f;
        auto *notice = f.get<QLabel>("slopeNotice");
        QVERIFY(notice->isHidden());
        f.tabs()->setCurrentIndex(0);
        f.add(segment("3", "100", "-12", "50", "100", "50", "10", "50", "1"));
        QVERIFY(f.run() && !notice->isHidden());
        QVERIFY2(notice->text().startsWith(u"Lutning utanför tabellernas -7…7 % i 1 segment:"_qs),
                 qPrintable(notice->text()));
        f.tabs()->setCurrentIndex(0);
        f.segments()->setCurrentIndex(f.segments()->model()->index(2, 0));
        f.click("removeButton");
        QVERIFY(f.run() && notice->isHidden());
    }

    // The comparisons from the menu: years in a dialog whose selected rows copy with their
    // header; another input file beside the run.
    void compareFromMenu()
    {
        WindowFixture f(LUFTVAKA_TEST_DATA "/calc");
        QVERIFY(!f.enabled("compareYearsAction"));
        f.runTestTunnel("S");
        const int dialogsBefore = f.prompts.dialogsShown;
        QStringList seen, copied;
        f.prompts.onDialog = [&](QDialog &dialog) {
            auto *view = named<QTableView>(dialog, "comparisonView");
            seen << dialog.windowTitle() << QString::number(view->model()->rowCount())
                 << headerText(*view, 2) + ";" + headerText(*view, 3);
            copied = copyRow(view, 1, "\r\n");
        };
        f.trigger("compareYearsAction");
        QCOMPARE(seen, (QStringList{"Jämför år", "11", "2005;2010"}));
        QCOMPARE(copied.size(), 3);
        QVERIFY(copied[0].startsWith("Delsträcka\tStorhet\t2005\t2010\t2020\tÄndring 2010 mot"));
        QVERIFY(copied[1].startsWith("Totalt\tNOx: [g/km]\t"));
        QCOMPARE(copied[1].count('\t'), 6);

        seen.clear();
        f.prompts.openAnswers = QStringList{LUFTVAKA_TEST_DATA "/cli/tunnel.dat"};
        f.trigger("compareInputAction");
        QCOMPARE(seen,
                 (QStringList{"Jämför med indatafil", "11", "Senaste beräkningen;tunnel.dat"}));
        f.trigger("compareInputAction"); // cancelled: nothing shown
        QCOMPARE(f.prompts.dialogsShown, dialogsBefore + 2);
        // The test workbooks' label warning, once per command however many runs it took.
        QCOMPARE(f.prompts.messages.size(), 2);
        QCOMPARE(f.prompts.messages[0].title, u"Luftvaka"_qs);
    }

    // One row per segment with chainage, height and rates; Ctrl+C copies the selected rows
    // with the header line as tab-separated text. "Exportera..." writes the CSV file; a file
    // that cannot be written is said so and leaves nothing; "Spara diagram..." writes the
    // chart; a cancelled dialog writes nothing.
    void alongTableAndFiles()
    {
        QLocale::setDefault(QLocale::c()); // the decimal point
        Fixture f;
        f.tabs()->setCurrentIndex(kAlongTab);
        QCOMPARE(texts(*f.table(), 1).mid(0, 8),
                 (QStringList{"2", "400.0", "1000.0", "600.0", "3", "", "18.00", "41799"}));
        QCOMPARE(texts(*f.table(), 0, 15), QStringList{"7.750"});
        QCOMPARE(headerText(*f.table(), 8), u"NOx [g/(km·h)]"_s);
        const QStringList lines = copyRow(f.table(), 1);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith(u"Segment nr\tKedjemått start [m]\tKedjemått slut [m]\t"_s));
        QVERIFY(lines[1].startsWith(u"2\t400.0\t1000.0\t600.0\t3\t\t18.00\t41799\t"_s));
        QCOMPARE(lines[1].count('\t'), 18);
        QCOMPARE(lines[2], QString());
        QTemporaryDir dir;
        f.prompts.saveAnswers = {dir.filePath("t.csv"), dir.filePath("no/t.csv"),
                                 dir.filePath("d.png")};
        f.click("exportButton");
        f.click("exportButton");
        f.click("saveChartButton");
        f.click("saveChartButton");
        const QList<QByteArray> csv = fileBytes(dir.filePath("t.csv")).split('\n');
        QCOMPARE(csv.size(), 4);
        QVERIFY(csv[0].startsWith("\xEF\xBB\xBFSegment nr,Kedjem\xC3\xA5tt start [m],"));
        QVERIFY(csv[2].startsWith("2,400.0,1000.0,600.0,3,,18.00,41799.00,"));
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].title, u"Exportera tabell"_s);
        QVERIFY(!QFile::exists(dir.filePath("no/t.csv")));
        QVERIFY(fileBytes(dir.filePath("d.png")).startsWith("\x89PNG"));
        QCOMPARE(f.prompts.fileDialogs.size(), 4);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    }

    // The chart follows the chosen quantity and shades the result list's sub-stretches; under
    // the mouse it names segment and value. "Beräkna" does nothing on this tab; "Rensa" empties
    // the table and chart only, on the input tab it closes this tab with the result tab.
    void alongChart()
    {
        Fixture f;
        f.addStretch("300:700");
        QCOMPARE(f.tabs()->tabText(kAlongTab), u"Längs tunneln"_s);
        f.tabs()->setCurrentIndex(kAlongTab);
        auto *combo = f.get<QComboBox>("quantityCombo");
        QCOMPARE(combo->count(), 12);
        combo->setCurrentIndex(11);
        const lv::render::ChartData &data = f.chart()->data();
        QCOMPARE(data.title, u"PM10 totalt [g/(km·h)] längs tunneln, år 2005, scenario: Bas"_s);
        QCOMPARE(data.spans.size(), std::size_t(1));
        QCOMPARE(data.spans[0].label, u"300 - 700"_s);
        combo->setCurrentIndex(0);
        f.chart()->resize(900, 420);
        QVERIFY(f.chart()->readoutAt({450, 150}).startsWith(u"Segment 2 · "_s));
        QVERIFY(f.chart()->readoutAt({450, 150}).endsWith(u" m · Bränsle 41799 l/(km·h)"_s));
        QCOMPARE(f.chart()->readoutAt({1, 1}), QString());
        f.click("calculateButton");
        QCOMPARE(f.tabs()->currentIndex(), kAlongTab);
        f.click("clearButton");
        QVERIFY(f.table()->model()->rowCount() == 0 && f.resultCount() == 2 &&
                !f.enabled("exportButton") && !f.enabled("saveChartButton"));
        f.tabs()->setCurrentIndex(0);
        f.click("clearButton");
        QVERIFY(!f.tabs()->isTabEnabled(kAlongTab));
        f.tabs()->setCurrentIndex(kAlongTab);
        QCOMPARE(f.tabs()->currentIndex(), 0);
    }

    // "Luftbehov": enabled with the result tab; its rows follow the result list; a value out of
    // range is named and empties the table. The test workbooks' directory holds no criteria
    // file: the tab says so until one is chosen.
    void airFollowsStretches()
    {
        Fixture f;
        QVERIFY(f.tabs()->isTabEnabled(kAirTab));
        QVERIFY(f.airProblem().contains("luftkriterier.ini"));
        f.setText("areaEdit", "50");
        QVERIFY(f.airProblem().contains("luftkriterier.ini"));
        f.chooseShippedCriteria();
        QVERIFY(f.get<QLabel>("airProblem")->isHidden());
        f.tabs()->setCurrentIndex(1);
        f.addStretch("0:400");
        f.tabs()->setCurrentIndex(kAirTab);
        QCOMPARE(texts(*f.air(), -1, 0), QStringList({"Totalt", "0 - 400"}));
        const QStringList row = texts(*f.air(), 1);
        QCOMPARE(row[1] + u'|' + row[3] + u'|' + row[6], u"6778,6|1006,93|Sikt"_s);
        const QStringList copied = copyRow(f.air(), 1);
        QVERIFY(copied.value(0).startsWith("Delsträcka:\tNO2-utsläpp [g/h]\t"));
        QVERIFY(copied.value(1).startsWith("0 - 400\t6778,6\t"));

        f.setText("areaEdit", "0");
        QVERIFY(f.airProblem().contains("area_m2 = 0 ligger utanför"));
        QCOMPARE(f.air()->model()->rowCount(), 0);
        f.tabs()->setCurrentIndex(0);
        f.click("clearButton");
        QVERIFY(!f.tabs()->isTabEnabled(kAirTab));
    }

    // "Spara indata..." writes the tunnel's values beside the .dat; opening it brings them back.
    void airValuesBesideInput()
    {
        Fixture f;
        f.chooseShippedCriteria();
        f.setText("areaEdit", "72,5");
        f.get<QComboBox>("situationCombo")->setCurrentIndex(2);
        QTemporaryDir dir;
        f.prompts.saveAnswers = {dir.filePath("t.dat")};
        f.trigger("saveInputAction");
        const QByteArray luft = fileBytes(dir.filePath("t.luft"));
        QVERIFY(luft.contains("area_m2 = 72.5\n") && luft.contains("situation = ko\n"));

        f.setText("areaEdit", "");
        f.get<QComboBox>("situationCombo")->setCurrentIndex(0);
        f.prompts.openAnswers = {dir.filePath("t.dat")};
        f.trigger("openAction");
        QCOMPARE(f.text("areaEdit"), "72,5");
        QCOMPARE(f.get<QComboBox>("situationCombo")->currentData().toString(), "ko");
        QVERIFY(f.prompts.messages.isEmpty());
    }
};

QTEST_MAIN(TestResultTab)
#include "tst_resulttab.moc"
