#include "core/results/runsummary.h"

#include "core/results/substretch.h"
#include "core/text/numbertext.h"

#include <QFileInfo>

namespace lv::results {

QStringList runSummary(const calc::RunState &run, const RunInputTexts &input, const QLocale &locale)
{
    const QString separator = QStringLiteral("  ·  ");
    const QStringList inputParts = {
        QStringLiteral("Indata: ") +
            (input.fileName.isEmpty() ? QStringLiteral("(ej sparad)") : input.fileName),
        QStringLiteral("Scenario: ") + input.scenario,
        QStringLiteral("Beräkningsår: ") + input.year,
        QStringLiteral("SPS-tal: ") + input.sps,
        QStringLiteral("Andel dubbade: ") + input.studdedShare,
        QStringLiteral("%1 segment").arg(run.segmentCount),
        QStringLiteral("Tunnellängd: %1 m").arg(text::formatGeneral(tunnelLength(run), locale))};

    QStringList workbooks;
    for (const calc::UsedWorkbook &workbook : run.workbooks) {
        QString part = QFileInfo(workbook.path).fileName() + QStringLiteral(" (") +
                       text::formatDateTime(workbook.modified, locale);
        if (workbook.demonstration)
            part += QStringLiteral(", demonstrationsvärden");
        workbooks.append(part + u')');
    }
    return {inputParts.join(separator), QStringLiteral("Tabeller: ") + workbooks.join(u", ")};
}

} // namespace lv::results
