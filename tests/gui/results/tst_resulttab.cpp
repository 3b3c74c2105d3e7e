#include "core/results/resulttable.h"
#include "core/text/numbertext.h"
#include "gui/app/mainwindow.h"
#include "gui/results/resulttab.h"
#include "gui/windowdriver.h"

#include <QBrush>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <cmath>

using lv::MessageIcon;
using lv::gui::MainWindow;
using lv::results::Mode;
using lv::results::resultHeaders;
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
constexpr int kLastColumn = 11;
const QString kRange = QStringLiteral("Start- och slutkoordinaterna måste upfylla: 0 <= start < "
                                      "slut <= %1 (total tunnellängd)");

struct Fixture
{
    RecordingPrompts prompts;
    MainWindow window;

    explicit Fixture(const QString &secondLength = QStringLiteral("600"))
        : window(prompts, QStringLiteral(LUFTVAKA_TEST_DATA "/calc"))
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("main window not exposed");
        addSegment(window, prompts, segment("1", "400", "0", "50", "100", "50", "10", "50", "1"));
        addSegment(window, prompts,
                   segment("2", secondLength, "3", "80", "100", "80", "10", "80", "1"));
        auto *years = get<QComboBox>("yearCombo");
        years->setCurrentIndex(years->findText("2005"));
        get<QLineEdit>("spsEdit")->setText(QStringLiteral("10"));
        get<QLineEdit>("studdedShareEdit")->setText(QStringLiteral("0"));
        click("calculateButton");
        // The test workbooks carry a label the run warns about and then reads past.
        for (const Message &message : prompts.messages) {
            if (message.title != "Luftvaka")
                qFatal("the test run failed: %s", qPrintable(message.text));
        }
        if (!window.runState())
            qFatal("the test run failed");
        prompts.messages.clear();
    }

    template <class T>
    T *get(const QString &name)
    {
        return named<T>(window, name);
    }
    QAbstractItemView *list() { return get<QAbstractItemView>("resultView"); }
    lv::gui::ResultTab *tab() { return window.findChild<lv::gui::ResultTab *>(); }
    void click(const QString &button) { get<QAbstractButton>(button)->click(); }
    bool enabled(const QString &button) { return get<QAbstractButton>(button)->isEnabled(); }

    // "Lägg till" with the two coordinate texts.
    void addStretch(const QString &start, const QString &stop)
    {
        get<QLineEdit>("startEdit")->setText(start);
        get<QLineEdit>("stopEdit")->setText(stop);
        click("addStretchButton");
    }

    // Where a cell lies in the list's viewport, scrolled into view; row -1 is the empty space
    // below the last row.
    QPoint cellCentre(int row, int column)
    {
        QAbstractItemView *view = list();
        if (row < 0) {
            const int count = rowCount(*view);
            const QRect last =
                count > 0 ? view->visualRect(view->model()->index(count - 1, kFuel)) : QRect();
            return {last.left() + 5, last.bottom() + 10};
        }
        const QModelIndex index = view->model()->index(row, column);
        view->scrollTo(index);
        const QRect rect = view->visualRect(index);
        if (!view->viewport()->rect().contains(rect.center()))
            qFatal("cell %d, %d is not in view", row, column);
        return rect.center();
    }

    void press(int row, int column, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(list()->viewport(), button, modifiers, cellCentre(row, column));
    }

    // The cells shown in red, as "row,column".
    QStringList markedCells()
    {
        QStringList cells;
        const QAbstractItemModel *model = list()->model();
        for (int r = 0; r < model->rowCount(); ++r) {
            for (int c = 0; c < model->columnCount(); ++c) {
                if (foreground(r, c) == QColor(Qt::red))
                    cells.append(QStringLiteral("%1,%2").arg(r).arg(c));
            }
        }
        return cells;
    }

    // The text colour the list's model gives a cell (black where it gives none).
    QColor foreground(int row, int column)
    {
        return list()->model()->index(row, column).data(Qt::ForegroundRole).value<QBrush>().color();
    }

    QModelIndexList selectedRows() { return list()->selectionModel()->selectedRows(); }

    // Whether the cell is drawn with red text (the mark must show on a selected row too).
    bool showsRed(int row, int column)
    {
        const QModelIndex index = list()->model()->index(row, column);
        const QImage image = list()->viewport()->grab(list()->visualRect(index)).toImage();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.red() > 200 && pixel.green() < 80 && pixel.blue() < 80)
                    return true;
            }
        }
        return false;
    }

    QStringList allTexts()
    {
        QStringList texts;
        for (int r = 0; r < rowCount(*list()); ++r)
            texts += rowTexts(*list(), r);
        return texts;
    }
};

