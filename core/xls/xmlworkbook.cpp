#include "core/xls/xmlworkbook.h"

#include "core/text/numbertext.h"
#include "core/xls/workbookbuilder.h"
#include "core/xls/zippackage.h"

#include <orcus/sax_parser.hpp>

#include <QDate>
#include <QLocale>

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Both formats are zip files of XML parts, read here with liborcus's zip and SAX parsers.
// Its spreadsheet import interface is not used: in version 0.17 it drops what the calculation
// relies on (booleans and the cached text, boolean and error results of formulas in .ods; the
// boolean and error results of formulas in .xlsx).
//
// The used range follows the .xls rule: every cell record counts, formatted blank cells
// included. In .xlsx a cell record is a <c> element; formatting of whole rows and columns is
// kept on <row> and <col>, not in cells. In .ods every <table:table-cell> is a cell, repeated
// as its table:number-columns-repeated and its row's table:number-rows-repeated say; a cell
// counts when it has a value, a formula or a style, its own or its column's default style
// (LibreOffice stores a lone formatted cell so, as well as a formatted column). Formatting that
// reaches beyond the largest .xls sheet (LibreOffice writes whole formatted rows and columns as
// repeats up to the last column or row) is not a cell the user put there and does not count.
namespace lv::xls::xml {

namespace {

// Cells a repeated .ods cell may expand to in one workbook: far beyond real tables, and few
// enough to be held in memory.
constexpr qint64 kMaxRepeatedCells = qint64(1) << 21;
// The text of one .ods cell, in UTF-8 bytes: a spreadsheet cell holds at most 32,767
// characters, and <text:s text:c="1024"/> must not let a small file grow into gigabytes.
constexpr std::size_t kMaxCellText = std::size_t(1) << 20;

const std::string kOdsMimeType = "application/vnd.oasis.opendocument.spreadsheet";

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Thrown by a handler to stop the parser once it has recorded an error.
struct Stop
{};

// What every SAX handler of liborcus provides; the attributes of the element being opened are
// collected for start_element().
class XmlHandler
{
public:
    void doctype(const orcus::sax::doctype_declaration &) {}
    void start_declaration(std::string_view) {}
    void end_declaration(std::string_view) { m_attributes.clear(); }
    void attribute(const orcus::sax::parser_attribute &attribute)
    {
        m_attributes.push_back(
            {std::string(attribute.ns), std::string(attribute.name), std::string(attribute.value)});
    }
    void characters(std::string_view, bool) {}

    std::optional<Error> error;

protected:
    struct Attribute
    {
        std::string ns;
        std::string name;
        std::string value;
    };
    // The value of the opened element's attribute with this local name (and prefix, if given).
    const std::string *valueOf(std::string_view name, std::string_view ns = {}) const
    {
        for (const Attribute &a : m_attributes) {
            if (a.name == name && (ns.empty() || a.ns == ns))
                return &a.value;
        }
        return nullptr;
    }
    [[noreturn]] void fail(Error e)
    {
        error = std::move(e);
        throw Stop{};
    }

