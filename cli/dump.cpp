#include "cli/dump.h"

#include "cli/batch.h"
#include "core/text/numbertext.h"
#include "core/xls/workbook.h"

#include <QTextStream>

#include <charconv>
#include <optional>

namespace lv::cli {

namespace {

constexpr int Fault = 1;
constexpr int Usage = 2;

int usage(const QString &why)
{
    QTextStream err(stderr);
    err << "luftvaka-batch: " << why << "\n" << batchUsage();
    return Usage;
}

// Numbers as C's "%.17g" writes them in the C locale: every digit needed to get the double
// back, whatever the user's locale (this output is read by programs and compared in tests).
QString exactNumber(double value)
{
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

// One line per cell: a TAB, line break or backslash inside a text would break the line
// format, so they are written as \t, \n, \r and \\.
QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool isDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

int runDump(const QStringList &args)
{
    std::optional<QString> file;
    std::optional<QString> sheetKey;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        std::optional<QString> *target = nullptr;
        if (arg == QLatin1String("--dump"))
            target = &file;
        else if (arg == QLatin1String("--sheet"))
            target = &sheetKey;
        else
            return usage(QStringLiteral("unknown argument ") + arg);
        if (*target)
            return usage(arg + QStringLiteral(" given twice"));
        if (i + 1 >= args.size())
            return usage(arg + QStringLiteral(" needs a value"));
        *target = args[++i];
    }
    if (!file || file->isEmpty())
        return usage(QStringLiteral("--dump needs a workbook"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto workbook = xls::Workbook::open(*file);
    if (!workbook) {
        err << workbook.error().message << "\n";
        return Fault;
    }
    if (!sheetKey) {
        for (int position = 1; position <= workbook->sheetCount(); ++position)
            out << position << '\t' << (*workbook->sheet(position))->name() << '\n';
        return 0;
    }

    // A number picks the sheet by position (as the factor sheet is reached), any other text
    // by name.
    std::optional<int16_t> position;
    if (isDigits(*sheetKey))
        position = text::parseInt16(*sheetKey);
    const auto sheet = position ? workbook->sheet(*position) : workbook->sheet(*sheetKey);
    if (!sheet) {
        err << sheet.error().message << "\n";
        return Fault;
    }
    const xls::Sheet &cells = **sheet;
    for (int row = 1; row <= cells.rowCount(); ++row) {
        for (int column = 1; column <= cells.columnCount(); ++column) {
            const xls::Cell &cell = cells.at(row, column);
            QString kind;
            QString value;
            switch (cell.type) {
            case xls::Cell::Type::Empty:
                continue;
            case xls::Cell::Type::Number:
                kind = QStringLiteral("number");
                value = exactNumber(cell.number);
                break;
            case xls::Cell::Type::Text:
                kind = QStringLiteral("text");
                value = escaped(cell.text);
                break;
            case xls::Cell::Type::Boolean:
                kind = QStringLiteral("boolean");
                value = cell.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
                break;
            case xls::Cell::Type::Error:
                kind = QStringLiteral("error");
                value = xls::errorText(cell.errorCode);
                break;
            }
            out << row << '\t' << column << '\t' << kind << '\t' << value << '\n';
        }
    }
    return 0;
}

} // namespace lv::cli
