#include "cli/batch.h"

#include "cli/air.h"
#include "cli/chart.h"
#include "cli/compare.h"

#include "core/calc/calculationrun.h"
#include "core/files/inputfile.h"
#include "core/files/resultfile.h"
#include "core/results/alongtunnel.h"
#include "core/results/resulttable.h"
#include "core/text/textfile.h"
#include "render/chartformat.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QTextStream>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace lv::cli {

namespace {

struct Options
{
    QString workbookDir;
    QString locale;
    QStringList stretches;
    bool totals = false;
    bool tsv = false;
    bool segments = false;
    QString chart;    // --chart FILE
    QString quantity; // --quantity NAME
    CompareRequest compare;
    QString output;
    QString input;
};

int usage(const QString &why = QString())
{
    QTextStream err(stderr);
    if (!why.isEmpty())
        err << "luftvaka-batch: " << why << "\n";
    err << batchUsage();
    return kUsage;
}

int help()
{
    QTextStream(stdout) << batchHelp();
    return 0;
}

// Parses the command line; returns the exit status when it ends the run (wrong usage, --help),
// or nothing.
std::optional<int> parse(const QStringList &args, Options &options)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        std::optional<QString> v;
        if (arg == QLatin1String("--workbooks") || arg == QLatin1String("--locale") ||
            arg == QLatin1String("--stretch") || arg == QLatin1String("-o") ||
            arg == QLatin1String("--chart") || arg == QLatin1String("--quantity") ||
            arg == QLatin1String("--compare")) {
            v = value();
            if (!v)
                return usage(arg + QStringLiteral(" needs a value"));
        }
        if (arg == QLatin1String("--workbooks"))
            options.workbookDir = *v;
        else if (arg == QLatin1String("--locale"))
            options.locale = *v;
        else if (arg == QLatin1String("--stretch"))
            options.stretches << *v;
        else if (arg == QLatin1String("-o"))
            options.output = *v;
        else if (arg == QLatin1String("--chart"))
            options.chart = *v;
        else if (arg == QLatin1String("--quantity"))
            options.quantity = *v;
        else if (arg == QLatin1String("--compare"))
            options.compare.otherFile = *v;
        else if (arg == QLatin1String("--compare-years"))
            options.compare.years = true;
        else if (arg == QLatin1String("--totals"))
            options.totals = true;
        else if (arg == QLatin1String("--tsv"))
            options.tsv = true;
        else if (arg == QLatin1String("--segments"))
            options.segments = true;
        else if (arg == QLatin1String("--help"))
            return help();
        else if (arg.startsWith(u'-') && arg.size() > 1)
            return usage(QStringLiteral("unknown option ") + arg);
        else if (options.input.isEmpty())
            options.input = arg;
        else
            return usage(QStringLiteral("only one input file"));
    }
    if (options.input.isEmpty())
        return usage(QStringLiteral("no input file"));
    if (options.segments && !options.tsv)
        return usage(QStringLiteral("--segments goes with --tsv"));
    if (options.chart.isEmpty() != options.quantity.isEmpty())
        return usage(QStringLiteral("--chart and --quantity go together"));
    if (!options.quantity.isEmpty() && results::quantityOfKey(options.quantity) == 0)
        return usage(QStringLiteral("unknown quantity ") + options.quantity);
    if (!options.chart.isEmpty() && !render::chartFormatOfPath(options.chart))
        return usage(QStringLiteral("--chart takes a .pdf, .svg or .png file"));
    if (options.compare.any() && (!options.tsv || options.segments))
        return usage(QStringLiteral("--compare and --compare-years go with --tsv alone"));
    return std::nullopt;
}

// A number in the C locale, as printf's "%.<significant>g" writes it.
void appendCNumber(QByteArray &out, double value, int significant)
{
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::general, significant);
    out.append(buffer, written.ptr - buffer);
}

// The segment table's header: the segment number, then the result list's columns as rates per
// km and hour (a segment's rates are its flows per hour times the per-vehicle-km factors).
QStringList segmentHeaders()
{
    QStringList headers = results::resultHeaders(results::Mode::PerKm);
    headers[0] = QStringLiteral("Segment nr:");
    for (qsizetype i = 1; i < headers.size(); ++i)
        headers[i].replace(QStringLiteral("/km]"), QStringLiteral("/km/h]"));
    // Where each segment lies: chainage from the tunnel's start, height at its end.
    headers << QStringLiteral("Kedjemått start: [m]") << QStringLiteral("Kedjemått slut: [m]")
            << QStringLiteral("Höjd: [m]");
    return headers;
}

