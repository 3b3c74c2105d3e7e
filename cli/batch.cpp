#include "cli/batch.h"

#include "core/calc/calculationrun.h"
#include "core/files/inputfile.h"
#include "core/files/resultfile.h"
#include "core/results/resulttable.h"
#include "core/results/substretch.h"
#include "core/text/numbertext.h"
#include "core/text/textfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QTextStream>

#include <cstdio>

namespace lv::cli {

namespace {

constexpr int kFault = 1;
constexpr int kUsage = 2;

struct Options
{
    QString workbookDir;
    QString locale;
    QStringList stretches;
    bool totals = false;
    bool tsv = false;
    bool segments = false;
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

int fault(const QString &message)
{
    QTextStream(stderr) << message << "\n";
    return kFault;
}

// Parses the command line; returns the exit status of wrong usage, or nothing.
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
            arg == QLatin1String("--stretch") || arg == QLatin1String("-o")) {
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
        else if (arg == QLatin1String("--totals"))
            options.totals = true;
        else if (arg == QLatin1String("--tsv"))
            options.tsv = true;
        else if (arg == QLatin1String("--segments"))
            options.segments = true;
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
    return std::nullopt;
}

QString cNumber(const char *format, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return QString::fromLatin1(buffer);
}

// The TSV table: a header line, the rows with their values in the result list's column order,
// and with --segments every segment's rates. Numbers and labels in the C locale.
QByteArray tsvTable(const calc::RunState &run, const std::vector<results::ResultRow> &rows,
                    results::Mode mode, bool wholeTunnelFromRun, bool withSegments)
{
    QString out = results::resultHeaders(mode).join(u'\t') + u'\n';
    for (const auto &row : rows) {
        const auto stretch = results::stretchOfLabel(run, row.label);
        if (!stretch)
            continue;
        const bool whole = row.label == results::kTotalLabel;
        const calc::ResultValues values =
            whole && wholeTunnelFromRun
                ? run.ResultVector
                : results::SumSubStretch(run, stretch->first, stretch->second,
                                         mode == results::Mode::PerKm);
        const QLocale userLocale;
        QLocale::setDefault(QLocale::c());
        out += whole ? row.label
                     : text::formatGeneral(stretch->first) + QStringLiteral(" - ") +
                           text::formatGeneral(stretch->second);
        QLocale::setDefault(userLocale);
        for (int q : results::kColumnQuantity)
            out += u'\t' + cNumber("%.9g", double(values[std::size_t(q)]));
        out += u'\n';
    }
    if (withSegments) {
        for (int i = 0; i < run.SegmentCount; ++i) {
            out += QStringLiteral("segment\t") + QString::number(i);
            for (std::size_t q = 1; q <= 11; ++q)
                out += u'\t' + cNumber("%.17g", run.SegmentRates(q, std::size_t(i)));
            out += u'\n';
        }
    }
    return out.toUtf8();
}

} // namespace

QString batchUsage()
{
    return QStringLiteral(
        "usage: luftvaka-batch [--workbooks DIR] [--locale NAME] [--stretch START:STOP]...\n"
        "                      [--totals] [--tsv] [--segments] [-o FILE] INPUT.dat\n"
        "       luftvaka-batch --dump FILE.xls [--sheet NAME|N]\n");
}

int runCalculation(const QStringList &args)
{
    Options options;
    if (const auto status = parse(args, options))
        return *status;
    if (!options.locale.isEmpty())
        QLocale::setDefault(QLocale(options.locale));
    if (options.workbookDir.isEmpty())
        options.workbookDir = QCoreApplication::applicationDirPath();

    const auto bytes = text::readWholeFile(options.input);
    if (!bytes)
        return fault(bytes.error().message);
    const auto document = files::readInputFile(*bytes);
    if (!document)
        return fault(document.error().message);

    const calc::RunInput input{document->rows, document->year, document->sps,
                               document->studdedShare};
    const auto run = calc::computeRun(input, options.workbookDir, [](const QString &label) {
        QTextStream(stderr) << "Fel i grundtabellen Rätta! " << label << "\n";
    });
    if (!run)
        return fault(run.error().message);

    std::vector<results::ResultRow> rows = {results::totalRow(*run)};
    for (const QString &stretch : options.stretches) {
        const QStringList ends = stretch.split(u':');
        if (ends.size() != 2)
            return usage(QStringLiteral("--stretch takes START:STOP, not ") + stretch);
        const auto row = results::addSubStretch(*run, ends[0], ends[1], results::Mode::PerKm);
        if (!row)
            return fault(row.error().message);
        rows.push_back(*row);
    }
    const auto mode = options.totals ? results::Mode::Totals : results::Mode::PerKm;
    if (options.totals)
        results::RecalcResultRows(*run, rows, mode);

    QByteArray out;
    if (options.tsv) {
        out = tsvTable(*run, rows, mode, !options.totals, options.segments);
    } else {
        const auto file =
            files::writeResultFile(document->scenario, mode, rows, QDateTime::currentDateTime());
        if (!file)
            return fault(file.error().message);
        out = *file;
    }
    if (options.output.isEmpty()) {
        QFile stdoutFile;
        if (!stdoutFile.open(stdout, QIODevice::WriteOnly) || stdoutFile.write(out) != out.size()) {
            return fault(QStringLiteral("Resultatet kunde inte skrivas till standard ut."));
        }
        return 0;
    }
    if (const auto saved = text::saveFileAtomically(options.output, out); !saved)
        return fault(saved.error().message);
    return 0;
}

} // namespace lv::cli