// Value texts that agree up to the last shown decimal: "Totalt" is computed by the run,
// a stretch row by the sub-stretch sum, each rounded in single precision.
bool sameUpToRounding(const QStringList &actual, const QStringList &expected)
{
    if (actual.size() != expected.size())
        return false;
    for (qsizetype i = 0; i < actual.size(); ++i) {
        const auto a = lv::text::parseDouble(actual[i]);
        const auto b = lv::text::parseDouble(expected[i]);
        if (!a || !b || std::fabs(*a - *b) > 0.01 + 1e-7 * std::fabs(*b)) {
            qWarning("%s differs from %s", qPrintable(actual[i]), qPrintable(expected[i]));
            return false;
        }
    }
    return true;
}

QString clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

} // namespace

class TestResultTab : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }

    void coordinateChecks_data();
    void coordinateChecks();
    void handComputedRows_data();
    void handComputedRows();
    void modeSwitching_data();
    void modeSwitching();
    void marking_data();
    void marking();
    void markSurvivesSwitch();
    void removal_data();
    void removal();
    void removingTheMarkedRow();
    void worksOnTheRunAfterInputEdits();
    void slopeNotice();
};

void TestResultTab::coordinateChecks_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("secondLength");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::addColumn<QString>("label");   // of the new row

    const QString sv = QStringLiteral("sv_SE");
    const QString en = QStringLiteral("en_US");
    const QString noStart = QStringLiteral("Ogiltig startkoordinat: ");
    const QString noStop = QStringLiteral("Ogiltig slutkoordinat: ");
    const QString range = kRange.arg(QStringLiteral("1000"));
    const auto add = [](const char *name, const QString &locale, const char *secondLength,
                        const char *start, const char *stop, const QString &message,
                        const char *label) {
        QTest::newRow(name) << locale << QString(secondLength) << QString(start) << QString(stop)
                            << message << QString(label);
    };
    add("start empty", sv, "600", "", "100", noStart, "");
    add("start not a number, stop not looked at", sv, "600", "abc", "x", noStart + "abc", "");
    add("stop empty", sv, "600", "0", "", noStop, "");
    add("start = stop", sv, "600", "300", "300", range, "");
    add("stop just above T", sv, "600", "0", "1000,01", range, "");
    add("negative start", sv, "600", "-1", "100", range, "");
    add("T under a decimal-point locale", en, "600.5", "0", "2000", kRange.arg("1000.5"), "");
    add("0 to T", sv, "600", "0", "1000", "", "0 - 1000");
    add("decimal comma", sv, "600", "120,5", "300", "", "120,5 - 300");
    add("leading zero", sv, "600", "0100", "400", "", "100 - 400");
    add("blanks around", sv, "600", " 300 ", "700 ", "", "300 - 700");
    add("decimal point", en, "600", "120.5", "300", "", "120.5 - 300");
}

void TestResultTab::coordinateChecks()
{
    QFETCH(QString, locale);
    QFETCH(QString, secondLength);
    QFETCH(QString, start);
    QFETCH(QString, stop);
    QFETCH(QString, message);
    QFETCH(QString, label);

    QLocale::setDefault(QLocale(locale));
    Fixture f(secondLength);
    const QStringList totalRow = rowTexts(*f.list(), 0);
    QStringList statusWhileShown;
    f.prompts.onMessage = [&](const Message &) { statusWhileShown.append(statusText(f.window)); };
    QSignalSpy status(f.tab(), &lv::gui::ResultTab::statusChanged);

    f.addStretch(start, stop);

    QCOMPARE(status.size(), 2);
    QCOMPARE(status[0][0].toString(), QStringLiteral("Vänta..."));
    QCOMPARE(statusText(f.window), QStringLiteral("Klar"));
    QCOMPARE(rowTexts(*f.list(), 0), totalRow);
    if (!message.isEmpty()) {
        QCOMPARE(f.prompts.messages,
                 QList<Message>({{message, "Felaktig indata", MessageIcon::Exclamation}}));
        QCOMPARE(statusWhileShown, QStringList({"Vänta..."}));
        QCOMPARE(rowCount(*f.list()), 1);
        QCOMPARE(f.get<QLineEdit>("startEdit")->text(), start);
        QCOMPARE(f.get<QLineEdit>("stopEdit")->text(), stop);
        return;
    }
    QVERIFY(f.prompts.messages.isEmpty());
    QCOMPARE(rowCount(*f.list()), 2);
    QCOMPARE(cellText(*f.list(), 1, 0), label);
    QCOMPARE(f.get<QLineEdit>("startEdit")->text(), QString());
    QCOMPARE(f.get<QLineEdit>("stopEdit")->text(), QString());
    if (label == "0 - 1000") // the whole tunnel, as "Totalt" shows it
        QVERIFY(sameUpToRounding(rowTexts(*f.list(), 1).mid(1), totalRow.mid(1)));
}

