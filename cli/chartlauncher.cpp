#include "cli/chart.h"

#include "cli/batch.h"

#include <QTextStream>

#include <cerrno>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

// luftvaka-batch's side of --chart: it links no Qt Gui, and hands the command line over to
// luftvaka-batch-chart in its own directory.
namespace lv::cli {

namespace {

// The directory of the running executable, without a QCoreApplication.
std::string ownDirectory()
{
    std::vector<char> path(4096);
    const ssize_t size = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (size <= 0)
        return {};
    const std::string exe(path.data(), std::size_t(size));
    const auto slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

} // namespace

int runWithChart(int argc, char *argv[])
{
    const std::string chartTool = ownDirectory() + "/luftvaka-batch-chart";
    std::vector<char *> args(argv, argv + argc);
    args[0] = const_cast<char *>(chartTool.c_str());
    args.push_back(nullptr);
    execv(chartTool.c_str(), args.data());
    // Only reached when the program could not be started.
    QTextStream(stderr) << "luftvaka-batch: --chart needs " << QString::fromStdString(chartTool)
                        << " (" << QString::fromLocal8Bit(std::strerror(errno)) << ")\n";
    return kFault;
}

Expected<void> writeChart(const QString &, int, const calc::RunState &,
                          const std::vector<QString> &, const QString &, const QString &,
                          const std::vector<results::RowValues> &, const QLocale &)
{
    return Error{ErrorKind::File, QStringLiteral("Diagram ritas av luftvaka-batch-chart.")};
}

} // namespace lv::cli
