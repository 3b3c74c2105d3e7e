#include "cli/air.h"
#include "cli/batch.h"
#include "cli/chart.h"
#include "cli/dump.h"
#include "cli/largepages.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    lv::cli::prepareHeapForLargeRun();
    if (lv::cli::wantsChart(argc, argv))
        return lv::cli::runWithChart(argc, argv);
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QLatin1String("--dump")))
        return lv::cli::runDump(args);
    if (args.contains(QLatin1String("--air")) && !args.contains(QLatin1String("--help")))
        return lv::cli::runAir(args);
    return lv::cli::runCalculation(args);
}
