#include "cli/dump.h"

#include "cli/batch.h"
#include "core/text/numbertext.h"
#include "core/xls/workbook.h"

#include <QLocale>
#include <QTextStream>

#include <charconv>
#include <optional>
#include <variant>

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

struct DumpRequest
{
    std::optional<QString> file;
    std::optional<QString> sheet;
};

// The arguments, or the reason they are wrong.
std::variant<DumpRequest, QString> parseArguments(const QStringList &args)
{
    DumpRequest request;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        std::optional<QString> *target = nullptr;
        if (arg == QLatin1String("--dump"))
            target = &request.file;
        else if (arg == QLatin1String("--sheet"))
            target = &request.sheet;
        else
            return QStringLiteral("unknown argument ") + arg;
        if (*target)
            return arg + QStringLiteral(" given twice");
        if (i + 1 >= args.size())
            return arg + QStringLiteral(" needs a value");
        *target = args[++i];
    }
    if (!request.file || request.file->isEmpty())
        return QStringLiteral("--dump needs a workbook");
    return request;
}

// A number picks the sheet by position (as the factor sheet is reached), any other text by
// name.
Expected<const xls::Sheet *> findSheet(const xls::Workbook &workbook, const QString &key)
{
    std::optional<int16_t> position;
    if (isDigits(key))
        position = text::parseInt16(key, QLocale::c());
    return position ? workbook.sheet(*position) : workbook.sheet(key);
}

// The line of a cell (row TAB column TAB type TAB value); none for an empty cell.
QString cellLine(int row, int column, const xls::Cell &cell)
{
    QString kind;
    QString value;
    switch (cell.type) {
    case xls::Cell::Type::Empty:
        return {};
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
    return QString::number(row) + u'\t' + QString::number(column) + u'\t' + kind + u'\t' + value +
           u'\n';
}

} // namespace

int runDump(const QStringList &args)
{
    const auto parsed = parseArguments(args);
    if (const auto *why = std::get_if<QString>(&parsed))
        return usage(*why);
    const DumpRequest &request = std::get<DumpRequest>(parsed);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto workbook = xls::Workbook::open(*request.file);
    if (!workbook) {
        err << workbook.error().message << "\n";
        return Fault;
    }
    if (!request.sheet) {
        for (int position = 1; position <= workbook->sheetCount(); ++position)
            out << position << '\t' << (*workbook->sheet(position))->name() << '\n';
        return 0;
    }
    const auto sheet = findSheet(*workbook, *request.sheet);
    if (!sheet) {
        err << sheet.error().message << "\n";
        return Fault;
    }
    const xls::Sheet &cells = **sheet;
    for (int row = 1; row <= cells.rowCount(); ++row) {
        for (int column = 1; column <= cells.columnCount(); ++column) {
            const xls::Cell &cell = cells.at(row, column);
            if (cell.type != xls::Cell::Type::Empty)
                out << cellLine(row, column, cell);
        }
    }
    return 0;
}

} // namespace lv::cli
