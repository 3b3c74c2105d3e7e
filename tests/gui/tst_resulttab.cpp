#include "core/results/resulttable.h"
#include "core/text/numbertext.h"
#include "gui/results/resulttab.h"
#include "gui/windowdriver.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <cmath>

using lv::results::Mode;
using Message = RecordingPrompts::Message;

// The result tab in the window, on the small test workbooks and a two-segment tunnel:
// 400 m at 0 % (50 km/h) and then L m at 3 % (80 km/h), Pb/Lb/Lbs 100, 10 and 1 vehicles per
// hour, year 2005, SPS 10, no studded tyres. Per km of segment the fuel is 20733 l on the
// first segment and 41799 l on the second; road-surface particles 7,75 g on both.
//
// By hand, with L = 600 (T = 1000 m):
//   whole tunnel, per km:  (0,4 * 20733 + 0,6 * 41799) / 1   = 33372,6 l/km
//   300-700 in totals:      0,1 * 20733 + 0,3 * 41799        = 14613 l
//   300-700 per km:         14613 / 0,4                      = 36532,5 l/km
//   0-400 in totals:        0,4 * 20733                      = 8293,2 l
// With L = 850 (T = 1250 m) the whole tunnel holds 0,4 * 20733 + 0,85 * 41799 = 43822,35 l,
// that is 35057,88 l/km.
namespace {

constexpr int kFuel = 1; // value columns of fuel and road-surface particles
constexpr int kRoad = 9;

struct Fixture : WindowFixture
{
    explicit Fixture(const QString &secondLength = "600")
        : WindowFixture(LUFTVAKA_TEST_DATA "/calc")
    {
        runTestTunnel("", secondLength);
    }
    lv::gui::ResultTab *tab() { return window.findChild<lv::gui::ResultTab *>(); }
    bool enabled(const QString &button) { return get(button)->isEnabled(); }
    void addStretch(const QString &stretch) // "start:stop"
    {
        setText("startEdit", stretch.section(':', 0, 0));
        setText("stopEdit", stretch.section(':', 1));
        click("addStretchButton");
    }
    // A mouse press on a cell, scrolled into view; row -1 is the empty space below the rows.
    void press(int row, int column, Qt::MouseButton button, Qt::KeyboardModifiers keys = {})
    {
        const QModelIndex index = results()->model()->index(qMax(row, 0), column);
        results()->scrollTo(index);
        const QPoint at = results()->visualRect(index).center();
        const int below = results()->viewport()->height() - 3; // the list is far from full
        QTest::mouseClick(results()->viewport(), button, keys, {at.x(), row < 0 ? below : at.y()});
    }
    // The cells the model gives red text, as "row,column".
    QStringList markedCells()
    {
        QStringList cells;
        for (int r = 0; r < rowCount(*results()); ++r) {
            for (int c = 0; c < 12; ++c) {
                const QVariant brush = results()->model()->index(r, c).data(Qt::ForegroundRole);
                if (brush.value<QBrush>().color() == Qt::red)
                    cells.append(QStringLiteral("%1,%2").arg(r).arg(c));
            }
        }
        return cells;
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

// Value texts that agree up to the last shown decimal: "Totalt" is computed by the run,
// a stretch row by the sub-stretch sum, each rounded in single precision.
bool sameUpToRounding(const QStringList &actual, const QStringList &expected)
{
    for (qsizetype i = 0; i < actual.size(); ++i) {
        const auto a = lv::text::parseDouble(actual[i]), b = lv::text::parseDouble(expected[i]);
        if (actual.size() != expected.size() ||
            (actual[i] != expected[i] && (!a || !b || std::fabs(*a - *b) > 0.01 + 1e-7 * *b)))
            return false;
    }
    return true;
}

struct Coordinates
{
    const char *name, *locale, *secondLength, *start, *stop;
    const char *message; // empty: accepted
    const char *label;   // of the new row
};
const char *const kRange = "Start- och slutkoordinaterna måste upfylla: 0 <= start < slut <= "
                           "1000 (total tunnellängd)";
const Coordinates kCoordinates[] = {
    {"start wrong, stop not read", "sv_SE", "600", "abc", "x", "Ogiltig startkoordinat: abc", ""},
    {"stop just above T", "sv_SE", "600", "0", "1000,01", kRange, ""},
    {"T under a decimal-point locale", "en_US", "600.5", "0", "2000",
     "Start- och slutkoordinaterna måste upfylla: 0 <= start < slut <= 1000.5 (total "
     "tunnellängd)",
     ""},
    {"0 to T", "sv_SE", "600", "0", "1000", "", "0 - 1000"},
    {"decimal point", "en_US", "600", "120.5", "300", "", "120.5 - 300"},
};

struct HandComputed
{
    const char *name;
    bool totals;
    const char *stretch; // empty: the "Totalt" row
    const char *fuel, *road;
};
const HandComputed kHandComputed[] = {
    {"whole tunnel per km", false, "", "33372,6", "7,75"},
    {"whole tunnel in totals (1 km)", true, "", "33372,6", "7,75"},
    {"300-700 per km", false, "300:700", "36532,5", "7,75"},
    {"300-700 in totals", true, "300:700", "14613,", "3,1"},
    {"first segment in totals", true, "0:400", "8293,2", "3,1"},
    {"inside the second segment per km", false, "500:600", "41799,", "7,75"},
    {"one metre in totals", true, "0:1", "20,73", ",01"},
};

// Both normalisations of the rows, with L = 850.
struct Switch
{
    const char *name, *stretches;
    bool removeTotal;
    const char *labels, *fuelTotals;
};
const Switch kSwitches[] = {
    {"Totalt and two stretches", "300:700 0:400", false, "Totalt|300 - 700|0 - 400",
     "43822,35|14613,|8293,2"},
    {"stop at T, read back from the label", "0:1250 1000,5:1250", false,
     "Totalt|0 - 1250|1000,5 - 1250", "43822,35|43822,35|10428,85"},
    {"a removed Totalt is not recreated", "300:700", true, "300 - 700", "14613,"},
    {"empty list", "", true, "", ""},
};

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
    {"another cell moves the mark", "L0,1 L1,2", "1,2", true, "=", kAll, 1},
    {"the same cell twice", "L1,3 L1,3", "1,3", true, "=", kAll, 1},
    {"below the rows marks nothing", "L-1,1", "", false, "-", kAll, 0},
    {"label removes a mark", "L0,1 L1,0", "", true, "-", kAll, 1},
    {"below the rows removes a mark", "R1,4 R-1,1", "", true, "-", kAll, -1},
    {"the mark survives a switch", "L1,0 R1,1 t", "1,1", true, "14613,", kAll, 1},
    {"the mark goes with its row", "L1,3 x", "", true, "-", "Totalt|0 - 400", 0},
    {"remove, nothing selected", "x", "", false, "-", kAll, 0},
    {"remove Totalt", "L0,0 x t", "", false, "-", "300 - 700|0 - 400", 0},
    {"remove the last row", "L2,0 x t", "", false, "-", "Totalt|300 - 700", 0},
    {"remove, row deselected", "L1,0 C1,0 x", "", false, "-", kAll, 1},
    {"remove after Rensa", "L1,0 r x", "", false, "-", "", 1},
};

} // namespace

Q_DECLARE_METATYPE(Coordinates)
Q_DECLARE_METATYPE(HandComputed)
Q_DECLARE_METATYPE(Switch)
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
        const QStringList totalRow = rowTexts(*f.results(), 0);
        QStringList statusWhileShown;
        f.prompts.onMessage = [&](const Message &) { statusWhileShown << statusText(f.window); };
        f.addStretch(QString(c.start) + ':' + c.stop);

