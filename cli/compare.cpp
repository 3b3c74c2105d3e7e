#include "cli/compare.h"

#include "core/files/inputfile.h"
#include "core/results/comparison.h"
#include "core/text/numbertext.h"
#include "core/text/textfile.h"

#include <QFileInfo>

namespace lv::cli {

namespace {

// A field never holds a TAB or a line break of its own: a message's are written as blanks.
QByteArray field(QString text)
{
    for (QChar &c : text) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    }
    return text.toUtf8();
}

QByteArray tsv(const results::Comparison &table, const results::StretchSums &sums,
               const QLocale &locale)
{
    QByteArray out;
    for (const QString &header : table.headers)
        out += field(header) + '\t';
    out.back() = '\n';
    for (const results::ComparisonLine &line : table.lines) {
        // Stretches in the C locale, as the result table has them.
        const auto stretch = results::stretchOfLabel(sums, line.stretch, locale);
        out += line.stretch == results::kTotalLabel || !stretch
                   ? field(line.stretch)
                   : field(results::stretchLabel(stretch->first, stretch->second, QLocale::c()));
        out += '\t' + field(line.quantity);
        for (const results::ComparisonCell &cell : line.cells) {
            out += '\t';
            out += cell.kind == results::ComparisonCell::Kind::Text
                       ? field(cell.text)
                       : text::formatExactC(cell.number).toLatin1();
        }
        out += '\n';
    }
    return out;
}

} // namespace

Expected<QByteArray> comparisonTsv(const CompareRequest &request, const calc::RunInput &input,
                                   const calc::RunState &run, const QStringList &labels,
                                   results::Mode mode, const QString &workbookDir,
                                   const calc::LabelWarning &warn, const QLocale &locale)
{
    const results::StretchSums sums(run);
    QByteArray out;
    if (request.years) {
        out += tsv(results::compareYears(input, run, labels, mode, workbookDir, warn, locale), sums,
                   locale);
    }
    if (!request.otherFile.isEmpty()) {
        const auto bytes = text::readWholeFile(request.otherFile);
        if (!bytes)
            return bytes.error();
        auto document = files::readInputFile(*bytes, locale);
        if (!document)
            return document.error();
        const calc::RunInput other{std::move(document->rows), document->year, document->sps,
                                   document->studdedShare};
        const auto table =
            results::compareInputs(run, other, QFileInfo(request.otherFile).fileName(), labels,
                                   mode, workbookDir, warn, locale);
        if (!table)
            return table.error();
        if (!out.isEmpty())
            out += '\n';
        out += tsv(*table, sums, locale);
    }
    return out;
}

} // namespace lv::cli