    std::vector<Attribute> m_attributes;
};

// Whether every character or entity reference ("&amp;", "&#x41;") in a stretch of text or a tag
// ends with its ';' close by.
bool referencesClosed(std::string_view text)
{
    for (std::size_t at = text.find('&'); at != std::string_view::npos;
         at = text.find('&', at + 1)) {
        const std::size_t end = text.find(';', at + 1);
        if (end == std::string_view::npos || end == at + 1 || end - at > 32)
            return false;
        for (const char c : text.substr(at + 1, end - at - 1)) {
            if (!std::isalnum(uchar(c)) && c != '#' && c != '_' && c != '-' && c != '.')
                return false;
        }
    }
    return true;
}

// Whether every tag, comment, CDATA section and reference of a part (its XML declaration taken
// off) ends before the part does. liborcus 0.17's SAX parser reads past the end of its buffer
// when the text stops inside markup or a reference, or when a processing instruction holds a
// quoted "?>", so a damaged part must not reach it. Workbook parts have no processing
// instructions and no document type declaration, whose entities are what XML bombs are made of:
// both are refused.
bool markupClosed(std::string_view text)
{
    std::size_t at = 0;
    for (std::size_t open; (open = text.find('<', at)) != std::string_view::npos;) {
        if (!referencesClosed(text.substr(at, open - at)))
            return false;
        const std::string_view rest = text.substr(open);
        std::size_t end = std::string_view::npos;
        if (rest.substr(0, 4) == "<!--") {
            end = rest.find("-->", 4);
        } else if (rest.substr(0, 9) == "<![CDATA[") {
            end = rest.find("]]>", 9);
        } else if (rest.substr(0, 2) == "<!") {
            return false;
        } else if (rest.substr(0, 2) == "<?") {
            return false;
        } else {
            // A tag ends at the first '>' outside a quoted attribute value.
            char quote = 0;
            for (std::size_t i = 1; i < rest.size() && end == std::string_view::npos; ++i) {
                if (quote)
                    quote = rest[i] == quote ? 0 : quote;
                else if (rest[i] == '"' || rest[i] == '\'')
                    quote = rest[i];
                else if (rest[i] == '>')
                    end = i;
            }
            if (end != std::string_view::npos && !referencesClosed(rest.substr(0, end)))
                return false;
        }
        if (end == std::string_view::npos)
            return false;
        at = open + end + 1;
    }
    // A document ends with markup; text after it is a part cut short, and liborcus fails an
    // assertion when such text ends in a reference.
    return text.find_first_not_of(" \t\r\n", at) == std::string_view::npos;
}

// Parses one part with a handler derived from XmlHandler.
template <class Handler>
Expected<void> parse(const std::string &text, Handler &handler, const QString &fileName,
                     const std::string &part)
{
    // The XML declaration only says UTF-8, which the parts are in; it is left out.
    std::string_view body = text;
    if (const std::size_t start = body.find_first_not_of("\xEF\xBB\xBF \t\r\n");
        start != std::string_view::npos && body.substr(start, 5) == "<?xml") {
        const std::size_t end = body.find("?>", start);
        body = end == std::string_view::npos ? std::string_view() : body.substr(end + 2);
    }
    if (body.empty() || !markupClosed(body)) {
        return corruptWorkbook(fileName,
                               QStringLiteral("delen %1 är inte giltig XML").arg(fromUtf8(part)));
    }
    try {
        orcus::sax_parser<Handler> parser(body.data(), body.size(), handler);
        parser.parse();
        return {};
    } catch (const Stop &) {
        return *handler.error;
    } catch (...) {
        return corruptWorkbook(fileName,
                               QStringLiteral("delen %1 är inte giltig XML").arg(fromUtf8(part)));
    }
}

// A whole number of decimal digits only, at most `max`.
std::optional<qint64> parseCount(std::string_view text, qint64 max)
{
    if (text.empty() || text.size() > 12)
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > max)
        return std::nullopt;
    return value;
}

std::optional<double> parseNumber(std::string_view text)
{
    return text::parseDouble(fromUtf8(text), QLocale::c());
}

QString cellProblem(const QString &sheet, int row, int column, const QString &what)
{
    return QStringLiteral("cell %1 i bladet \"%2\" %3")
        .arg(cellReference(row, column), sheet, what);
}

// ---- .xlsx ---------------------------------------------------------------------------------

// A part's name from a relationship's target, relative to the folder of the part that has it.
std::string resolvePart(const std::string &from, std::string_view target)
{
    std::vector<std::string> segments;
    std::string path;
    if (!target.empty() && target.front() == '/')
        path = std::string(target.substr(1));
    else
        path = from.substr(0, from.rfind('/') + 1) + std::string(target);
    std::string result;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string segment = path.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    for (const std::string &segment : segments)
        result += (result.empty() ? "" : "/") + segment;
    return result;
}

std::string relationshipsOf(const std::string &part)
{
    const std::size_t slash = part.rfind('/') + 1;
    return part.substr(0, slash) + "_rels/" + part.substr(slash) + ".rels";
}

bool endsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// Excel writes characters XML cannot hold as _xHHHH_.
QString decodeEscapes(std::string_view text)
{
    QString decoded = fromUtf8(text);
    if (!decoded.contains(QStringLiteral("_x")))
        return decoded;
    QString out;
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        bool ok = false;
        const ushort code = i + 7 <= decoded.size() && decoded.at(i) == u'_' &&
                                    decoded.at(i + 1) == u'x' && decoded.at(i + 6) == u'_'
                                ? decoded.mid(i + 2, 4).toUShort(&ok, 16)
                                : 0;
        if (ok) {
            out += QChar(code);
            i += 6;
        } else {
            out += decoded.at(i);
        }
    }
    return out;
}

