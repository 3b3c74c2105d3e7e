#include "core/results/resulttable.h"
#include "gui/results/resulttab.h"
#include "gui/windowdriver.h"

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

constexpr int kFuel = 1; // the value column of fuel

struct Fixture : WindowFixture
{
    explicit Fixture(const QString &secondLength = "600")
        : WindowFixture(LUFTVAKA_TEST_DATA "/calc")
    {
        runTestTunnel("", secondLength);
    }
    lv::gui::ResultTab *tab() { return window.findChild<lv::gui::ResultTab *>(); }
    void addStretch(const QString &stretch) // "start:stop"
    {
        setText("startEdit", stretch.section(':', 0, 0));
        setText("stopEdit", stretch.section(':', 1));
        click("addStretchButton");
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
    {"empty list", "", true, "", ""}};

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
        const QStringList perKm = texts(*f.results());
        f.click("totalsButton");
        const QStringList totals = texts(*f.results());
        f.click("totalsButton");
        QCOMPARE(texts(*f.results()), totals);
        QCOMPARE(texts(*f.results(), -1, 0).join('|') + '#' +
                     texts(*f.results(), -1, kFuel).join('|') + '#' + headerText(*f.results(), 11),
                 QString(c.labels) + '#' + c.fuelTotals + u"#CO2: [kg]"_qs);
        QCOMPARE(f.tab()->mode(), Mode::Totals);

        f.click("perKmButton");
        QCOMPARE(f.tab()->mode(), Mode::PerKm);
        QCOMPARE(headerText(*f.results(), 11), u"CO2: [kg/km]"_qs);
        // Back as before; "Totalt", now a sub-stretch sum over 0..T, differs in the last digit.
        const qsizetype skip = QString(c.labels).startsWith(u"Totalt") ? 12 : 0;
        QCOMPARE(texts(*f.results()).mid(skip), perKm.mid(skip));
        QCOMPARE(texts(*f.results()).size(), perKm.size());
    }

    void clicks_data() { addCases(kClicks); }
    void clicks()
    {
        QFETCH(Clicks, c);
        Fixture f;
        f.addStretch("300:700");
        f.addStretch("0:400");
        QVERIFY(!f.enabled("copyValueButton") && !f.enabled("removeRowButton"));
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
};

QTEST_MAIN(TestResultTab)
#include "tst_resulttab.moc"
