// Opening a workbook takes memory in proportion to the file, not to the largest file the reader
// allows: a small workbook opens with little room left in the address space.

#include "core/xls/workbook.h"

#include <QFile>
#include <QTest>

#include <csignal>
#include <new>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The address space the process holds now, in bytes.
qint64 addressSpaceInUse()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE);
}

} // namespace

class TestWorkbookMemory : public QObject
{
    Q_OBJECT

private slots:
    void smallWorkbookWithLittleRoom();
};

void TestWorkbookMemory::smallWorkbookWithLittleRoom()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the sanitizer reserves far more address space than this test may limit");
#endif
    const QString path = QStringLiteral(LUFTVAKA_TEST_DATA "/calc/faktorer.xls");
    QVERIFY(lv::xls::Workbook::open(path).ok()); // everything loaded that a first open loads
    const qint64 inUse = addressSpaceInUse();
    QVERIFY(inUse > 0);

    // In a child, so that the limit and a failed allocation (which ends the process) stay there.
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        // The test's crash handlers are the parent's; here an abort simply ends the child.
        std::signal(SIGABRT, SIG_DFL);
        std::signal(SIGSEGV, SIG_DFL);
        const rlim_t room = rlim_t(inUse) + 64 * 1024 * 1024;
        const rlimit limit{room, room};
        if (setrlimit(RLIMIT_AS, &limit) != 0)
            _exit(2);
        try {
            _exit(lv::xls::Workbook::open(path).ok() ? 0 : 1);
        } catch (const std::bad_alloc &) {
            _exit(3);
        }
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0,
             qPrintable(QStringLiteral("a 10 KB workbook did not open with 64 MB of address space "
                                       "to spare (exit status %1)")
                            .arg(WIFEXITED(status) ? WEXITSTATUS(status) : -1)));
}

QTEST_GUILESS_MAIN(TestWorkbookMemory)
#include "tst_workbookmemory.moc"