void TestResultTab::handComputedRows_data()
{
    QTest::addColumn<bool>("totals");
    QTest::addColumn<QString>("stretch"); // "start:stop"; empty: the "Totalt" row
    QTest::addColumn<QString>("fuel");
    QTest::addColumn<QString>("road");
    const auto add = [](const char *name, bool totals, const char *stretch, const char *fuel,
                        const char *road) {
        QTest::newRow(name) << totals << QString(stretch) << QString(fuel) << QString(road);
    };
    add("whole tunnel per km", false, "", "33372,6", "7,75");
    add("whole tunnel in totals (1 km)", true, "", "33372,6", "7,75");
    add("300-700 per km", false, "300:700", "36532,5", "7,75");
    add("300-700 in totals", true, "300:700", "14613,", "3,1");
    add("first segment in totals", true, "0:400", "8293,2", "3,1");
    add("inside the second segment per km", false, "500:600", "41799,", "7,75");
    add("one metre in totals", true, "0:1", "20,73", ",01");
}

void TestResultTab::handComputedRows()
{
    QFETCH(bool, totals);
    QFETCH(QString, stretch);
    QFETCH(QString, fuel);
    QFETCH(QString, road);
    Fixture f;
    if (totals)
        f.click("totalsButton");
    if (!stretch.isEmpty())
        f.addStretch(stretch.section(':', 0, 0), stretch.section(':', 1, 1));
    QVERIFY(f.prompts.messages.isEmpty());
    const int row = rowCount(*f.list()) - 1;
    QCOMPARE(cellText(*f.list(), row, kFuel), fuel);
    QCOMPARE(cellText(*f.list(), row, kRoad), road);
}

void TestResultTab::modeSwitching_data()
{
    QTest::addColumn<QStringList>("stretches"); // added as "start:stop"
    QTest::addColumn<bool>("removeTotal");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QStringList>("fuelTotals");

    QTest::newRow("Totalt and two stretches")
        << QStringList{"300:700", "0:400"} << false << QStringList{"Totalt", "300 - 700", "0 - 400"}
        << QStringList{"43822,35", "14613,", "8293,2"};
    QTest::newRow("stop at T, read back from the label")
        << QStringList{"0:1250", "1000,5:1250"} << false
        << QStringList{"Totalt", "0 - 1250", "1000,5 - 1250"}
        << QStringList{"43822,35", "43822,35", "10428,85"};
    QTest::newRow("a removed Totalt is not recreated")
        << QStringList{"300:700"} << true << QStringList{"300 - 700"} << QStringList{"14613,"};
    QTest::newRow("empty list") << QStringList{} << true << QStringList{} << QStringList{};
}

void TestResultTab::modeSwitching()
{
    QFETCH(QStringList, stretches);
    QFETCH(bool, removeTotal);
    QFETCH(QStringList, labels);
    QFETCH(QStringList, fuelTotals);

    Fixture f(QStringLiteral("850"));
    for (const QString &stretch : stretches)
        f.addStretch(stretch.section(':', 0, 0), stretch.section(':', 1, 1));
    if (removeTotal) {
        f.press(0, 0);
        f.click("removeRowButton");
    }
    QVERIFY(f.prompts.messages.isEmpty());
    const QStringList perKm = f.allTexts();
    QSignalSpy status(f.tab(), &lv::gui::ResultTab::statusChanged);

    f.click("totalsButton");
    QCOMPARE(f.tab()->mode(), Mode::Totals);
    QCOMPARE(headerTexts(*f.list()), resultHeaders(Mode::Totals));
    QCOMPARE(columnTexts(*f.list(), 0), labels);
    QCOMPARE(columnTexts(*f.list(), kFuel), fuelTotals);
    const QStringList totals = f.allTexts();
    f.click("totalsButton"); // again: the same rows
    QCOMPARE(f.allTexts(), totals);

    f.click("perKmButton");
    QCOMPARE(f.tab()->mode(), Mode::PerKm);
    QCOMPARE(headerTexts(*f.list()), resultHeaders(Mode::PerKm));
    // Back as before; "Totalt", now a sub-stretch sum over 0..T, up to rounding.
    QCOMPARE(columnTexts(*f.list(), 0), labels);
    for (int r = 0; r < rowCount(*f.list()); ++r) {
        const QStringList before = perKm.mid(r * 12, 12);
        if (before[0] == "Totalt")
            QVERIFY(sameUpToRounding(rowTexts(*f.list(), r).mid(1), before.mid(1)));
        else
            QCOMPARE(rowTexts(*f.list(), r), before);
    }
    QCOMPARE(status.size(), 0);
    QCOMPARE(statusText(f.window), QStringLiteral("Klar"));
}

