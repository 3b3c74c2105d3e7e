#include "core/files/report.h"

#include "core/files/airreport.h"

#include "core/text/numbertext.h"

namespace lv::files {

namespace {

const QString kRule = QString(57, u'-');

} // namespace

std::vector<ReportLine> reportLines(const QString &scenario, results::Mode mode,
                                    const std::vector<results::ResultRow> &rows,
                                    const QDateTime &printedAt, const QString &notice,
                                    const AirReport *air)
{
    const bool perKm = mode == results::Mode::PerKm;
    const QString ending = perKm ? QStringLiteral("/km]") : QStringLiteral("]");

    std::vector<ReportLine> lines;
    const auto add = [&lines](const QString &text, int pointSize = 10, bool bold = false) {
        lines.push_back(ReportLine{text, pointSize, bold});
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

    for (const results::ResultRow &row : rows) {
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
    if (!notice.isEmpty())
        add(notice);
    if (air)
        appendAirSection(lines, *air);
    return lines;
}

} // namespace lv::files
