#include "core/files/inputfile.h"

#include "core/files/filetext.h"
#include "core/text/numbertext.h"
#include "core/text/textfile.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace lv::files {

namespace {

using input::SegmentRow;

// Line 8: the labels of the nine fields of a segment line.
const QStringList kSegmentHeaders = {
    QStringLiteral("Segment nr:"), QStringLiteral("Längd:"),
    QStringLiteral("Lutning:"),    QStringLiteral("Pb, medelhastighet:"),
    QStringLiteral("Pb, Flöde:"),  QStringLiteral("Lb, medelhastighet:"),
    QStringLiteral("Lb, Flöde:"),  QStringLiteral("Lbs, medelhastighet:"),
    QStringLiteral("Lbs, Flöde:")};

const QString kWearHeading = QStringLiteral("SPS-tal:\tAndel dubbadePb:");

// Lines before the first segment line; fields a segment line and the wear line need.
constexpr int kLinesBeforeSegments = 8;
constexpr int kSegmentFields = 9;
constexpr int kWearFields = 2;

// Checks every text the writer puts into the file, so that no half-usable file is written.
std::optional<Error> checkDocument(const InputDocument &document)
{
    // The reader takes the count as a 16-bit number.
    if (document.rows.size() > 32767) {
        return Error{ErrorKind::File,
                     QStringLiteral("Segmentlistan har fler rader (%1) än indatafilen kan hålla "
                                    "(32767).")
                         .arg(document.rows.size())};
    }
    if (auto fault = checkFileField(document.scenario, QStringLiteral("Scenariot"), true))
        return fault;
    if (auto fault = checkFileField(document.year, QStringLiteral("Året"), false))
        return fault;
    for (std::size_t i = 0; i < document.rows.size(); ++i) {
        const SegmentRow &row = document.rows[i];
        const QString position = QString::number(i + 1);
        if (auto fault = checkFileField(
                row.number, QStringLiteral("Segmentnumret på rad %1 i segmentlistan").arg(position),
                false)) {
            return fault;
        }
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            QString label = kSegmentHeaders[qsizetype(c) + 1];
            label.chop(1); // the colon
            const QString where =
                QStringLiteral("%1 på rad %2 i segmentlistan").arg(label, position);
            if (auto fault = checkFileField(row.cells[c], where, false))
                return fault;
        }
    }
    if (auto fault = checkFileField(document.sps, QStringLiteral("SPS-talet"), false))
        return fault;
    if (auto fault =
            checkFileField(document.studdedShare, QStringLiteral("Andelen dubbade Pb"), false)) {
        return fault;
    }
    return std::nullopt;
}

Error fault(const QString &message)
{
    return Error{ErrorKind::InputFile, message};
}

Error contentFault(const QString &what)
{
    return fault(QStringLiteral("Ogiltig indatafil: ") + what + u'.');
}

QString quoted(QStringView text)
{
    return u'"' + text.toString() + u'"';
}

// The lines of an input file as the reader walks them. Line numbers are 1-based, as the
// messages show them; line k is lines[k - 1].
class InputLines
{
public:
    InputLines(const std::vector<QStringView> &lines, const QLocale &locale)
        : m_lines(lines), m_locale(locale),
          m_otherLocale(locale.decimalPoint() == QStringLiteral(",")
                            ? QLocale::c()
                            : QLocale(QLocale::Swedish, QLocale::Sweden))
    {}

    bool has(int lineNo) const { return m_lines.size() >= std::size_t(lineNo); }
    QStringView line(int lineNo) const { return m_lines[std::size_t(lineNo) - 1]; }

    // A number field read in the locale, else with the other decimal separator (comma or
    // point): a file saved under another locale opens too. Files hold no digit grouping, so
    // the two readings never disagree on a text both accept.
    std::optional<float> single(QStringView field) const
    {
        if (const auto value = text::parseSingle(field, m_locale))
            return value;
        return text::parseSingle(field, m_otherLocale);
    }
    std::optional<double> number(QStringView field) const
    {
        if (const auto value = text::parseDouble(field, m_locale))
            return value;
        return text::parseDouble(field, m_otherLocale);
    }
    std::optional<int16_t> int16(QStringView field) const
    {
        if (const auto value = text::parseInt16(field, m_locale))
            return value;
        return text::parseInt16(field, m_otherLocale);
    }

    // The general form of a value. Equal values share one text: a tunnel repeats its speeds,
    // flows and slopes, and the sharing spares both the formatting and the memory of a copy.
    QString general(float value) const
    {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        // A small table indexed by the value's bits: a value seen before is one comparison away,
        // and a slot taken by another value is simply formatted again.
        Text &slot = m_texts[(bits * 0x9E3779B1u) >> (32 - kTextSlotBits)];
        if (slot.text.isNull() || slot.bits != bits)
            slot = Text{bits, text::formatGeneral(value, m_locale)};
        return slot.text;
    }

