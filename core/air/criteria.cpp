#include "core/air/criteria.h"

#include "core/text/initext.h"
#include "core/text/numbertext.h"
#include "core/text/textfile.h"

namespace lv::air {

namespace {

const QString kAirSection = QStringLiteral("luft");
const QString kSituationPrefix = QStringLiteral("situation.");

// A number key, its plausible range and unit; either a member of Criteria or a particle kind's
// extinction per gram.
struct NumberKey
{
    const char *key;
    double min;
    double max;
    const char *unit;
    double Criteria::*member = nullptr;
    int kind = -1;
};

// Each range is wide enough for any real tunnel and narrow enough to catch a value typed in
// another unit (an extinction in 10^-3 1/m, a share in percent).
const std::vector<NumberKey> &numberKeys()
{
    static const std::vector<NumberKey> keys = {
        {"area_m2", 5, 500, "m²", &Criteria::areaM2},
        {"no2_fraction", 0, 1, "", &Criteria::no2Fraction},
        {"no2_admissible_mg_m3", 0.1, 20, "mg/m³", &Criteria::no2AdmissibleMgM3},
        {"no2_ambient_mg_m3", 0, 2, "mg/m³", &Criteria::no2AmbientMgM3},
        {"extinction_admissible_per_m", 0.001, 0.05, "1/m", &Criteria::extinctionAdmissiblePerM},
        {"extinction_ambient_per_m", 0, 0.05, "1/m", &Criteria::extinctionAmbientPerM},
        {"beta_exhaust_m2_g", 0, 20, "m²/g", nullptr, 0},
        {"beta_tyre_m2_g", 0, 20, "m²/g", nullptr, 1},
        {"beta_brake_m2_g", 0, 20, "m²/g", nullptr, 2},
        {"beta_road_m2_g", 0, 20, "m²/g", nullptr, 3},
        {"max_air_speed_m_s", 0.5, 20, "m/s", &Criteria::maxAirSpeedMS},
    };
    return keys;
}

// The range of the available air flow, which the .luft file and the window give.
const NumberKey kAvailableFlow{"available_flow_m3_s", 0.1, 100000, "m³/s"};

double &field(Criteria &criteria, const NumberKey &key)
{
    return key.member ? criteria.*key.member : criteria.betaM2G[std::size_t(key.kind)];
}

QString cText(double value)
{
    return text::formatGeneral(float(value), QLocale::c());
}

Error valueError(const QString &message)
{
    return Error{ErrorKind::InputCheck, message};
}

Error rangeError(const NumberKey &key, const QString &valueText, const QString &source)
{
    const QString unit = QString::fromUtf8(key.unit);
    return valueError(QStringLiteral("%1: %2 = %3 ligger utanför det rimliga intervallet %4–%5%6.")
                          .arg(source, QString::fromLatin1(key.key), valueText, cText(key.min),
                               cText(key.max),
                               unit.isEmpty() ? QString() : QStringLiteral(" ") + unit));
}

// One number key of a section: present, a number with a decimal point, within its range.
Expected<double> readNumber(const text::IniText &ini, const QString &section, const NumberKey &key,
                            const QString &source)
{
    const QString name = QString::fromLatin1(key.key);
    const auto valueText = ini.value(section, name);
    if (!valueText) {
        return valueError(
            QStringLiteral("%1: nyckeln %2 saknas i avsnittet [%3].").arg(source, name, section));
    }
    const auto value = text::parseDouble(*valueText, QLocale::c());
    if (!value) {
        return valueError(QStringLiteral("%1: %2 = \"%3\" är inget tal. Skriv talet med "
                                         "decimalpunkt, till exempel 0.005.")
                              .arg(source, name, *valueText));
    }
    if (!(*value >= key.min && *value <= key.max))
        return rangeError(key, *valueText, source);
    return *value;
}

// A key that takes one of two words.
Expected<bool> readChoice(const text::IniText &ini, const QString &section, const QString &name,
                          const QString &yes, const QString &no, const QString &source)
{
    const auto valueText = ini.value(section, name);
    if (!valueText) {
        return valueError(
            QStringLiteral("%1: nyckeln %2 saknas i avsnittet [%3].").arg(source, name, section));
    }
    if (valueText->compare(yes, Qt::CaseInsensitive) == 0)
        return true;
    if (valueText->compare(no, Qt::CaseInsensitive) == 0)
        return false;
    return valueError(QStringLiteral("%1: %2 = \"%3\" ska vara %4 eller %5.")
                          .arg(source, name, *valueText, yes, no));
}

Expected<Situation> readSituation(const text::IniText &ini, const QString &section,
                                  const QString &source)
{
    Situation situation;
    situation.id = section.mid(kSituationPrefix.size());
    situation.name = ini.value(section, QStringLiteral("name")).value_or(situation.id);
    for (const NumberKey &key : numberKeys()) {
        double *target = key.member == &Criteria::no2AdmissibleMgM3 ? &situation.no2AdmissibleMgM3
                         : key.member == &Criteria::extinctionAdmissiblePerM
                             ? &situation.extinctionAdmissiblePerM
                             : nullptr;
        if (!target)
            continue;
        const auto value = readNumber(ini, section, key, source);
        if (!value)
            return value.error();
        *target = *value;
    }
    return situation;
}

} // namespace

const Situation *CriteriaFile::situation(const QString &id) const
{
    for (const Situation &s : situations) {
        if (s.id == id)
            return &s;
    }
    return nullptr;
}

Expected<CriteriaFile> readCriteriaFile(const QString &path)
{
    const auto bytes = text::readWholeFile(path);
    if (!bytes)
        return bytes.error();
    return parseCriteria(*bytes, path);
}

Expected<CriteriaFile> parseCriteria(const QByteArray &bytes, const QString &path)
{
    const text::IniText ini(bytes);
    const QString source = QStringLiteral("Luftkriterierna i filen ") + path;
    CriteriaFile file;
    file.path = path;
    for (const NumberKey &key : numberKeys()) {
        const auto value = readNumber(ini, kAirSection, key, source);
        if (!value)
            return value.error();
        field(file.criteria, key) = *value;
    }
    const auto mean = readChoice(ini, kAirSection, QStringLiteral("no2_criterion"),
                                 QStringLiteral("mean"), QStringLiteral("exit"), source);
    if (!mean)
        return mean.error();
    file.criteria.no2Criterion = *mean ? No2Criterion::Mean : No2Criterion::Exit;
    const auto reverse = readChoice(ini, kAirSection, QStringLiteral("reverse_air"),
                                    QStringLiteral("true"), QStringLiteral("false"), source);
    if (!reverse)
        return reverse.error();
    file.criteria.reverseAir = *reverse;
    // Values the user has set are marked so by demonstration = false; without the key the
    // file counts as the shipped demonstration values.
    if (ini.value(kAirSection, QStringLiteral("demonstration"))) {
        const auto demonstration =
            readChoice(ini, kAirSection, QStringLiteral("demonstration"), QStringLiteral("true"),
                       QStringLiteral("false"), source);
        if (!demonstration)
            return demonstration.error();
        file.demonstration = *demonstration;
    }
    for (const QString &section : ini.sections()) {
        if (!section.startsWith(kSituationPrefix))
            continue;
        auto situation = readSituation(ini, section, source);
        if (!situation)
            return situation.error();
        file.situations.push_back(std::move(situation).value());
    }
    return file;
}

Expected<void> checkCriteria(const Criteria &criteria, const QString &source)
{
    Criteria copy = criteria;
    for (const NumberKey &key : numberKeys()) {
        const double value = field(copy, key);
        if (!(value >= key.min && value <= key.max))
            return rangeError(key, cText(value), source);
    }
    if (criteria.availableFlowM3S) {
        if (const auto flow = checkedValue(QString::fromLatin1(kAvailableFlow.key),
                                           *criteria.availableFlowM3S, source);
            !flow) {
            return flow.error();
        }
    }
    return {};
}

Criteria withSituation(Criteria criteria, const Situation &situation)
{
    criteria.no2AdmissibleMgM3 = situation.no2AdmissibleMgM3;
    criteria.extinctionAdmissiblePerM = situation.extinctionAdmissiblePerM;
    return criteria;
}

Expected<double> checkedValue(const QString &key, double value, const QString &source)
{
    std::vector<NumberKey> keys = numberKeys();
    keys.push_back(kAvailableFlow);
    for (const NumberKey &k : keys) {
        if (key != QLatin1String(k.key))
            continue;
        if (!(value >= k.min && value <= k.max))
            return rangeError(k, cText(value), source);
        return value;
    }
    return value;
}

} // namespace lv::air
