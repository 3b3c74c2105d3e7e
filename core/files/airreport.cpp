#include "core/files/airreport.h"

namespace lv::files {

void appendAirSection(std::vector<ReportLine> &lines, const AirReport &air, const QLocale &locale)
{
    const QString rule = QString(57, u'-');
    const auto add = [&lines](const QString &text, int pointSize = 10, bool bold = false) {
        lines.push_back(ReportLine{text, pointSize, bold});
    };
    add(QString());
    add(QStringLiteral("Luftbehov"), 14, true);
    add(QString());
    for (const QString &line : air::criteriaLines(air.criteria, air.source, locale))
        add(line);
    for (const QString &note : air::demandNotes())
        add(note);
    add(QString());
    add(rule);

    const QStringList headers = air::demandHeaders(air.criteria);
    for (const air::StretchDemand &demand : air.demands) {
        const QStringList texts = air::demandTexts(demand, air.criteria, locale);
        add(headers.value(0) + u' ' + texts.value(0), 10, true);
        for (qsizetype c = 1; c < texts.size(); ++c) {
            if (!texts[c].isEmpty())
                add(headers[c] + QStringLiteral(": ") + texts[c]);
        }
        add(rule);
    }
}

} // namespace lv::files
