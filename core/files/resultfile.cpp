#include "core/files/resultfile.h"

#include "core/files/filetext.h"
#include "core/text/numbertext.h"
#include "core/text/textfile.h"

#include <QStringList>

namespace lv::files {

namespace {

// The column header line of the file. Unlike the list's headers, "varav" is in lower case and
// CO2 always carries a colon.
QString headerLine(results::Mode mode)
{
    const QString ending =
        mode == results::Mode::PerKm ? QStringLiteral("/km]") : QStringLiteral("]");
    const QString litres = QStringLiteral(" [l");
    const QString grams = QStringLiteral(" [g");
    const QString kilograms = QStringLiteral(" [kg");
    const QString pm10 = QStringLiteral("varav PM10:");
    const std::pair<QString, QString> columns[] = {
        {QStringLiteral("Bränsle:"), litres},
        {QStringLiteral("NOx:"), grams},
        {QStringLiteral("Avgaspartiklar:"), grams},
        {pm10, grams},
        {QStringLiteral("Däckspartiklar:"), grams},
        {pm10, grams},
        {QStringLiteral("Bromspartiklar:"), grams},
        {pm10, grams},
        {QStringLiteral("Beläggningspartiklar:"), grams},
        {pm10, grams},
        {QStringLiteral("CO2:"), kilograms},
    };
    QStringList fields = {QStringLiteral("Delsträcka:")};
    for (const auto &[label, unit] : columns)
        fields.append(label + unit + ending);
    return fields.join(u'\t');
}

} // namespace

Expected<QByteArray> writeResultFile(const QString &scenario, results::Mode mode,
                                     const std::vector<results::ResultRow> &rows,
                                     const QDateTime &savedAt, const QLocale &locale)
{
    if (auto problem = checkFileField(scenario, QStringLiteral("Scenariot"), true))
        return *problem;

    QStringList lines = {QStringLiteral("Emissionsberäkning tunnlar"),
                         fileDateLine(savedAt, locale),
                         QString(),
                         scenario,
                         mode == results::Mode::PerKm ? QStringLiteral("Effekter/km")
                                                      : QStringLiteral("Totala effekter"),
                         QString(),
                         headerLine(mode)};
    for (const results::ResultRow &row : rows) {
        QStringList fields = {row.label};
        for (const QString &value : row.values)
            fields.append(text::reformatHashDotHash(value, locale));
        lines.append(fields.join(u'\t'));
    }
    return text::encode1252(text::joinLines(lines));
}

} // namespace lv::files
