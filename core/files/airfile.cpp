#include "core/files/airfile.h"

#include "core/text/initext.h"
#include "core/text/numbertext.h"
#include "core/text/textfile.h"

#include <QFileInfo>

namespace lv::files {

namespace {

const QString kSection = QStringLiteral("luft");
const QString kArea = QStringLiteral("area_m2");
const QString kReverse = QStringLiteral("reverse_air");
const QString kSituation = QStringLiteral("situation");
const QString kFlow = QStringLiteral("available_flow_m3_s");

QString cNumber(double value)
{
    return text::formatGeneral(float(value), QLocale::c());
}

Expected<std::optional<double>> optionalNumber(const text::IniText &ini, const QString &key,
                                               const QString &source)
{
    const auto valueText = ini.value(kSection, key);
    if (!valueText || valueText->isEmpty())
        return std::optional<double>();
    const auto value = text::parseDouble(*valueText, QLocale::c());
    if (!value) {
        return Error{ErrorKind::InputFile,
                     QStringLiteral("%1: %2 = \"%3\" är inget tal.").arg(source, key, *valueText)};
    }
    const auto checked = air::checkedValue(key, *value, source);
    if (!checked)
        return checked.error();
    return std::optional<double>(*value);
}

} // namespace

QString airFilePath(const QString &inputPath)
{
    // Only the last extension goes: "tunnel.v2.dat" gives "tunnel.v2.luft".
    const QString suffix = QFileInfo(inputPath).suffix();
    const qsizetype cut = suffix.isEmpty() ? 0 : suffix.size() + 1;
    return inputPath.left(inputPath.size() - cut) + QStringLiteral(".luft");
}

QByteArray writeAirFile(const TunnelAir &air)
{
    QStringList lines = {QStringLiteral("; Luftvaka: tunnelns egna värden för luftbehovet"),
                         QStringLiteral("[luft]")};
    if (air.areaM2)
        lines << kArea + QStringLiteral(" = ") + cNumber(*air.areaM2);
    if (air.reverseAir)
        lines << kReverse + QStringLiteral(" = ") +
                     (*air.reverseAir ? QStringLiteral("true") : QStringLiteral("false"));
    lines << kSituation + QStringLiteral(" = ") + air.situation;
    if (air.availableFlowM3S)
        lines << kFlow + QStringLiteral(" = ") + cNumber(*air.availableFlowM3S);
    return (lines.join(u'\n') + u'\n').toUtf8();
}

Expected<TunnelAir> parseAirFile(const QByteArray &bytes, const QString &path)
{
    const text::IniText ini(bytes);
    const QString source = QStringLiteral("Tunnelns luftvärden i filen ") + path;
    TunnelAir air;
    const auto area = optionalNumber(ini, kArea, source);
    if (!area)
        return area.error();
    air.areaM2 = *area;
    const auto flow = optionalNumber(ini, kFlow, source);
    if (!flow)
        return flow.error();
    air.availableFlowM3S = *flow;
    if (const auto reverse = ini.value(kSection, kReverse); reverse && !reverse->isEmpty()) {
        if (*reverse != QLatin1String("true") && *reverse != QLatin1String("false")) {
            return Error{ErrorKind::InputFile,
                         QStringLiteral("%1: %2 = \"%3\" ska vara true eller false.")
                             .arg(source, kReverse, *reverse)};
        }
        air.reverseAir = *reverse == QLatin1String("true");
    }
    air.situation = ini.value(kSection, kSituation).value_or(QString());
    return air;
}

Expected<std::optional<TunnelAir>> readAirFileBeside(const QString &inputPath)
{
    const QString path = airFilePath(inputPath);
    if (!QFileInfo::exists(path))
        return std::optional<TunnelAir>();
    const auto bytes = text::readWholeFile(path);
    if (!bytes)
        return bytes.error();
    auto air = parseAirFile(*bytes, path);
    if (!air)
        return air.error();
    return std::optional<TunnelAir>(std::move(air).value());
}

Expected<air::Criteria> applyTunnelAir(const air::CriteriaFile &file, const TunnelAir &air,
                                       const QString &source)
{
    air::Criteria criteria = file.criteria;
    if (!air.situation.isEmpty()) {
        const air::Situation *situation = file.situation(air.situation);
        if (!situation) {
            return Error{ErrorKind::InputFile,
                         QStringLiteral("%1: trafiksituationen \"%2\" finns inte i %3.")
                             .arg(source, air.situation, file.path)};
        }
        criteria = air::withSituation(criteria, *situation);
    }
    if (air.areaM2)
        criteria.areaM2 = *air.areaM2;
    if (air.reverseAir)
        criteria.reverseAir = *air.reverseAir;
    if (air.availableFlowM3S)
        criteria.availableFlowM3S = air.availableFlowM3S;
    return criteria;
}

} // namespace lv::files