void TestResultTab::marking_data()
{
    // Presses at cells (column, row); row -1 is the empty space below the rows.
    QTest::addColumn<QList<QPoint>>("presses");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("marked"); // "row,column" or empty
    QTest::addColumn<bool>("copyEnabled");

    const auto add = [](const char *name, const QList<QPoint> &presses, Qt::MouseButton button,
                        const char *marked, bool copyEnabled) {
        QTest::newRow(name) << presses << int(button) << QString(marked) << copyEnabled;
    };
    add("value cell", {{1, 1}}, Qt::LeftButton, "1,1", true);
    add("middle button, last column scrolled into view", {{kLastColumn, 1}}, Qt::MiddleButton,
        "1,11", true);
    add("another cell moves the mark", {{1, 0}, {2, 1}}, Qt::LeftButton, "1,2", true);
    add("the same cell twice", {{3, 1}, {3, 1}}, Qt::LeftButton, "1,3", true);
    add("below the rows marks nothing", {{1, -1}}, Qt::LeftButton, "", false);
    add("label removes a mark", {{1, 0}, {0, 1}}, Qt::LeftButton, "", true);
    add("below the rows removes a mark", {{4, 1}, {1, -1}}, Qt::RightButton, "", true);
}

void TestResultTab::marking()
{
    QFETCH(QList<QPoint>, presses);
    QFETCH(int, button);
    QFETCH(QString, marked);
    QFETCH(bool, copyEnabled);

    Fixture f;
    f.addStretch("300", "700");
    QVERIFY(!f.enabled("copyValueButton")); // the run turned it off
    for (const QPoint &cell : presses)
        f.press(cell.y(), cell.x(), Qt::MouseButton(button));

    QCOMPARE(f.markedCells(), marked.isEmpty() ? QStringList() : QStringList{marked});
    QCOMPARE(f.enabled("copyValueButton"), copyEnabled);

    const QString before = QStringLiteral("vorher");
    QGuiApplication::clipboard()->setText(before);
    f.click("copyValueButton");
    if (marked.isEmpty()) {
        // Nothing marked: nothing copied, and the button stays as it was.
        QCOMPARE(clipboardText(), before);
        QCOMPARE(f.enabled("copyValueButton"), copyEnabled);
        return;
    }
    const int row = marked.section(',', 0, 0).toInt();
    const int column = marked.section(',', 1, 1).toInt();
    QCOMPARE(clipboardText(), cellText(*f.list(), row, column));
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{"text/plain"});
    QVERIFY(f.markedCells().isEmpty());
    QCOMPARE(f.foreground(row, column), QColor(Qt::black));
    QVERIFY(!f.enabled("copyValueButton"));
}

void TestResultTab::markSurvivesSwitch()
{
    Fixture f;
    f.addStretch("300", "700");
    f.press(1, 0);
    f.press(1, kFuel, Qt::RightButton);
    QCOMPARE(cellText(*f.list(), 1, kFuel), QStringLiteral("36532,5"));

    f.click("totalsButton");
    QCOMPARE(f.markedCells(), QStringList{"1,1"});
    QCOMPARE(f.selectedRows(), QModelIndexList{f.list()->model()->index(1, 0)});
    QVERIFY(f.showsRed(1, kFuel));
    QVERIFY(!f.showsRed(1, kFuel + 1));
    QVERIFY(!f.showsRed(0, kFuel));
    f.click("copyValueButton");
    QCOMPARE(clipboardText(), QStringLiteral("14613,"));
    QVERIFY(f.markedCells().isEmpty());
    QVERIFY(!f.enabled("copyValueButton"));
    QVERIFY(f.enabled("removeRowButton"));
}

