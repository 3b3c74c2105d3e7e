#include "cli/air.h"

#include "cli/batch.h"

#include "core/air/airtable.h"
#include "core/files/airfile.h"
#include "core/results/resulttable.h"
#include "core/text/numbertext.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <optional>

namespace lv::cli {

namespace {

struct AirOptions
{
    QString workbookDir;
    QString locale;
    QString criteria;
    std::optional<QString> area;
    bool reverseAir = false;
    QStringList stretches;
    bool tsv = false;
    QString output;
    QString input;
};

int usage(const QString &why)
{
    QTextStream(stderr) << "luftvaka-batch: " << why << "\n" << airUsage();
    return kUsage;
}

std::optional<int> parse(const QStringList &args, AirOptions &options)
{
    static const QStringList withValue = {QStringLiteral("--workbooks"), QStringLiteral("--locale"),
                                          QStringLiteral("--criteria"),  QStringLiteral("--area"),
                                          QStringLiteral("--stretch"),   QStringLiteral("-o")};
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        QString v;
        if (withValue.contains(arg)) {
            if (i + 1 >= args.size())
                return usage(arg + QStringLiteral(" needs a value"));
            v = args[++i];
        }
        if (arg == QLatin1String("--air"))
            continue;
        if (arg == QLatin1String("--workbooks"))
            options.workbookDir = v;
        else if (arg == QLatin1String("--locale"))
            options.locale = v;
        else if (arg == QLatin1String("--criteria"))
            options.criteria = v;
        else if (arg == QLatin1String("--area"))
            options.area = v;
        else if (arg == QLatin1String("--stretch"))
            options.stretches << v;
        else if (arg == QLatin1String("-o"))
            options.output = v;
        else if (arg == QLatin1String("--reverse-air"))
            options.reverseAir = true;
        else if (arg == QLatin1String("--tsv"))
            options.tsv = true;
        else if (arg.startsWith(u'-') && arg.size() > 1)
            return usage(QStringLiteral("unknown option ") + arg);
        else if (options.input.isEmpty())
            options.input = arg;
        else
            return usage(QStringLiteral("only one input file"));
    }
    if (options.input.isEmpty())
        return usage(QStringLiteral("no input file"));
    return std::nullopt;
}

// A number in the C locale with every digit it needs to read back the same.
void appendNumber(QByteArray &out, const std::optional<double> &value)
{
    if (!value)
        return; // a flow that cannot be given is an empty field
    out += text::formatShortestC(*value).toLatin1();
}

QByteArray tsvTable(const std::vector<air::StretchDemand> &demands)
{
    QByteArray out = "stretch\tE_NO2_g_h\tQ_NO2_mean_m3s\tQ_NO2_exit_m3s\tQ_visibility_m3s\t"
                     "Q_design_m3s\tgoverning\tair_speed_ms\twarning\n";
    for (const air::StretchDemand &d : demands) {
        out += d.label.toUtf8();
        for (const auto &value : {std::optional<double>(d.no2EmissionGH), d.no2MeanM3S,
                                  d.no2ExitM3S, d.visibilityM3S, d.designM3S}) {
            out += '\t';
            appendNumber(out, value);
        }
        out += '\t' + air::governingText(d.governing).toUtf8() + '\t';
        appendNumber(out, d.airSpeedMS);
        out += '\t' + d.warnings.join(u' ').toUtf8() + '\n';
    }
    return out;
}

// The table for reading: the parameters, then the columns padded to their widest text.
QByteArray readableTable(const std::vector<air::StretchDemand> &demands,
                         const air::Criteria &criteria, const air::CriteriaSource &source,
                         const QLocale &locale)
{
    QStringList lines = air::criteriaLines(criteria, source, locale);
    lines << air::demandNotes() << QString();
    std::vector<QStringList> rows = {air::demandHeaders(criteria)};
    for (const auto &demand : demands)
        rows.push_back(air::demandTexts(demand, criteria, locale));
    std::vector<qsizetype> widths(std::size_t(rows[0].size()), 0);
    for (const auto &row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[std::size_t(c)] = std::max(widths[std::size_t(c)], row[c].size());
    }
    for (const auto &row : rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c)
            line +=
                (c + 1 < row.size() ? row[c].leftJustified(widths[std::size_t(c)] + 2) : row[c]);
        lines << line.trimmed();
    }
    return (lines.join(u'\n') + u'\n').toUtf8();
}

