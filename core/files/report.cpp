#include "core/files/report.h"

#include "core/files/airreport.h"
#include "core/results/substretch.h"
#include "core/text/numbertext.h"

#include <QDir>
#include <QFileInfo>

namespace lv::files {

namespace {

const QString kRule = QString(57, u'-');

} // namespace

std::vector<ReportLine> reportLines(const QString &scenario, results::Mode mode,
                                    const std::vector<results::ResultRow> &rows,
                                    const QDateTime &printedAt, const QString &notice,
                                    const AirReport *air)
{
    std::vector<ReportLine> lines;
    for (auto &block : reportBlocks(scenario, mode, rows, printedAt, notice, nullptr, air))
        lines.insert(lines.end(), block.begin(), block.end());
    return lines;
}

std::vector<std::vector<ReportLine>> reportBlocks(const QString &scenario, results::Mode mode,
                                                  const std::vector<results::ResultRow> &rows,
                                                  const QDateTime &printedAt, const QString &notice,
                                                  const calc::RunState *run, const AirReport *air)
{
    const bool perKm = mode == results::Mode::PerKm;
    const QString ending = perKm ? QStringLiteral("/km]") : QStringLiteral("]");

    std::vector<std::vector<ReportLine>> blocks(1);
    const auto add = [&blocks](const QString &text, int pointSize = 10, bool bold = false) {
        blocks.back().push_back(ReportLine{text, pointSize, bold});
    };

    add(QString(), 14, true);
    add(QStringLiteral("Emissionsberäkning tunnlar"), 14, true);
    add(QString());
    add(text::formatDateTime(printedAt));
    add(QString());
    add(scenario);
    // "Effekter" with a capital E here, unlike the result file.
    add(perKm ? QStringLiteral("Effekter/km") : QStringLiteral("Totala Effekter"));
    add(QString());
    add(kRule);
    if (run) {
        blocks.push_back(reportSummary(scenario, *run));
        blocks.back().push_back(ReportLine{kRule});
        blocks.back().push_back(ReportLine{});
    }

    for (const results::ResultRow &row : rows) {
        blocks.emplace_back();
        const auto value = [&row](std::size_t column) {
            return text::reformatHashDotHash(row.values[column]);
        };
        // A quantity with its PM10 part: "1,2, varav PM10: ,45 [g/km]".
        const auto particles = [&](const QString &title, std::size_t column) {
            add(QString());
            add(title);
            add(value(column) + QStringLiteral(", varav PM10: ") + value(column + 1) +
                QStringLiteral(" [g") + ending);
        };

        add(QStringLiteral("Delsträcka: ") + row.label, 10, true);
        add(QString());
        add(QStringLiteral("Bränsle:"));
        add(value(0) + QStringLiteral(" [l") + ending);
        add(QString());
        add(QStringLiteral("NOx:"));
        add(value(1) + QStringLiteral(" [g") + ending);
        particles(QStringLiteral("Avgaspartiklar:"), 2);
        particles(QStringLiteral("Däckspartiklar:"), 4);
        particles(QStringLiteral("Bromspartiklar:"), 6);
        particles(QStringLiteral("Beläggningspartiklar:"), 8);
        add(QString());
        add(QStringLiteral("CO2:"));
        add(value(10) + QStringLiteral(" [kg") + ending);
        add(kRule);
        add(QString());
    }
    if (!notice.isEmpty()) {
        blocks.emplace_back();
        add(notice);
    }
    if (air) {
        blocks.emplace_back();
        appendAirSection(blocks.back(), *air);
    }
    return blocks;
}

std::vector<ReportLine> reportSummary(const QString &scenario, const calc::RunState &run,
                                      const QLocale &locale)
{
    static const QString kYears[] = {QString(), QStringLiteral("2005"), QStringLiteral("2010"),
                                     QStringLiteral("2020")};
    const QString year = run.yearIndex >= 1 && run.yearIndex <= 3 ? kYears[run.yearIndex]
                                                                  : QString::number(run.yearIndex);
    std::vector<ReportLine> lines;
    const auto add = [&lines](const QString &text, bool bold = false) {
        lines.push_back(ReportLine{text, 10, bold});
    };
    add(QStringLiteral("Indata:"), true);
    add(QStringLiteral("Scenario: ") + scenario);
    add(QStringLiteral("Beräkningsår: ") + year);
    add(QStringLiteral("SPS-tal (75 km/h): ") + text::formatGeneral(run.spsValue, locale) +
        QStringLiteral(" [g/fkm]"));
    add(QStringLiteral("Andel dubbade personbilar: ") +
        text::formatGeneral(run.studdedShare, locale));
    add(QStringLiteral("Antal segment: ") + QString::number(run.segmentCount));
    add(QStringLiteral("Tunnellängd: ") + text::formatGeneral(results::tunnelLength(run), locale) +
        QStringLiteral(" [m]"));
    bool demonstration = false;
    if (!run.workbooks.empty()) {
        add(QStringLiteral("Arbetsböcker i ") +
            QDir::toNativeSeparators(QFileInfo(run.workbooks.front().path).absolutePath()) + u':');
    }
    for (const calc::UsedWorkbook &workbook : run.workbooks) {
        add(QStringLiteral("  ") + QFileInfo(workbook.path).fileName() +
            QStringLiteral(", ändrad ") + text::formatDateTime(workbook.modified, locale));
        demonstration = demonstration || workbook.demonstration;
    }
    if (demonstration) {
        add(QStringLiteral("Obs! Faktorerna är demonstrationsvärden ur de medföljande"), true);
        add(QStringLiteral("arbetsböckerna, inte en myndighets emissionsfaktorer."), true);
    }
    return lines;
}

} // namespace lv::files