void TestResultTab::removal_data()
{
    QTest::addColumn<int>("clicked"); // row clicked first, -1 none
    QTest::addColumn<bool>("deselect");
    QTest::addColumn<bool>("rensa");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<bool>("removeEnabled");

    const QStringList all = {"Totalt", "300 - 700", "0 - 400"};
    QTest::newRow("nothing clicked") << -1 << false << false << all << false;
    QTest::newRow("Totalt") << 0 << false << false << QStringList{"300 - 700", "0 - 400"} << false;
    QTest::newRow("middle row") << 1 << false << false << QStringList{"Totalt", "0 - 400"} << false;
    QTest::newRow("last row") << 2 << false << false << QStringList{"Totalt", "300 - 700"} << false;
    QTest::newRow("rows but none selected") << 1 << true << false << all << true;
    QTest::newRow("list emptied by Rensa") << 1 << false << true << QStringList{} << true;
}

void TestResultTab::removal()
{
    QFETCH(int, clicked);
    QFETCH(bool, deselect);
    QFETCH(bool, rensa);
    QFETCH(QStringList, labels);
    QFETCH(bool, removeEnabled);

    Fixture f;
    f.addStretch("300", "700");
    f.addStretch("0", "400");
    QVERIFY(!f.enabled("removeRowButton"));
    if (clicked >= 0) {
        f.press(clicked, 0);
        QVERIFY(f.enabled("removeRowButton"));
    }
    if (deselect)
        f.press(clicked, 0, Qt::LeftButton, Qt::ControlModifier);
    if (rensa)
        f.click("clearButton");
    QCOMPARE(f.selectedRows().size(), clicked >= 0 && !deselect && !rensa ? 1 : 0);

    f.click("removeRowButton");
    QCOMPARE(columnTexts(*f.list(), 0), labels);
    QCOMPARE(f.enabled("removeRowButton"), removeEnabled);
    QVERIFY(f.selectedRows().isEmpty());
    QVERIFY(f.prompts.messages.isEmpty());

    // The rows left are still whole rows of the run: they switch like any other.
    f.click("totalsButton");
    QCOMPARE(columnTexts(*f.list(), 0), labels);
}

void TestResultTab::removingTheMarkedRow()
{
    Fixture f;
    f.addStretch("300", "700");
    // A click on a value both selects its row and marks the value.
    f.press(1, 3);
    QCOMPARE(f.markedCells(), QStringList{"1,3"});
    f.click("removeRowButton");
    QCOMPARE(columnTexts(*f.list(), 0), QStringList{"Totalt"});
    QVERIFY(f.markedCells().isEmpty());

    // The mark went with its row: "Kopiera värde" stays on and copies nothing.
    QVERIFY(f.enabled("copyValueButton"));
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    f.click("copyValueButton");
    QCOMPARE(clipboardText(), QStringLiteral("vorher"));
}

void TestResultTab::worksOnTheRunAfterInputEdits()
{
    Fixture f;
    auto *tabs = f.get<QTabWidget>("tabs");
    tabs->setCurrentIndex(0);
    // The second segment made 2000 m long, and a third one added.
    addSegment(f.window, f.prompts, segment("2", "2000", "3", "80", "100", "80", "10", "80", "1"));
    addSegment(f.window, f.prompts, segment("3"));
    tabs->setCurrentIndex(1);

    f.addStretch("0", "1500");
    QCOMPARE(f.prompts.messages.value(0).text, kRange.arg("1000"));
    f.addStretch("300", "700");
    QCOMPARE(cellText(*f.list(), 1, kFuel), QStringLiteral("36532,5"));
    f.click("totalsButton");
    QCOMPARE(columnTexts(*f.list(), kFuel), QStringList({"33372,6", "14613,"}));
}

// The line under the list follows each successful run: shown while the run used a slope
// outside the tables, hidden again after a run that did not.
void TestResultTab::slopeNotice()
{
    Fixture f;
    auto *notice = f.get<QLabel>("slopeNotice");
    QVERIFY(notice->isHidden());
    auto *tabs = f.get<QTabWidget>("tabs");
    tabs->setCurrentIndex(0);
    addSegment(f.window, f.prompts, segment("3", "100", "-12", "50", "100", "50", "10", "50", "1"));
    f.click("calculateButton");
    QVERIFY(!notice->isHidden());
    QVERIFY2(notice->text().startsWith(u"Lutning utanför tabellernas -7…7 % i 1 segment:"_qs),
             qPrintable(notice->text()));

    tabs->setCurrentIndex(0);
    auto *segments = f.get<QAbstractItemView>("segmentView");
    segments->setCurrentIndex(segments->model()->index(2, 0));
    f.click("removeButton");
    f.click("calculateButton");
    QCOMPARE(tabs->currentIndex(), 1);
    QVERIFY(notice->isHidden());
}

QTEST_MAIN(TestResultTab)
#include "tst_resulttab.moc"