class RelationshipsHandler : public XmlHandler
{
public:
    void start_element(const orcus::sax::parser_element &element)
    {
        const std::string *id = valueOf("Id");
        const std::string *type = valueOf("Type");
        const std::string *target = valueOf("Target");
        const std::string *mode = valueOf("TargetMode");
        if (element.name == "Relationship" && id && type && target &&
            !(mode && *mode == "External"))
            relationships[*id] = {*type, *target};
        m_attributes.clear();
    }
    void end_element(const orcus::sax::parser_element &) {}

    struct Relationship
    {
        std::string type;
        std::string target;
    };
    std::map<std::string, Relationship> relationships;
};

class WorkbookHandler : public XmlHandler
{
public:
    void start_element(const orcus::sax::parser_element &element)
    {
        const std::string *name = valueOf("name");
        const std::string *id = valueOf("id", "r");
        if (element.name == "sheet" && name && id)
            sheets.push_back({*name, *id});
        m_attributes.clear();
    }
    void end_element(const orcus::sax::parser_element &) {}

    struct Entry
    {
        std::string name;
        std::string relationship;
    };
    std::vector<Entry> sheets;
};

// The shared strings: each <si> holds its text in <t>, directly or in rich-text runs (<r>);
// phonetic guides (<rPh>) are not part of it.
class SharedStringsHandler : public XmlHandler
{
public:
    void start_element(const orcus::sax::parser_element &element)
    {
        if (element.name == "si")
            m_text.clear();
        else if (element.name == "rPh")
            ++m_phonetic;
        else if (element.name == "t")
            m_inText = true;
        m_attributes.clear();
    }
    void end_element(const orcus::sax::parser_element &element)
    {
        if (element.name == "si")
            strings.push_back(decodeEscapes(m_text));
        else if (element.name == "rPh")
            m_phonetic = std::max(0, m_phonetic - 1);
        else if (element.name == "t")
            m_inText = false;
    }
    void characters(std::string_view text, bool)
    {
        if (m_inText && m_phonetic == 0)
            m_text += text;
    }

    std::vector<QString> strings;

private:
    std::string m_text;
    int m_phonetic = 0;
    bool m_inText = false;
};

