// Times the main window on a maximum tunnel, offscreen: opening a .dat file with 32,767 segments
// through "Öppna indata...", "Beräkna" on the default workbooks, and one switch of mode that
// recomputes 1,000 sub-stretch rows. Each time includes the window's repaint afterwards. Prints
// its figures (medians of the repeats), or with --json one JSON object of them; run it from the
// build's bin directory (the workbooks lie there) or give the workbook directory as an argument.

#include "bench/benchclock.h"
#include "core/files/inputfile.h"
#include "core/text/numbertext.h"
#include "gui/app/mainwindow.h"
#include "gui/prompts/prompts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

using namespace lv;

namespace {

constexpr int kSegments = 32767;
constexpr int kRows = 1000;
const int kRepeats = qEnvironmentVariableIntValue("LUFTVAKA_BENCH_REPEATS") > 0
                         ? qEnvironmentVariableIntValue("LUFTVAKA_BENCH_REPEATS")
                         : 5;

// Answers the open dialog with one file and counts every message (there should be none).
class BenchPrompts final : public gui::Prompts
{
public:
    QString openAnswer;
    QStringList messages;

    void message(const QString &text, const QString &, MessageIcon) override
    {
        messages.append(text);
    }
    QString openFileName(QWidget *, const QString &, const QString &) override
    {
        return openAnswer;
    }
    lv::SaveAnswer askSave(const QString &, const QString &) override
    {
        return lv::SaveAnswer::Discard;
    }
    bool askYesNo(const QString &, const QString &) override { return true; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    bool choosePrinter(QWidget *, QPrinter &) override { return false; }
    int runDialog(QDialog &) override { return QDialog::Rejected; }
};

// The maximum tunnel of the core benchmark: every slope from -9 % to 9 %, speeds 10 to 120.
files::InputDocument maximumTunnel()
{
    files::InputDocument document;
    document.scenario = QStringLiteral("Maximal tunnel");
    document.year = QStringLiteral("2010");
    document.sps = text::formatGeneral(3.5f);
    document.studdedShare = text::formatGeneral(0.3f);
    document.rows.reserve(kSegments);
    const auto n = [](double v) { return text::formatGeneral(float(v)); };
    for (int i = 0; i < kSegments; ++i) {
        document.rows.push_back(
            input::SegmentRow{QString::number(i + 1),
                              {n(10 + i % 90), n(i % 19 - 9), n(10 + i % 111), n(500 + i % 700),
                               n(10 + i % 81), n(20 + i % 50), n(10 + i % 77), n(5 + i % 30)}});
    }
    return document;
}

template <class T>
T *named(const QWidget &window, const char *name)
{
    T *child = window.findChild<T *>(QString::fromLatin1(name));
    if (!child)
        qFatal("no child named %s", name);
    return child;
}

// The time of one command, up to the end of the repaint it causes.
double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template <class F>
double milliseconds(F &&command)
{
    const double start = benchClockMilliseconds();
    command();
    QApplication::processEvents();
    return benchClockMilliseconds() - start;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A window as at a first start, whatever settings (size, recent files) a user has kept.
    QStandardPaths::setTestModeEnabled(true);
    QSettings().clear();
    QLocale::setDefault(QLocale::c());
    QStringList args = app.arguments().mid(1);
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    const QString dir = args.isEmpty() ? QCoreApplication::applicationDirPath() : args.first();

    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("maximal.dat"));
    {
        const auto bytes = files::writeInputFile(maximumTunnel(), QDateTime::currentDateTime());
        QFile file(path);
        if (!bytes || !file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }

    BenchPrompts prompts;
    gui::MainWindow window(prompts, dir);
    window.show();
    QApplication::processEvents();
    auto *segments = named<QAbstractItemView>(window, "segmentView");
    auto *results = named<QAbstractItemView>(window, "resultView");
    auto *open = named<QAction>(window, "openAction");
    auto *kor = named<QAbstractButton>(window, "calculateButton");

    // Opening, the median of the repeats; each replaces the list of the one before.
    prompts.openAnswer = path;
    std::vector<double> openTimes;
    for (int r = 0; r < kRepeats; ++r)
        openTimes.push_back(milliseconds([&] { open->trigger(); }));
    const double openTime = median(openTimes);
    if (segments->model()->rowCount() != kSegments || !prompts.messages.isEmpty()) {
        std::fprintf(stderr, "opening gave %d segments: %s\n", segments->model()->rowCount(),
                     qPrintable(prompts.messages.join(u'\n')));
        return 1;
    }

    // "Beräkna" on the input tab, the median of the repeats (each run ends on the result tab).
    auto *tabs = named<QTabWidget>(window, "tabs");
    std::vector<double> runTimes;
    for (int r = 0; r < kRepeats; ++r) {
        tabs->setCurrentIndex(0);
        QApplication::processEvents();
        runTimes.push_back(milliseconds([&] { kor->click(); }));
    }
    const double runTime = median(runTimes);
    if (results->model()->rowCount() != 1 || !prompts.messages.isEmpty()) {
        std::fprintf(stderr, "the run gave %d rows: %s\n", results->model()->rowCount(),
                     qPrintable(prompts.messages.join(u'\n')));
        return 1;
    }

    // 1,000 sub-stretch rows through the two fields and "Lägg till", each half the tunnel.
    auto *start = named<QLineEdit>(window, "startEdit");
    auto *stop = named<QLineEdit>(window, "stopEdit");
    auto *add = named<QAbstractButton>(window, "addStretchButton");
    // The tunnel length from the lengths the window holds (a second copy of the tunnel here
    // would count in the window's peak memory).
    float total = 0;
    const QAbstractItemModel &segmentRows = *segments->model();
    for (int i = 0; i < segmentRows.rowCount(); ++i) {
        total += *text::parseSingle(
            segmentRows.index(i, 1 + input::SegmentRow::Length).data().toString());
    }
    const double addTime = milliseconds([&] {
        for (int r = 0; r < kRows; ++r) {
            const float from = total * float(r) / float(2 * kRows);
            start->setText(text::formatGeneral(from));
            stop->setText(text::formatGeneral(from + total / 2));
            add->click();
        }
    });
    if (results->model()->rowCount() != 1 + kRows || !prompts.messages.isEmpty()) {
        std::fprintf(stderr, "adding gave %d rows: %s\n", results->model()->rowCount(),
                     qPrintable(prompts.messages.join(u'\n')));
        return 1;
    }

    // One switch of mode recomputes every row; the median of the repeats, both ways.
    auto *totals = named<QRadioButton>(window, "totalsButton");
    auto *perKm = named<QRadioButton>(window, "perKmButton");
    std::vector<double> switchTimes;
    for (int r = 0; r < kRepeats; ++r) {
        switchTimes.push_back(milliseconds([&] { totals->click(); }));
        switchTimes.push_back(milliseconds([&] { perKm->click(); }));
    }
    const double switchTime = median(switchTimes);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double peakMegabytes = double(usage.ru_maxrss) / 1024.0;
    if (json) {
        std::printf("{\"open_ms\": %.2f, \"calculate_ms\": %.2f, \"add_1000_rows_ms\": %.2f, "
                    "\"mode_switch_ms\": %.2f, \"peak_mb\": %.1f}\n",
                    openTime, runTime, addTime, switchTime, peakMegabytes);
        return 0;
    }
    std::printf("The window on a maximum tunnel (%d segments), offscreen, median of %d\n",
                kSegments, kRepeats);
    std::printf("  opening the .dat file (\"Öppna indata...\"): %8.1f ms\n", openTime);
    std::printf("  \"Beräkna\" on the default workbooks:        %8.1f ms\n", runTime);
    std::printf("  adding %d sub-stretch rows (\"Lägg till\"): %8.1f ms\n", kRows, addTime);
    std::printf("  switching the mode with %d rows:          %8.1f ms\n", 1 + kRows, switchTime);
    std::printf("  peak memory:                                %8.1f MB\n", peakMegabytes);
    return 0;
}