// The TSV tables: the result table (a header line, then the rows with their values in the
// result list's column order) and with --segments, after one empty line, the segment table
// (its own header line, then every segment's rates in the same column order, per km and hour
// in either mode). Every line has its header's number of fields; numbers in the C locale.
QByteArray tsvTable(const calc::RunState &run, const results::StretchSums &sums,
                    const std::vector<results::RowValues> &rows, results::Mode mode,
                    const QLocale &locale, const std::vector<input::SegmentRow> *segments)
{
    QByteArray out = results::resultHeaders(mode).join(u'\t').toUtf8() + '\n';
    for (const auto &row : rows) {
        const auto stretch = results::stretchOfLabel(sums, row.label, locale);
        if (!stretch)
            continue;
        out += row.label == results::kTotalLabel
                   ? row.label.toUtf8()
                   : results::stretchLabel(stretch->first, stretch->second, QLocale::c()).toUtf8();
        for (int q : results::kColumnQuantity) {
            out += '\t';
            appendCNumber(out, double(row.values[std::size_t(q)]), 9);
        }
        out += '\n';
    }
    if (segments) {
        out += '\n' + segmentHeaders().join(u'\t').toUtf8() + '\n';
        // The run has one segment position per input row, in the file's order.
        const std::size_t count = std::min(segments->size(), std::size_t(run.segmentCount));
        const auto along = results::alongTunnelRows(run, {});
        out.reserve(out.size() + qsizetype(count) * 14 * 24);
        for (std::size_t i = 0; i < count; ++i) {
            out += (*segments)[i].number.toUtf8();
            for (int q : results::kColumnQuantity) {
                out += '\t';
                appendCNumber(out, run.segmentRates(std::size_t(q), i), 17);
            }
            for (double place : {double(along[i].start), double(along[i].end), along[i].height}) {
                out += '\t';
                appendCNumber(out, place, 9);
            }
            out += '\n';
        }
    }
    return out;
}

// The result file of the rows, written in the locale.
Expected<QByteArray> resultFile(const QString &scenario,
                                const std::vector<results::RowValues> &rows, results::Mode mode,
                                const QLocale &locale)
{
    std::vector<results::ResultRow> shown;
    shown.reserve(rows.size());
    for (const auto &row : rows)
        shown.push_back(results::makeRow(row.label, row.values, locale));
    return files::writeResultFile(scenario, mode, shown, QDateTime::currentDateTime(), locale);
}

} // namespace

QString batchUsage()
{
    return QStringLiteral(
               "usage: luftvaka-batch [--workbooks DIR] [--locale NAME] [--stretch START:STOP]...\n"
               "                      [--totals] [--tsv] [--segments] [-o FILE]\n"
               "                      [--chart FILE.pdf|svg|png --quantity NAME] INPUT.dat\n"
               "       luftvaka-batch --tsv [--compare-years] [--compare OTHER.dat] [...] "
               "INPUT.dat\n"
               "       luftvaka-batch --dump WORKBOOK [--sheet NAME|N]\n") +
           airUsage() + QStringLiteral("       luftvaka-batch --help\n");
}

QString batchHelp()
{
    return batchUsage() +
           QStringLiteral(
               "\n"
               "Computes INPUT.dat as the window's \"Beräkna\" does and writes the result file\n"
               "(.eff) of the whole tunnel and of every --stretch.\n"
               "\n"
               "  --workbooks DIR       the directory of the three workbooks (default: the\n"
               "                        program's own directory)\n"
               "  --locale NAME         the locale of the numbers in INPUT.dat and --stretch\n"
               "                        (sv_SE: decimal comma; default: the environment's)\n"
               "  --stretch START:STOP  adds the stretch START..STOP m (may be repeated)\n"
               "  --totals              totals over each stretch instead of values per km\n"
               "  --tsv                 writes UTF-8 tables instead of the result file\n"
               "  --segments            with --tsv: adds the segment table\n"
               "  --compare-years       with --tsv: the stretches computed for 2005, 2010 and\n"
               "                        2020 instead, with the change in % against INPUT's year\n"
               "  --compare OTHER.dat   with --tsv: OTHER.dat computed with INPUT's year beside\n"
               "                        INPUT, with the difference (OTHER minus INPUT) and in %\n"
               "  -o FILE               writes FILE instead of standard output\n"
               "  --chart FILE          also draws the chart along the tunnel to FILE (.pdf,\n"
               "                        .svg or .png), the stretches shaded\n"
               "  --quantity NAME       the chart's quantity, a rate per km and hour: fuel nox\n"
               "                        exhaust exhaust_pm10 tyre tyre_pm10 brake brake_pm10\n"
               "                        road road_pm10 co2 pm10 (the four PM10 parts summed)\n"
               "  --dump WORKBOOK       lists a workbook's sheets (.xls, .xlsx or .ods), or with\n"
               "                        --sheet its cells\n"
               "\n"
               "--tsv writes TAB-separated tables; every line has exactly as many fields as its\n"
               "table's header line, and numbers are in the C locale (decimal point).\n"
               "The result table: a header line (\"Delsträcka:\" and the eleven quantities in\n"
               "the result list's column order, with their units), then \"Totalt\" (the whole\n"
               "tunnel) and one line \"START - STOP\" per --stretch; per km, or with --totals\n"
               "totals over the stretch.\n"
               "The segment table (--segments) follows after one empty line: a header line\n"
               "(\"Segment nr:\" and the same eleven quantities as rates per km and hour, in the\n"
               "same column order), then one line per segment: its number as in INPUT.dat and\n"
               "its rates, then its start and end chainage and the height at its end (m from\n"
               "the tunnel's start). It is per km and hour with --totals too.\n"
               ""
               "A comparison table (--compare-years, --compare; both: years first, then one\n"
               "empty line) has a header line (\"Delsträcka\", \"Storhet\", a column per year or\n"
               "input, then the differences) and one line per stretch and quantity. A cell\n"
               "without a number holds \"–\" (no base to compare with) or the reason.\n"
               "\n"
               "Exit status: 0 done, 1 a fault in the input file or a workbook, 2 wrong usage.\n") +
           QStringLiteral("\n") + airHelp();
}

