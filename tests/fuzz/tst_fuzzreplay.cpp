#include "fuzz/targets.h"

#include <QtTest>

// Every committed input of the fuzz targets (seed corpus and regression inputs of crashes,
// hangs and leaks found) through the targets' own code: none may crash, and every property
// the fuzzers check must hold. In the sanitizer build this also catches leaks and undefined
// behaviour on these inputs.
class TestFuzzReplay : public QObject
{
    Q_OBJECT

private slots:
    void replay_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("path");
        for (int t = 0; t < int(std::size(lv::fuzz::kTargets)); ++t) {
            const char *name = lv::fuzz::kTargets[t].name;
            for (const char *kind : {"corpus", "regressions"}) {
                const QDir dir(QStringLiteral(LUFTVAKA_FUZZ_DIR "/%1/%2").arg(kind, name));
                // README files explain a folder; they are no inputs.
                QStringList inputs = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
                inputs.removeIf([](const QString &input) { return input.startsWith(u"README"); });
                // A corpus that moved or emptied would make the replay pass without replaying.
                if (kind == QLatin1String("corpus") && inputs.size() < 10)
                    QTest::addRow("%s/corpus missing", name) << t << dir.filePath("missing");
                for (const QString &input : inputs)
                    QTest::addRow("%s/%s/%s", name, kind, qPrintable(input))
                        << t << dir.filePath(input);
            }
        }
    }

    void replay()
    {
        QFETCH(int, target);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QString broken = lv::fuzz::kTargets[target].run(file.readAll());
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
    }
};

QTEST_GUILESS_MAIN(TestFuzzReplay)
#include "tst_fuzzreplay.moc"