    // The text a number field gave before, or null. Cells repeat their texts ("500", "12,5")
    // far more often than their values differ, so most fields of a large file are found here
    // without being read as a number again.
    const QString *knownField(QStringView field) const
    {
        const Field &slot = m_fields[fieldSlot(field)];
        // Compared here rather than through QStringView's operator: the texts are a few
        // characters long, and there are a quarter of a million of them.
        const bool same = slot.field.size() == field.size() &&
                          std::equal(field.begin(), field.end(), slot.field.cbegin());
        return same && !slot.text.isNull() ? &slot.text : nullptr;
    }
    const QString &rememberField(QStringView field, const QString &text) const
    {
        Field &slot = m_fields[fieldSlot(field)];
        slot = Field{field.toString(), text};
        return slot.text;
    }

    // The fault of a file that ends before the part it names.
    Error endsBefore(const QString &what) const
    {
        return contentFault(
            QStringLiteral("filen slutar på rad %1, %2").arg(qsizetype(m_lines.size())).arg(what));
    }

private:
    const std::vector<QStringView> &m_lines;
    const QLocale &m_locale;
    const QLocale m_otherLocale;
    static constexpr int kTextSlotBits = 12;
    struct Text
    {
        std::uint32_t bits = 0;
        QString text;
    };
    mutable std::vector<Text> m_texts = std::vector<Text>(std::size_t(1) << kTextSlotBits);
    static constexpr int kFieldSlotBits = 12;
    struct Field
    {
        QString field; // as it stands in the file
        QString text;  // as it is written back
    };
    static std::size_t fieldSlot(QStringView field)
    {
        std::uint32_t hash = 2166136261u; // FNV-1a over the characters
        for (QChar c : field)
            hash = (hash ^ c.unicode()) * 16777619u;
        return std::size_t((hash * 0x9E3779B1u) >> (32 - kFieldSlotBits));
    }
    mutable std::vector<Field> m_fields = std::vector<Field>(std::size_t(1) << kFieldSlotBits);
};