bool wantsChart(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--chart") == 0)
            return true;
    }
    return false;
}

int runCalculation(const QStringList &args)
{
    Options options;
    if (const auto status = parse(args, options))
        return *status;
    const QLocale locale = options.locale.isEmpty() ? QLocale() : QLocale(options.locale);
    if (options.workbookDir.isEmpty())
        options.workbookDir = QCoreApplication::applicationDirPath();

    const auto computed = computeInputFile(options.input, options.workbookDir, locale);
    if (!computed)
        return fault(computed.error().message);
    const files::InputDocument &document = computed->document;
    const calc::RunInput &input = computed->input;
    const calc::RunState &run = computed->run;
    // A note, not a fault: the run goes on and ends with status 0.
    if (const QString notice = calc::offGridSlopeNotice(run); !notice.isEmpty())
        QTextStream(stderr) << notice << "\n";

    // The rows as the window's list holds them: "Totalt", each stretch added per km, then all
    // recomputed when switched to totals. Only stretches and totals read the running sums, a
    // few megabytes for a large tunnel.
    const bool summed = !options.stretches.isEmpty() || options.totals;
    const results::StretchSums sums = summed ? results::StretchSums(run) : results::StretchSums();
    std::vector<results::RowValues> rows = {results::totalValues(run)};
    for (const QString &stretch : options.stretches) {
        const QStringList ends = stretch.split(u':');
        if (ends.size() != 2)
            return usage(QStringLiteral("--stretch takes START:STOP, not ") + stretch);
        const auto row =
            results::subStretchValues(sums, ends[0], ends[1], results::Mode::PerKm, locale);
        if (!row)
            return fault(row.error().message);
        rows.push_back(*row);
    }
    const auto mode = options.totals ? results::Mode::Totals : results::Mode::PerKm;
    if (options.totals) {
        for (auto &row : rows) {
            if (auto recomputed = results::recalcValues(sums, row.label, mode, locale))
                row = std::move(*recomputed);
        }
    }

    if (!options.chart.isEmpty()) {
        std::vector<QString> numbers;
        for (const auto &row : input.rows)
            numbers.push_back(row.number);
        const auto drawn = writeChart(options.chart, results::quantityOfKey(options.quantity), run,
                                      numbers, document.year, document.scenario, rows, locale);
        if (!drawn)
            return fault(drawn.error().message);
    }

    QByteArray out;
    if (options.compare.any()) {
        QStringList labels;
        for (const auto &row : rows)
            labels << row.label;
        const auto table = comparisonTsv(options.compare, input, run, labels, mode,
                                         options.workbookDir, warnOnStandardError, locale);
        if (!table)
            return fault(table.error().message);
        out = *table;
    } else if (options.tsv) {
        out = tsvTable(run, sums, rows, mode, locale, options.segments ? &input.rows : nullptr);
    } else {
        const auto file = resultFile(document.scenario, rows, mode, locale);
        if (!file)
            return fault(file.error().message);
        out = *file;
    }
    return writeOutput(options.output, out);
}

int fault(const QString &message)
{
    QTextStream(stderr) << message << "\n";
    return kFault;
}

void warnOnStandardError(const QString &labelText)
{
    QTextStream(stderr) << calc::labelWarning(labelText).message << "\n";
}

Expected<InputRun> computeInputFile(const QString &path, const QString &workbookDir,
                                    const QLocale &locale)
{
    const auto bytes = text::readWholeFile(path);
    if (!bytes)
        return bytes.error();
    auto document = files::readInputFile(*bytes, locale);
    if (!document)
        return document.error();
    InputRun computed;
    computed.input = calc::RunInput{std::move(document->rows), document->year, document->sps,
                                    document->studdedShare};
    computed.document = std::move(*document);
    auto run = calc::computeRun(computed.input, workbookDir, warnOnStandardError, locale);
    if (!run)
        return run.error();
    computed.run = std::move(*run);
    return computed;
}

int writeOutput(const QString &path, const QByteArray &out)
{
    if (path.isEmpty()) {
        QFile stdoutFile;
        if (!stdoutFile.open(stdout, QIODevice::WriteOnly) || stdoutFile.write(out) != out.size())
            return fault(QStringLiteral("Resultatet kunde inte skrivas till standard ut."));
        return 0;
    }
    if (const auto saved = text::saveFileAtomically(path, out); !saved)
        return fault(saved.error().message);
    return 0;
}

} // namespace lv::cli
