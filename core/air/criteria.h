#pragma once

#include "core/text/expected.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace lv::air {

// Where the NO2 limit applies: as the mean along a stretch, or at its exit.
enum class No2Criterion { Mean, Exit };

// The four particle kinds whose PM10 parts dim the view: exhaust, tyre, brake, road surface.
inline constexpr int kParticleKinds = 4;
// Quantity index of each kind's PM10 part in a run's rates.
inline constexpr std::array<int, kParticleKinds> kPm10Quantity = {8, 9, 10, 11};
// Quantity index of NOx in a run's rates.
inline constexpr int kNoxQuantity = 2;

// The parameters of an air-demand calculation, each in the unit its name says.
struct Criteria
{
    double areaM2 = 0;            // the tunnel's cross-section
    double no2Fraction = 0;       // share of the NOx mass emitted as NO2, 0..1
    double no2AdmissibleMgM3 = 0; // admissible NO2 concentration
    double no2AmbientMgM3 = 0;    // NO2 of the air entering the tunnel
    No2Criterion no2Criterion = No2Criterion::Mean;
    double extinctionAdmissiblePerM = 0;          // admissible extinction coefficient K
    double extinctionAmbientPerM = 0;             // extinction of the air entering the tunnel
    std::array<double, kParticleKinds> betaM2G{}; // extinction per gram of PM10, by kind
    double maxAirSpeedMS = 0;                     // above it the result carries a warning
    bool reverseAir = false;                      // air flows from the tunnel's end towards 0
    std::optional<double> availableFlowM3S;       // an existing tunnel's fresh-air flow, to check

    bool operator==(const Criteria &) const = default;
};

// A traffic situation the guidance names, with its admissible values.
struct Situation
{
    QString id;   // the section name after "situation."
    QString name; // what the window shows
    double no2AdmissibleMgM3 = 0;
    double extinctionAdmissiblePerM = 0;

    bool operator==(const Situation &) const = default;
};

// A criteria file as read: its path, the parameters of its [luft] section and its situations.
struct CriteriaFile
{
    QString path;
    Criteria criteria;
    std::vector<Situation> situations;
    bool demonstration = true; // false once the file says demonstration = false

    const Situation *situation(const QString &id) const;
};

// The file name of the shipped criteria file, in the program's directory.
inline const QString kCriteriaFileName = QStringLiteral("luftkriterier.ini");

// Reads a criteria file: every key of [luft] present, a number (decimal point in any locale)
// within its range; the situations likewise. The message names the file, the key and the value.
Expected<CriteriaFile> readCriteriaFile(const QString &path);
Expected<CriteriaFile> parseCriteria(const QByteArray &bytes, const QString &path);

// Checks every number of the parameters against its range; `source` says where they came from
// ("filen X", "kommandoraden") in the message.
Expected<void> checkCriteria(const Criteria &criteria, const QString &source);

// The parameters with a situation's admissible values in place of their own.
Criteria withSituation(Criteria criteria, const Situation &situation);

// Checks one named value against its key's range ("area_m2", "available_flow_m3_s", ...).
Expected<double> checkedValue(const QString &key, double value, const QString &source);

} // namespace lv::air
