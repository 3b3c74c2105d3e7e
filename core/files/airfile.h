#pragma once

#include "core/air/criteria.h"
#include "core/text/expected.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace lv::files {

// The tunnel's own air values, kept beside its input file (same name, extension .luft) so that
// the input file itself stays as it is. A value not given falls back to the criteria file.
struct TunnelAir
{
    std::optional<double> areaM2;
    std::optional<bool> reverseAir;
    QString situation; // a situation's id in the criteria file, or empty for its own values
    std::optional<double> availableFlowM3S;

    bool operator==(const TunnelAir &) const = default;
};

// The .luft path beside an input file: "tunnel.dat" gives "tunnel.luft".
QString airFilePath(const QString &inputPath);

// The file's text (UTF-8 INI, section [luft]).
QByteArray writeAirFile(const TunnelAir &air);

// Reads a .luft file's text; a value that is not a number in its range is refused, naming the
// file, the key and the value.
Expected<TunnelAir> parseAirFile(const QByteArray &bytes, const QString &path);

// The .luft beside an input file: nothing when there is none, its values, or why it is refused.
Expected<std::optional<TunnelAir>> readAirFileBeside(const QString &inputPath);

// The parameters in force: the criteria file's, then the .luft file's values over them (the
// situation's admissible values, the cross-section, the direction, the available flow). An
// unknown situation is refused.
Expected<air::Criteria> applyTunnelAir(const air::CriteriaFile &file, const TunnelAir &air,
                                       const QString &source);

} // namespace lv::files