// "B3" as a 0-based row and column.
bool parseReference(std::string_view reference, int &row, int &column)
{
    std::size_t i = 0;
    qint64 letters = 0;
    for (; i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z' && i < 3; ++i)
        letters = letters * 26 + (reference[i] - 'A' + 1);
    const auto number = parseCount(reference.substr(i), 1 << 24);
    if (letters == 0 || !number || *number == 0)
        return false;
    row = int(*number - 1);
    column = int(letters - 1);
    return true;
}

class SheetHandler : public XmlHandler
{
public:
    SheetHandler(const QString &fileName, const QString &sheetName,
                 const std::vector<QString> &strings)
        : builder(sheetName), m_fileName(fileName), m_sheetName(sheetName), m_strings(strings)
    {}

    void start_element(const orcus::sax::parser_element &element)
    {
        if (element.name == "row") {
            const std::string *r = valueOf("r");
            const auto number = r ? parseCount(*r, 1 << 24) : std::optional<qint64>(m_row + 2);
            if (!number || *number == 0)
                fail(corruptWorkbook(
                    m_fileName,
                    QStringLiteral("bladet \"%1\" har en felaktig rad").arg(m_sheetName)));
            m_row = int(*number - 1);
            m_column = -1;
        } else if (element.name == "c") {
            const std::string *r = valueOf("r");
            m_cell = {};
            m_cell.row = m_row;
            m_cell.column = m_column + 1;
            // A cell without a reference outside any row has no place.
            if ((r && !parseReference(*r, m_cell.row, m_cell.column)) || m_cell.row < 0) {
                fail(corruptWorkbook(
                    m_fileName,
                    QStringLiteral("bladet \"%1\" har en felaktig cellreferens").arg(m_sheetName)));
            }
            if (const std::string *t = valueOf("t"))
                m_cell.type = *t;
            m_column = m_cell.column;
            m_inCell = true;
        } else if (m_inCell) {
            if (element.name == "v") {
                m_cell.hasValue = true;
                m_in = In::Value;
            } else if (element.name == "f") {
                m_cell.hasFormula = true;
            } else if (element.name == "is") {
                m_cell.hasInline = true;
            } else if (element.name == "t" && m_cell.hasInline && m_phonetic == 0) {
                m_in = In::InlineText;
            } else if (element.name == "rPh") {
                ++m_phonetic;
            }
        }
        m_attributes.clear();
    }
    void end_element(const orcus::sax::parser_element &element)
    {
        if (element.name == "c" && m_inCell) {
            m_inCell = false;
            finishCell();
        } else if (element.name == "rPh") {
            m_phonetic = std::max(0, m_phonetic - 1);
        }
        if (element.name == "v" || element.name == "t")
            m_in = In::Nothing;
    }
    void characters(std::string_view text, bool)
    {
        if (m_in == In::Value)
            m_cell.value += text;
        else if (m_in == In::InlineText)
            m_cell.inlineText += text;
    }

    SheetBuilder builder;

private:
    enum class In { Nothing, Value, InlineText };
    struct PendingCell
    {
        int row = 0;
        int column = 0;
        std::string type;
        std::string value;
        std::string inlineText;
        bool hasValue = false;
        bool hasFormula = false;
        bool hasInline = false;
    };

    [[noreturn]] void cellFault(const QString &what)
    {
        fail(
            corruptWorkbook(m_fileName, cellProblem(m_sheetName, m_cell.row, m_cell.column, what)));
    }

    void finishCell()
    {
        const bool inside = m_cell.row < kMaxSheetRows && m_cell.column < kMaxSheetColumns;
        if (!m_cell.hasValue && !m_cell.hasInline) {
            if (m_cell.hasFormula)
                cellFault(QStringLiteral("saknar sitt formelresultat"));
            if (inside)
                builder.addBlank(m_cell.row, m_cell.column);
            return;
        }
        if (!inside)
            fail(sheetTooLarge(m_fileName, m_sheetName));
        builder.addCell(m_cell.row, m_cell.column, cell());
    }

    Cell cell()
    {
        const std::string &type = m_cell.type;
        const std::string &value = m_cell.value;
        if (type == "s") {
            const auto index = parseCount(value, qint64(m_strings.size()) - 1);
            if (!index)
                cellFault(QStringLiteral("pekar på en delad text som saknas"));
            return textCell(m_strings[std::size_t(*index)]);
        }
        if (type == "inlineStr")
            return textCell(decodeEscapes(m_cell.inlineText));
        if (type == "str" || type == "d")
            return textCell(decodeEscapes(value));
        if (type == "b") {
            if (value != "0" && value != "1")
                cellFault(QStringLiteral("har ett felaktigt sanningsvärde"));
            return booleanCell(value == "1");
        }
        if (type == "e")
            return errorCell(errorCodeOf(fromUtf8(value)));
        if (!type.empty() && type != "n")
            cellFault(QStringLiteral("har en okänd celltyp"));
        const auto number = parseNumber(value);
        if (!number)
            cellFault(QStringLiteral("har ett ogiltigt tal"));
        return numberCell(*number);
    }

    const QString &m_fileName;
    const QString &m_sheetName;
    const std::vector<QString> &m_strings;
    int m_row = -1;
    int m_column = -1;
    bool m_inCell = false;
    int m_phonetic = 0;
    In m_in = In::Nothing;
    PendingCell m_cell;
};

Expected<RelationshipsHandler> readRelationships(zip::Package &package, const std::string &part,
                                                 const QString &fileName)
{
    RelationshipsHandler handler;
    const std::string name = relationshipsOf(part);
    if (!package.contains(name))
        return handler;
    const auto text = package.read(name);
    if (!text)
        return text.error();
    if (auto parsed = parse(*text, handler, fileName, name); !parsed)
        return parsed.error();
    return handler;
}

Expected<Workbook> readXlsx(zip::Package &package, const QString &fileName)
{
    // The package's relationships lead to the workbook part, and the workbook's to its sheets.
    const auto top = readRelationships(package, std::string(), fileName);
    if (!top)
        return top.error();
    std::string workbookPart;
    for (const auto &[id, relationship] : top->relationships) {
        if (endsWith(relationship.type, "/officeDocument"))
            workbookPart = resolvePart(std::string(), relationship.target);
    }
    if (workbookPart.empty())
        return corruptWorkbook(fileName, QStringLiteral("arbetsboksdelen saknas"));
    const auto workbookText = package.read(workbookPart);
    if (!workbookText)
        return workbookText.error();
    WorkbookHandler workbookHandler;
    if (auto parsed = parse(*workbookText, workbookHandler, fileName, workbookPart); !parsed)
        return parsed.error();
    const auto related = readRelationships(package, workbookPart, fileName);
    if (!related)
        return related.error();

    SharedStringsHandler strings;
    for (const auto &[id, relationship] : related->relationships) {
        if (!endsWith(relationship.type, "/sharedStrings"))
            continue;
        const std::string part = resolvePart(workbookPart, relationship.target);
        const auto text = package.read(part);
        if (!text)
            return text.error();
        if (auto parsed = parse(*text, strings, fileName, part); !parsed)
            return parsed.error();
    }

    WorkbookBuilder workbook(fileName);
    for (const auto &entry : workbookHandler.sheets) {
        const QString sheetName = fromUtf8(entry.name);
        const auto found = related->relationships.find(entry.relationship);
        if (found == related->relationships.end()) {
            return corruptWorkbook(
                fileName, QStringLiteral("bladet \"%1\" saknas i arbetsboken").arg(sheetName));
        }
        // Only worksheets are sheets of the workbook; chart, dialog and macro sheets are not.
        if (!endsWith(found->second.type, "/worksheet"))
            continue;
        const std::string part = resolvePart(workbookPart, found->second.target);
        const auto text = package.read(part);
        if (!text)
            return text.error();
        SheetHandler sheet(fileName, sheetName, strings.strings);
        if (auto parsed = parse(*text, sheet, fileName, part); !parsed)
            return parsed.error();
        workbook.addSheet(std::move(sheet.builder).build());
    }
    return std::move(workbook).build();
}

// ---- .ods ----------------------------------------------------------------------------------

// Days since 1899-12-30, as the spreadsheet counts dates, from "2024-03-01" or
// "2024-03-01T12:30:00".
std::optional<double> dateValue(std::string_view text)
{
    const QString value = fromUtf8(text);
    const QDate date = QDate::fromString(value.left(10), Qt::ISODate);
    if (!date.isValid())
        return std::nullopt;
    double days = double(QDate(1899, 12, 30).daysTo(date));
    if (value.size() > 10) {
        const QTime time = QTime::fromString(value.mid(11, 8), Qt::ISODate);
        if (value.at(10) != u'T' || !time.isValid())
            return std::nullopt;
        days += time.msecsSinceStartOfDay() / 86400000.0;
    }
    return days;
}

// Fractions of a day from a duration "PT12H30M00S" (hours may exceed 24).
std::optional<double> timeValue(std::string_view text)
{
    if (text.substr(0, 2) != "PT")
        return std::nullopt;
    double seconds = 0;
    std::size_t start = 2;
    for (const auto &[unit, factor] : {std::pair{'H', 3600.0}, {'M', 60.0}, {'S', 1.0}}) {
        const std::size_t end = text.find(unit, start);
        if (end == std::string_view::npos)
            continue;
        const auto number = parseNumber(text.substr(start, end - start));
        if (!number)
            return std::nullopt;
        seconds += *number * factor;
        start = end + 1;
    }
    if (start != text.size())
        return std::nullopt;
    return seconds / 86400;
}

class ContentHandler : public XmlHandler
{
public:
    explicit ContentHandler(const QString &fileName) : m_fileName(fileName) {}

    void start_element(const orcus::sax::parser_element &element)
    {
        const std::string_view name = element.name;
        if (m_annotation > 0 || name == "annotation") {
            ++m_annotation;
        } else if (name == "table") {
            // A table inside a table (in a drawing) is not a sheet.
            if (m_tables++ == 0) {
                const std::string *sheetName = valueOf("name");
                m_sheetName = sheetName ? fromUtf8(*sheetName) : QString();
                m_sheet.emplace(m_sheetName);
                m_row = 0;
                m_columnEnd = 0;
                m_columnStyles.clear();
            }
        } else if (m_tables == 1 && name == "table-column") {
            // A column's default style formats those of its cells that name no style. LibreOffice
            // keeps a single formatted cell that way too (A1 above data starting in A2).
            const std::string *style = valueOf("default-cell-style-name");
            m_columnEnd += repeat("number-columns-repeated");
            m_columnStyles.push_back({m_columnEnd, style && *style != "Default"});
        } else if (m_tables == 1 && name == "table-row") {
            m_rowRepeat = repeat("number-rows-repeated");
            m_column = 0;
        } else if (m_tables == 1 && (name == "table-cell" || name == "covered-table-cell")) {
            startCell();
        } else if (m_inCell && name == "p") {
            if (m_cell.paragraphs++ > 0)
                m_cell.text += '\n';
            m_inParagraph = true;
        } else if (m_inParagraph && name == "s") {
            const std::string *count = valueOf("c");
            const auto spaces = count ? parseCount(*count, 1024) : std::optional<qint64>(1);
            appendText(std::string(std::size_t(spaces.value_or(1)), ' '));
        } else if (m_inParagraph && name == "tab") {
            appendText("\t");
        } else if (m_inParagraph && name == "line-break") {
            appendText("\n");
        }
        m_attributes.clear();
    }
    void end_element(const orcus::sax::parser_element &element)
    {
        const std::string_view name = element.name;
        if (m_annotation > 0) {
            --m_annotation;
        } else if (name == "table") {
            if (--m_tables == 0 && m_sheet) {
                sheets.push_back(std::move(*m_sheet).build());
                m_sheet.reset();
            }
        } else if (m_tables == 1 && name == "table-row") {
            m_row += m_rowRepeat;
        } else if (m_inCell && (name == "table-cell" || name == "covered-table-cell")) {
            m_inCell = false;
            finishCell();
        } else if (name == "p") {
            m_inParagraph = false;
        }
    }
    void characters(std::string_view text, bool)
    {
        if (m_inParagraph && m_annotation == 0)
            appendText(text);
    }

    std::vector<Sheet> sheets;

private:
    struct PendingCell
    {
        std::string valueType;
        std::string errorType; // calcext:value-type, "error" for an error value
        std::string value;
        bool hasFormula = false;
        bool hasStyle = false;
        qint64 repeat = 1;
        int paragraphs = 0;
        std::string text;
    };

    // Repeats beyond the sheet's limits are kept as they are, up to a bound that keeps the
    // arithmetic of positions safe.
    qint64 repeat(std::string_view attributeName)
    {
        const std::string *text = valueOf(attributeName);
        const auto count = text ? parseCount(*text, qint64(1) << 30) : std::optional<qint64>(1);
        if (!count || *count == 0)
            fail(corruptWorkbook(m_fileName, QStringLiteral("bladet \"%1\" har ett felaktigt "
                                                            "antal upprepningar")
                                                 .arg(sheetName())));
        return *count;
    }
    const QString &sheetName() const { return m_sheetName; }

    void appendText(std::string_view text)
    {
        if (m_cell.text.size() + text.size() > kMaxCellText)
            cellFault(QStringLiteral("har en orimligt lång text"));
        m_cell.text += text;
    }

    void startCell()
    {
        m_cell = {};
        m_cell.repeat = repeat("number-columns-repeated");
        const std::string *style = nullptr;
        for (const Attribute &a : m_attributes) {
            if (a.name == "value-type" && a.ns == "calcext")
                m_cell.errorType = a.value;
            else if (a.name == "value-type")
                m_cell.valueType = a.value;
            else if (a.name == "formula")
                m_cell.hasFormula = true;
            else if (a.name == "style-name")
                style = &a.value;
        }
        if (style) {
            m_cell.hasStyle = *style != "Default";
        } else {
            const auto column =
                std::upper_bound(m_columnStyles.begin(), m_columnStyles.end(), m_column,
                                 [](qint64 c, const ColumnStyle &run) { return c < run.end; });
            m_cell.hasStyle = column != m_columnStyles.end() && column->styled;
        }
        const char *valueAttribute = m_cell.valueType == "boolean"  ? "boolean-value"
                                     : m_cell.valueType == "date"   ? "date-value"
                                     : m_cell.valueType == "time"   ? "time-value"
                                     : m_cell.valueType == "string" ? "string-value"
                                                                    : "value";
        if (const std::string *value = valueOf(valueAttribute, "office"))
            m_cell.value = *value;
        else if (m_cell.valueType == "string")
            m_cell.valueType = "paragraphs";
        m_inCell = true;
    }

    [[noreturn]] void cellFault(const QString &what)
    {
        fail(corruptWorkbook(m_fileName,
                             cellProblem(sheetName(), int(std::min<qint64>(m_row, kMaxSheetRows)),
                                         int(std::min<qint64>(m_column, kMaxSheetColumns)), what)));
    }

    std::optional<Cell> cell()
    {
        const PendingCell &c = m_cell;
        if (c.errorType == "error")
            return errorCell(errorCodeOf(fromUtf8(c.text)));
        if (c.valueType == "float" || c.valueType == "percentage" || c.valueType == "currency") {
            if (const auto number = parseNumber(c.value))
                return numberCell(*number);
            cellFault(QStringLiteral("har ett ogiltigt tal"));
        }
        if (c.valueType == "date" || c.valueType == "time") {
            const auto number = c.valueType == "date" ? dateValue(c.value) : timeValue(c.value);
            if (!number)
                cellFault(QStringLiteral("har ett ogiltigt datum"));
            return numberCell(*number);
        }
        if (c.valueType == "boolean") {
            if (c.value != "true" && c.value != "false")
                cellFault(QStringLiteral("har ett felaktigt sanningsvärde"));
            return booleanCell(c.value == "true");
        }
        if (c.valueType == "string")
            return textCell(fromUtf8(c.value));
        // A text without a value attribute, or a formula whose result LibreOffice keeps only
        // as the text shown (the empty text), is the text of its paragraphs.
        if (c.valueType == "paragraphs" || c.paragraphs > 0)
            return textCell(fromUtf8(c.text));
        if (c.hasFormula)
            cellFault(QStringLiteral("saknar sitt formelresultat"));
        return std::nullopt;
    }

    void finishCell()
    {
        const qint64 lastRow = m_row + m_rowRepeat - 1;
        const qint64 lastColumn = m_column + m_cell.repeat - 1;
        const bool inside = lastRow < kMaxSheetRows && lastColumn < kMaxSheetColumns;
        if (!m_sheet)
            return;
        if (const auto value = cell()) {
            if (!inside)
                fail(sheetTooLarge(m_fileName, sheetName()));
            m_cells += m_rowRepeat * m_cell.repeat;
            if (m_cells > kMaxRepeatedCells) {
                fail(corruptWorkbook(
                    m_fileName,
                    QStringLiteral("bladet \"%1\" har orimligt många celler").arg(sheetName())));
            }
            for (qint64 r = m_row; r <= lastRow; ++r) {
                for (qint64 c = m_column; c <= lastColumn; ++c)
                    m_sheet->addCell(int(r), int(c), *value);
            }
        } else if (m_cell.hasStyle && inside) {
            // A formatted blank: the corners of its block are enough for the used range.
            m_sheet->addBlank(int(m_row), int(m_column));
            m_sheet->addBlank(int(lastRow), int(lastColumn));
        }
        m_column += m_cell.repeat;
    }

    // Runs of columns with the same default style, each up to (not including) `end`.
    struct ColumnStyle
    {
        qint64 end;
        bool styled;
    };

    const QString &m_fileName;
    std::vector<ColumnStyle> m_columnStyles;
    qint64 m_columnEnd = 0;
    std::optional<SheetBuilder> m_sheet;
    QString m_sheetName;
    int m_tables = 0;
    int m_annotation = 0;
    qint64 m_row = 0;
    qint64 m_rowRepeat = 1;
    qint64 m_column = 0;
    qint64 m_cells = 0;
    bool m_inCell = false;
    bool m_inParagraph = false;
    PendingCell m_cell;
};

Expected<Workbook> readOds(zip::Package &package, const QString &fileName)
{
    const std::string part = "content.xml";
    const auto text = package.read(part);
    if (!text)
        return text.error();
    ContentHandler content(fileName);
    if (auto parsed = parse(*text, content, fileName, part); !parsed)
        return parsed.error();
    WorkbookBuilder workbook(fileName);
    for (Sheet &sheet : content.sheets)
        workbook.addSheet(std::move(sheet));
    return std::move(workbook).build();
}

} // namespace

Expected<Workbook> readZipFile(const QByteArray &bytes, const QString &fileName)
{
    auto package = zip::Package::open(bytes, fileName);
    if (!package)
        return package.error();
    // An OpenDocument file names its kind in the part "mimetype"; an Office Open XML package
    // lists its parts' types in "[Content_Types].xml".
    if (package->contains("mimetype")) {
        const auto mimeType = package->read("mimetype");
        if (!mimeType)
            return mimeType.error();
        if (*mimeType == kOdsMimeType)
            return readOds(*package, fileName);
        return notWorkbook(fileName);
    }
    if (package->contains("[Content_Types].xml"))
        return readXlsx(*package, fileName);
    return notWorkbook(fileName);
}

} // namespace lv::xls::xml
