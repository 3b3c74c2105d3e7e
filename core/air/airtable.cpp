#include "core/air/airtable.h"

#include "core/text/numbertext.h"

namespace lv::air {

namespace {

QString general(double value, const QLocale &locale)
{
    return text::formatGeneral(float(value), locale);
}

std::optional<double> inPpm(const std::optional<double> &mgM3)
{
    if (!mgM3)
        return std::nullopt;
    return *mgM3 / kNo2MgM3PerPpm;
}

} // namespace

QStringList demandHeaders(const Criteria &criteria)
{
    QStringList headers = {
        QStringLiteral("Delsträcka:"),
        QStringLiteral("NO2-utsläpp [g/h]"),
        QStringLiteral("Luftbehov NO2 medel [m³/s]"),
        QStringLiteral("Luftbehov NO2 utgång [m³/s]"),
        QStringLiteral("Luftbehov sikt [m³/s]"),
        QStringLiteral("Dimensionerande [m³/s]"),
        QStringLiteral("Styrande"),
        QStringLiteral("Lufthastighet [m/s]"),
        QStringLiteral("Från mynningen [m³/s]"),
    };
    if (criteria.availableFlowM3S) {
        headers << QStringLiteral("NO2 medel [mg/m³]") << QStringLiteral("NO2 medel [ppm]")
                << QStringLiteral("NO2 utgång [mg/m³]") << QStringLiteral("NO2 utgång [ppm]")
                << QStringLiteral("Extinktion utgång [1/m]");
    }
    headers << QStringLiteral("Varningar");
    return headers;
}

QStringList demandTexts(const StretchDemand &demand, const Criteria &criteria,
                        const QLocale &locale)
{
    QStringList texts = {
        demand.label,
        demandText(demand.no2EmissionGH, 1, locale),
        demandText(demand.no2MeanM3S, 2, locale),
        demandText(demand.no2ExitM3S, 2, locale),
        demandText(demand.visibilityM3S, 2, locale),
        demandText(demand.designM3S, 2, locale),
        governingText(demand.governing),
        demandText(demand.airSpeedMS, 2, locale),
        demandText(demand.fromPortalM3S, 2, locale),
    };
    if (criteria.availableFlowM3S) {
        texts << demandText(demand.meanNo2MgM3, 3, locale)
              << demandText(inPpm(demand.meanNo2MgM3), 3, locale)
              << demandText(demand.exitNo2MgM3, 3, locale)
              << demandText(inPpm(demand.exitNo2MgM3), 3, locale)
              << demandText(demand.exitExtinctionPerM, 5, locale);
    }
    texts << demand.warnings.join(u' ');
    return texts;
}

QStringList criteriaLines(const Criteria &criteria, const CriteriaSource &source,
                          const QLocale &locale)
{
    const auto g = [&locale](double value) { return general(value, locale); };
    QStringList lines;
    lines << QStringLiteral("Kriteriefil: ") + source.path;
    if (source.demonstration) {
        lines << QStringLiteral("Kriterierna är demonstrationsvärden tills du anger egna "
                                "(demonstration = false i kriteriefilen).");
    }
    lines << QStringLiteral("Trafiksituation: ") +
                 (source.situationName.isEmpty() ? QStringLiteral("kriteriefilens egna värden")
                                                 : source.situationName);
    lines << QStringLiteral("Tvärsnittsarea: %1 m²").arg(g(criteria.areaM2));
    lines << (criteria.reverseAir ? QStringLiteral("Luftens riktning: mot segmentordningen")
                                  : QStringLiteral("Luftens riktning: med segmentordningen "
                                                   "(från koordinat 0)"));
    lines << QStringLiteral("NO2-andel av NOx: %1").arg(g(criteria.no2Fraction));
    lines << QStringLiteral("Tillåten NO2-halt: %1 mg/m³ (%2 ppm vid 20 °C), %3")
                 .arg(g(criteria.no2AdmissibleMgM3),
                      demandText(criteria.no2AdmissibleMgM3 / kNo2MgM3PerPpm, 3, locale),
                      criteria.no2Criterion == No2Criterion::Mean
                          ? QStringLiteral("som medelvärde längs sträckan")
                          : QStringLiteral("vid sträckans utgång"));
    lines << QStringLiteral("NO2 i uteluften: %1 mg/m³").arg(g(criteria.no2AmbientMgM3));
    lines << QStringLiteral("Tillåten extinktion: %1 1/m, i uteluften %2 1/m")
                 .arg(g(criteria.extinctionAdmissiblePerM), g(criteria.extinctionAmbientPerM));
    lines << QStringLiteral("Extinktion per gram PM10 [m²/g]: avgas %1, däck %2, broms %3, "
                            "beläggning %4")
                 .arg(g(criteria.betaM2G[0]), g(criteria.betaM2G[1]), g(criteria.betaM2G[2]),
                      g(criteria.betaM2G[3]));
    lines << QStringLiteral("Högsta lufthastighet: %1 m/s").arg(g(criteria.maxAirSpeedMS));
    if (criteria.availableFlowM3S) {
        lines
            << QStringLiteral("Tillgängligt luftflöde: %1 m³/s").arg(g(*criteria.availableFlowM3S));
    }
    return lines;
}

QStringList demandNotes()
{
    return {QStringLiteral("Luftvaka beräknar inte CO; luftbehovet gäller NO2 och sikt."),
            QStringLiteral("En trafiksituation förutsätter att du har matat in den situationens "
                           "trafik (hastigheter och flöden).")};
}

} // namespace lv::air
