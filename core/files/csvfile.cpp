#include "core/files/csvfile.h"

namespace lv::files {

QChar csvSeparator(const QLocale &locale)
{
    return locale.decimalPoint() == QStringLiteral(",") ? u';' : u',';
}

QString csvField(const QString &text, QChar separator)
{
    const bool quote = text.contains(separator) || text.contains(u'"') || text.contains(u'\n') ||
                       text.contains(u'\r');
    if (!quote)
        return text;
    QString doubled = text;
    doubled.replace(u'"', QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

QByteArray writeCsv(const QStringList &headers, const std::vector<QStringList> &rows,
                    const QLocale &locale)
{
    const QChar separator = csvSeparator(locale);
    const auto line = [separator](const QStringList &fields) {
        QString text;
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                text += separator;
            text += csvField(fields[i], separator);
        }
        return text.toUtf8() + "\r\n";
    };
    QByteArray out("\xEF\xBB\xBF");
    out += line(headers);
    for (const QStringList &row : rows)
        out += line(row);
    return out;
}

QString tabSeparatedText(const QStringList &headers, const std::vector<QStringList> &rows)
{
    QString out;
    const auto addLine = [&out](const QStringList &fields) {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                out += u'\t';
            out += csvField(fields[i], u'\t');
        }
        out += u'\n';
    };
    addLine(headers);
    for (const QStringList &row : rows)
        addLine(row);
    return out;
}

QByteArray writeAlongTunnelCsv(const std::vector<results::AlongTunnelRow> &rows,
                               const QLocale &locale)
{
    const auto decimals = results::alongDecimals(rows, 7);
    std::vector<QStringList> texts;
    texts.reserve(rows.size());
    for (const auto &row : rows)
        texts.push_back(results::alongTunnelTexts(row, decimals, locale));
    return writeCsv(results::alongTunnelHeaders(), texts, locale);
}

} // namespace lv::files
