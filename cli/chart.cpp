#include "cli/chart.h"

#include "cli/batch.h"
#include "core/results/alongtunnel.h"
#include "core/results/substretch.h"
#include "render/chartfile.h"

#include <QGuiApplication>

#include <cstring>

namespace lv::cli {

// luftvaka-batch-chart's side: the calculation as luftvaka-batch does it, under a GUI
// application for the painter.
int runWithChart(int argc, char *argv[])
{
    // Fonts and painting need a GUI application, never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return runCalculation(app.arguments().mid(1));
}

Expected<void> writeChart(const QString &path, int quantity, const calc::RunState &run,
                          const std::vector<QString> &numbers, const QString &year,
                          const QString &scenario, const std::vector<results::RowValues> &rows,
                          const QLocale &locale)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return Error{ErrorKind::File, QStringLiteral("Diagram kan bara ritas med --chart.")};
    std::vector<results::LabelledSpan> spans;
    const results::StretchSums noSums; // a stretch label needs no run to be read
    for (const auto &row : rows) {
        if (row.label == results::kTotalLabel)
            continue;
        if (const auto stretch = results::stretchOfLabel(noSums, row.label, locale)) {
            spans.push_back({stretch->first, stretch->second,
                             results::stretchLabel(stretch->first, stretch->second, locale)});
        }
    }
    const auto data = render::chartData(results::alongTunnelRows(run, numbers), quantity, year,
                                        scenario, std::move(spans));
    return render::saveChart(path, data);
}

} // namespace lv::cli