// The parameters in force: the criteria file, the .luft beside the input over it, the
// command line over both.
Expected<air::Criteria> criteriaInForce(const AirOptions &options, const air::CriteriaFile &file,
                                        air::CriteriaSource &source, const QLocale &locale)
{
    air::Criteria criteria = file.criteria;
    const auto tunnel = files::readAirFileBeside(options.input);
    if (!tunnel)
        return tunnel.error();
    if (*tunnel) {
        const auto applied =
            files::applyTunnelAir(file, **tunnel, files::airFilePath(options.input));
        if (!applied)
            return applied.error();
        criteria = *applied;
        if (const air::Situation *situation = file.situation((*tunnel)->situation))
            source.situationName = situation->name;
    }
    if (options.area) {
        const auto area = text::parseDouble(*options.area, locale);
        if (!area) {
            return Error{ErrorKind::InputCheck,
                         QStringLiteral("--area %1 är inget tal.").arg(*options.area)};
        }
        criteria.areaM2 = *area;
    }
    if (options.reverseAir)
        criteria.reverseAir = true;
    if (const auto checked = air::checkCriteria(criteria, QStringLiteral("Luftbehovet")); !checked)
        return checked.error();
    return criteria;
}

} // namespace

QString airUsage()
{
    return QStringLiteral(
        "       luftvaka-batch --air [--criteria FILE] [--area M2] [--reverse-air]\n"
        "                      [--stretch START:STOP]... [--tsv] [-o FILE] "
        "INPUT.dat\n");
}

QString airHelp()
{
    return QStringLiteral(
        "--air computes the fresh-air demand of the whole tunnel and of every --stretch from the\n"
        "criteria file (--criteria, default luftkriterier.ini in the program's directory), the\n"
        "INPUT.luft beside INPUT.dat when there is one, and --area / --reverse-air over both.\n"
        "With --tsv: a header line (stretch, E_NO2_g_h, Q_NO2_mean_m3s, Q_NO2_exit_m3s,\n"
        "Q_visibility_m3s, Q_design_m3s, governing, air_speed_ms, warning), then \"Totalt\" and\n"
        "one line \"START - STOP\" per --stretch; numbers in the C locale, a flow that cannot\n"
        "be given (admissible value not above the ambient one) an empty field.\n");
}

int runAir(const QStringList &args)
{
    AirOptions options;
    if (const auto status = parse(args, options))
        return *status;
    const QLocale locale = options.locale.isEmpty() ? QLocale() : QLocale(options.locale);
    if (options.workbookDir.isEmpty())
        options.workbookDir = QCoreApplication::applicationDirPath();
    if (options.criteria.isEmpty())
        options.criteria =
            QDir(QCoreApplication::applicationDirPath()).filePath(air::kCriteriaFileName);

    const auto file = air::readCriteriaFile(options.criteria);
    if (!file)
        return fault(file.error().message);
    air::CriteriaSource source{file->path, file->demonstration, QString()};
    const auto criteria = criteriaInForce(options, *file, source, locale);
    if (!criteria)
        return fault(criteria.error().message);

    const auto computed = computeInputFile(options.input, options.workbookDir, locale);
    if (!computed)
        return fault(computed.error().message);
    const calc::RunState &run = computed->run;

    // The stretches as the result list names them, checked as "Lägg till" checks them.
    const results::StretchSums sums(run);
    QStringList labels = {results::kTotalLabel};
    for (const QString &stretch : options.stretches) {
        const QStringList ends = stretch.split(u':');
        if (ends.size() != 2)
            return usage(QStringLiteral("--stretch takes START:STOP, not ") + stretch);
        const auto row =
            results::subStretchValues(sums, ends[0], ends[1], results::Mode::PerKm, locale);
        if (!row)
            return fault(row.error().message);
        labels << row->label;
    }
    const QLocale shown = options.tsv ? QLocale::c() : locale;
    std::vector<air::StretchDemand> demands;
    for (const QString &label : labels) {
        const auto stretch = results::stretchOfLabel(sums, label, locale);
        if (!stretch)
            continue;
        demands.push_back(
            air::stretchDemand(run, stretch->first, stretch->second, *criteria, shown));
        demands.back().label = label == results::kTotalLabel
                                   ? label
                                   : results::stretchLabel(stretch->first, stretch->second, shown);
    }

    return writeOutput(options.output, options.tsv
                                           ? tsvTable(demands)
                                           : readableTable(demands, *criteria, source, locale));
}

} // namespace lv::cli
