#pragma once

#include <QString>
#include <QStringList>

namespace lv::cli {

// luftvaka-batch --air: computes INPUT.dat as "Beräkna" does and writes the fresh-air demand of
// the whole tunnel and of every --stretch. Returns the exit status.
int runAir(const QStringList &args);

// The --air line of the usage text, and its part of --help.
QString airUsage();
QString airHelp();

} // namespace lv::cli
