#include "gui/along/alongchartwidget.h"
#include "gui/along/alongtab.h"
#include "gui/windowdriver.h"

#include <QApplication>
#include <QClipboard>
#include <QTableView>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using Message = RecordingPrompts::Message;

// The tab "Längs tunneln" in the window, on the small test workbooks' two-segment tunnel
// (400 m at 0 %, then 600 m at 3 %): fuel 20733 and 41799 l/(km·h), road-surface particles
// 7,75 g/(km·h) on both. Under ctest the locale is C (decimal point).
namespace {

constexpr int kAlongTab = 2;

struct Fixture : WindowFixture
{
    Fixture() : WindowFixture(LUFTVAKA_TEST_DATA "/calc") { runTestTunnel("Bas"); }
    lv::gui::AlongTab *tab() { return window.findChild<lv::gui::AlongTab *>(); }
    QTableView *table() { return get<QTableView>("alongView"); }
    lv::gui::AlongChartWidget *chart() { return get<lv::gui::AlongChartWidget>("alongChart"); }
    QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

class TestAlongTab : public QObject
{
    Q_OBJECT

private slots:
    // Enabled exactly with the result tab; "Rensa" on the input tab closes both, on this tab
    // it empties the table and chart only; "Beräkna" does nothing here.
    void enabledWithResults()
    {
        Fixture f;
        QCOMPARE(f.tabs()->tabText(kAlongTab), u"Längs tunneln"_s);
        QVERIFY(f.tabs()->isTabEnabled(kAlongTab));
        f.tabs()->setCurrentIndex(kAlongTab);
        f.click("calculateButton");
        QCOMPARE(f.tabs()->currentIndex(), kAlongTab);
        f.click("clearButton");
        QCOMPARE(f.table()->model()->rowCount(), 0);
        QCOMPARE(f.resultCount(), 1);
        QVERIFY(!f.get("exportButton")->isEnabled() && !f.get("saveChartButton")->isEnabled());
        f.tabs()->setCurrentIndex(0);
        f.click("clearButton");
        QVERIFY(!f.tabs()->isTabEnabled(1) && !f.tabs()->isTabEnabled(kAlongTab));
        f.tabs()->setCurrentIndex(kAlongTab);
        QCOMPARE(f.tabs()->currentIndex(), 0);
    }

    // One row per segment with chainage, height and rates; Ctrl+C copies the selected rows
    // with the header line as tab-separated text.
    void tableAndCopy()
    {
        Fixture f;
        f.tabs()->setCurrentIndex(kAlongTab);
        QCOMPARE(texts(*f.table(), 1).mid(0, 8),
                 (QStringList{"2", "400.0", "1000.0", "600.0", "3", "", "18.00", "41799"}));
        QCOMPARE(texts(*f.table(), 0, 15), QStringList{"7.750"});
        QCOMPARE(headerText(*f.table(), 8), u"NOx [g/(km·h)]"_s);
        f.table()->selectRow(1);
        f.table()->setFocus();
        QTest::keyClick(f.table(), Qt::Key_C, Qt::ControlModifier);
        const QStringList lines = QApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith(u"Segment nr\tKedjemått start [m]\tKedjemått slut [m]\t"_s));
        QVERIFY(lines[1].startsWith(u"2\t400.0\t1000.0\t600.0\t3\t\t18.00\t41799\t"_s));
        QCOMPARE(lines[1].count('\t'), 18);
        QCOMPARE(lines[2], QString());
    }

    // "Exportera..." writes the CSV file; a file that cannot be written is said so and leaves
    // nothing; "Spara diagram..." writes the chart; a cancelled dialog writes nothing.
    void exportAndSave()
    {
        Fixture f;
        f.tabs()->setCurrentIndex(kAlongTab);
        QTemporaryDir dir;
        f.prompts.saveAnswers = {dir.filePath("t.csv"), dir.filePath("no/t.csv"),
                                 dir.filePath("d.png")};
        f.click("exportButton");
        f.click("exportButton");
        f.click("saveChartButton");
        f.click("saveChartButton");
        const QList<QByteArray> csv = f.read(dir.filePath("t.csv")).split('\n');
        QCOMPARE(csv.size(), 4);
        QVERIFY(csv[0].startsWith("\xEF\xBB\xBFSegment nr,Kedjem\xC3\xA5tt start [m],"));
        QVERIFY(csv[2].startsWith("2,400.0,1000.0,600.0,3,,18.00,41799.00,"));
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].title, u"Exportera tabell"_s);
        QVERIFY(!QFile::exists(dir.filePath("no/t.csv")));
        QVERIFY(f.read(dir.filePath("d.png")).startsWith("\x89PNG"));
        QCOMPARE(f.prompts.fileDialogs.size(), 4);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    }

    // The chart follows the chosen quantity and shades the result list's sub-stretches; under
    // the mouse it names segment and value.
    void chart()
    {
        Fixture f;
        f.setText("startEdit", "300");
        f.setText("stopEdit", "700");
        f.click("addStretchButton");
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
    }
};

QTEST_MAIN(TestAlongTab)
#include "tst_alongtab.moc"