// Whether a whole number's text is already as QString::number writes it: an optional minus,
// then digits without a leading zero ("0" alone, not "-0").
bool isPlainWholeNumber(QStringView text)
{
    const qsizetype first = text.startsWith(u'-') ? 1 : 0;
    const qsizetype digits = text.size() - first;
    if (digits < 1 || (text[first] == u'0' && (digits > 1 || first == 1)))
        return false;
    return std::all_of(text.begin() + first, text.end(),
                       [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A field of a segment or wear line as a single-precision number written back in the general
// form; the error names the field and the line.
Expected<QString> singleField(QStringView field, int fieldNo, int lineNo, const InputLines &in)
{
    if (const auto value = in.single(field))
        return in.rememberField(field, in.general(*value));
    const QString which = QStringLiteral("fält %1 på rad %2").arg(fieldNo).arg(lineNo);
    if (in.number(field))
        return contentFault(which + QStringLiteral(" ligger utanför talområdet: ") + quoted(field));
    return contentFault(which + QStringLiteral(" är inget tal: ") + quoted(field));
}

// Line 5: the calculation year, empty or one the workbooks hold.
Expected<QString> readYear(const InputLines &in)
{
    if (!in.has(5))
        return in.endsBefore(QStringLiteral("före året"));
    const QStringView year = in.line(5);
    if (!(year.isEmpty() || year == u"2005" || year == u"2010" || year == u"2020")) {
        return contentFault(
            QStringLiteral("året på rad 5 är varken tomt, 2005, 2010 eller 2020: ") + quoted(year));
    }
    return year.toString();
}

// Line 6: the number of segment lines.
Expected<int16_t> readSegmentCount(const InputLines &in)
{
    if (!in.has(6))
        return in.endsBefore(QStringLiteral("före antalet segment"));
    const QStringView countText = in.line(6);
    const auto count = in.int16(countText);
    if (!count && !in.number(countText)) {
        return contentFault(QStringLiteral("antalet segment på rad 6 är inget tal: ") +
                            quoted(countText));
    }
    if (!count || *count < 0) {
        return contentFault(
            QStringLiteral("antalet segment på rad 6 ligger utanför 0 till 32767: ") +
            quoted(countText));
    }
    return *count;
}

// A segment line: the segment number as a 16-bit whole number, then the eight cells.
Expected<void> readSegmentLine(const InputLines &in, int lineNo, SegmentRow &row)
{
    // Views into the line, the nine fields that count (a maximum tunnel has a quarter of a
    // million); fields after them are ignored.
    std::array<QStringView, kSegmentFields> fields;
    qsizetype fieldCount = 0;
    const QStringView line = in.line(lineNo);
    for (qsizetype start = 0, i = 0; fieldCount < kSegmentFields; ++i) {
        if (i == line.size() || line[i] == u'\t') {
            fields[std::size_t(fieldCount++)] = line.sliced(start, i - start);
            if (i == line.size())
                break;
            start = i + 1;
        }
    }
    if (fieldCount < kSegmentFields) {
        return contentFault(
            QStringLiteral("rad %1 har för få fält (%2 behövs)").arg(lineNo).arg(kSegmentFields));
    }
    const QStringView numberText = fields[0];
    if (const auto number = in.int16(numberText)) {
        row.number =
            isPlainWholeNumber(numberText) ? numberText.toString() : QString::number(*number);
    } else {
        const QString which = QStringLiteral("fält 1 på rad %1").arg(lineNo);
        if (in.number(numberText)) {
            return contentFault(which + QStringLiteral(" ligger utanför -32768 till 32767: ") +
                                quoted(numberText));
        }
        return contentFault(which + QStringLiteral(" är inget tal: ") + quoted(numberText));
    }
    for (std::size_t c = 0; c < row.cells.size(); ++c) {
        const QStringView field = fields[c + 1];
        if (const QString *known = in.knownField(field)) {
            row.cells[c] = *known;
            continue;
        }
        auto cell = singleField(field, int(c) + 2, lineNo, in);
        if (!cell)
            return cell.error();
        row.cells[c] = std::move(cell).value();
    }
    return {};
}

// The wear line: the SPS value and the studded share. A field left empty (or blank) when the
// file was saved stays empty, so that half-finished input can be opened again; anything else
// must be a number.
Expected<void> readWearLine(const InputLines &in, int lineNo, InputDocument &document)
{
    if (!in.has(lineNo))
        return in.endsBefore(QStringLiteral("före SPS-talet och andelen dubbade Pb"));
    const QList<QStringView> wear = in.line(lineNo).split(u'\t');
    if (wear.size() < kWearFields) {
        return contentFault(
            QStringLiteral("rad %1 har för få fält (%2 behövs)").arg(lineNo).arg(kWearFields));
    }
    QString *targets[kWearFields] = {&document.sps, &document.studdedShare};
    for (int f = 0; f < kWearFields; ++f) {
        if (wear[f].trimmed().isEmpty())
            continue;
        auto value = singleField(wear[f], f + 1, lineNo, in);
        if (!value)
            return value.error();
        *targets[f] = std::move(value).value();
    }
    return {};
}

} // namespace

Expected<QByteArray> writeInputFile(const InputDocument &document, const QDateTime &savedAt,
                                    const QLocale &locale)
{
    if (auto problem = checkDocument(document))
        return *problem;

    QStringList lines = {kInputFileHeading, fileDateLine(savedAt, locale), QString(),
                         document.scenario, document.year,
                         // the count with a blank in its sign position and one after it
                         u' ' + QString::number(document.rows.size()) + u' ', QString(),
                         kSegmentHeaders.join(u'\t')};
    for (const SegmentRow &row : document.rows) {
        QStringList fields = {row.number};
        for (const QString &cell : row.cells)
            fields.append(cell);
        lines.append(fields.join(u'\t'));
    }
    lines.append(QString());
    lines.append(kWearHeading);
    lines.append(document.sps + u'\t' + document.studdedShare);
    return text::encode1252(text::joinLines(lines));
}

Expected<InputDocument> readInputFile(const QByteArray &bytes, const QLocale &locale)
{
    const QString text = text::decode1252(bytes);
    const std::vector<QStringView> lines = text::lineViews(text);
    if (lines.empty() || lines.front() != kInputFileHeading)
        return fault(QStringLiteral("Ogiltig indatafil"));
    const InputLines in(lines, locale);

    // Lines 2 and 3 (date, empty) are skipped; line 4 is the scenario.
    InputDocument document;
    if (!in.has(4))
        return in.endsBefore(QStringLiteral("före scenariot"));
    document.scenario = in.line(4).toString();
    auto year = readYear(in);
    if (!year)
        return year.error();
    document.year = std::move(year).value();
    const auto count = readSegmentCount(in);
    if (!count)
        return count.error();

    // Lines 7 and 8 (empty, headers) are skipped but must be there.
    if (!in.has(kLinesBeforeSegments))
        return in.endsBefore(QStringLiteral("före segmentraderna"));
    document.rows.reserve(std::size_t(*count));
    for (int i = 0; i < *count; ++i) {
        const int lineNo = kLinesBeforeSegments + 1 + i;
        if (!in.has(lineNo)) {
            return in.endsBefore(
                QStringLiteral("efter %1 av %2 segmentrader").arg(i).arg(int(*count)));
        }
        // Read in place: a row is nine texts, and the list holds many.
        if (auto read = readSegmentLine(in, lineNo, document.rows.emplace_back()); !read)
            return read.error();
    }

    // The empty line and the "SPS-tal:" line are skipped but must be there.
    if (auto wear = readWearLine(in, kLinesBeforeSegments + int(*count) + 3, document); !wear)
        return wear.error();
    return document;
}

} // namespace lv::files