        const bool ok = !*c.message;
        QCOMPARE(statusText(f.window), u"Klar"_qs);
        const Message expected{c.message, "Felaktig indata", lv::MessageIcon::Exclamation};
        QCOMPARE(f.prompts.messages, ok ? QList<Message>() : QList<Message>{expected});
        QCOMPARE(statusWhileShown, ok ? QStringList() : QStringList({"Vänta..."}));
        QCOMPARE(columnTexts(*f.results(), 0), QStringList({"Totalt", c.label}).mid(0, ok + 1));
        QCOMPARE(rowTexts(*f.results(), 0), totalRow);
        QCOMPARE(f.text("startEdit") + ':' + f.text("stopEdit"),
                 ok ? ":" : QString(c.start) + ':' + c.stop);
        if (QString(c.label) == "0 - 1000") // the whole tunnel, as "Totalt" shows it
            QVERIFY(sameUpToRounding(rowTexts(*f.results(), 1).mid(1), totalRow.mid(1)));
    }

    void handComputedRows_data() { addCases(kHandComputed); }
    void handComputedRows()
    {
        QFETCH(HandComputed, c);
        Fixture f;
        if (c.totals)
            f.click("totalsButton");
        if (*c.stretch)
            f.addStretch(c.stretch);
        const int row = rowCount(*f.results()) - 1;
        QCOMPARE(cellText(*f.results(), row, kFuel) + ' ' + cellText(*f.results(), row, kRoad),
                 QString(c.fuel) + ' ' + c.road);
    }

    // Per km, totals (twice: the same rows) and back per km, the headers with each.
    void modeSwitching_data() { addCases(kSwitches); }
    void modeSwitching()
    {
        QFETCH(Switch, c);
        Fixture f("850");
        for (const QString &stretch : QString(c.stretches).split(' ', Qt::SkipEmptyParts))
            f.addStretch(stretch);
        if (c.removeTotal) {
            f.press(0, 0, Qt::LeftButton);
            f.click("removeRowButton");
        }
        QVERIFY(f.prompts.messages.isEmpty());
        const QStringList perKm = columnTexts(*f.results(), -1);
        const QStringList labels = QString(c.labels).split('|', Qt::SkipEmptyParts);

        f.click("totalsButton");
        QCOMPARE(f.tab()->mode(), Mode::Totals);
        QCOMPARE(headerTexts(*f.results()).last(), u"CO2: [kg]"_qs);
        QCOMPARE(columnTexts(*f.results(), 0), labels);
        QCOMPARE(columnTexts(*f.results(), kFuel),
                 QString(c.fuelTotals).split('|', Qt::SkipEmptyParts));
        const QStringList totals = columnTexts(*f.results(), -1);
        f.click("totalsButton");
        QCOMPARE(columnTexts(*f.results(), -1), totals);

        f.click("perKmButton");
        QCOMPARE(f.tab()->mode(), Mode::PerKm);
        QCOMPARE(headerTexts(*f.results()).last(), u"CO2: [kg/km]"_qs);
        // Back as before; "Totalt", now a sub-stretch sum over 0..T, up to rounding.
        QCOMPARE(columnTexts(*f.results(), 0), labels);
        for (int r = 0; r < rowCount(*f.results()); ++r) {
            const QStringList row = rowTexts(*f.results(), r), before = perKm.mid(r * 12, 12);
            QVERIFY(before[0] == "Totalt" ? sameUpToRounding(row, before) : row == before);
        }
    }

    void clicks_data() { addCases(kClicks); }
    void clicks()
    {
        QFETCH(Clicks, c);
        Fixture f;
        f.addStretch("300:700");
        f.addStretch("0:400");
        QVERIFY(!f.enabled("copyValueButton") && !f.enabled("removeRowButton"));
        const QMap<QChar, Qt::MouseButton> buttons = {{'L', Qt::LeftButton},
                                                      {'M', Qt::MiddleButton},
                                                      {'R', Qt::RightButton},
                                                      {'C', Qt::LeftButton}};
        for (const QString &step : QString(c.steps).split(' ')) {
            if (buttons.contains(step[0]))
                f.press(step.mid(1).section(',', 0, 0).toInt(), step.section(',', 1).toInt(),
                        buttons[step[0]], step[0] == 'C' ? Qt::ControlModifier : Qt::NoModifier);
            else
                f.click(step == "t"   ? "totalsButton"
                        : step == "x" ? "removeRowButton"
                                      : "clearButton");
        }
        QCOMPARE(f.markedCells(), QString(c.marked).split(' ', Qt::SkipEmptyParts));
        QCOMPARE(f.enabled("copyValueButton"), c.copyEnabled);
        QCOMPARE(columnTexts(*f.results(), 0), QString(c.labels).split('|', Qt::SkipEmptyParts));
        if (c.removeEnabled >= 0)
            QCOMPARE(f.enabled("removeRowButton"), bool(c.removeEnabled));
        const int row = QString(c.marked).section(',', 0, 0).toInt();
        const int column = QString(c.marked).section(',', 1).toInt();
        if (*c.marked) // red on the screen too, and on that cell alone
            QVERIFY(f.showsRed(row, column) && !f.showsRed(row, column ^ 1));
        const QString shown = cellText(*f.results(), row, column);

        QGuiApplication::clipboard()->setText("vorher");
        f.click("copyValueButton");
        const QString copied = c.copied;
        QCOMPARE(QGuiApplication::clipboard()->text(), copied == "="   ? shown
                                                       : copied == "-" ? "vorher"
                                                                       : copied);
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{"text/plain"});
        QVERIFY(f.markedCells().isEmpty());
        QCOMPARE(f.enabled("copyValueButton"), c.copyEnabled && !*c.marked);
    }

    // The tab works on the run shown while the input changes.
    void worksOnTheRunAfterInputEdits()
    {
        Fixture f;
        f.tabs()->setCurrentIndex(0);
        addSegment(f.window, f.prompts,
                   segment("2", "2000", "3", "80", "100", "80", "10", "80", "1"));
        addSegment(f.window, f.prompts, segment("3"));
        f.tabs()->setCurrentIndex(1);
        f.addStretch("0:1500");
        QCOMPARE(f.prompts.messages.value(0).text, QString(kRange));
        f.addStretch("300:700");
        f.click("totalsButton");
        QCOMPARE(columnTexts(*f.results(), kFuel), QStringList({"33372,6", "14613,"}));
    }

    // The line under the list follows each successful run: shown while the run used a slope
    // outside the tables, hidden again after a run that did not.
    void slopeNotice()
    {
        Fixture f;
        auto *notice = f.get<QLabel>("slopeNotice");
        QVERIFY(notice->isHidden());
        f.tabs()->setCurrentIndex(0);
        addSegment(f.window, f.prompts,
                   segment("3", "100", "-12", "50", "100", "50", "10", "50", "1"));
        QVERIFY(f.run() && !notice->isHidden());
        QVERIFY2(notice->text().startsWith(u"Lutning utanför tabellernas -7…7 % i 1 segment:"_qs),
                 qPrintable(notice->text()));
        f.tabs()->setCurrentIndex(0);
        f.segments()->setCurrentIndex(f.segments()->model()->index(2, 0));
        f.click("removeButton");
        QVERIFY(f.run() && notice->isHidden());
    }
};

QTEST_MAIN(TestResultTab)
#include "tst_resulttab.moc"
