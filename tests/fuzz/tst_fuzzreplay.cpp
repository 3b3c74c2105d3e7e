#include "fuzz/targets.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>

// Every committed input of the fuzz targets (seed corpus and regression inputs of crashes,
// hangs and leaks found) through the targets' own code: none may crash, and every property
// the fuzzers check must hold. In the sanitizer build this also catches leaks and undefined
// behaviour on these inputs.
class TestFuzzReplay : public QObject
{
    Q_OBJECT

private:
    using Target = QString (*)(const uint8_t *, std::size_t);

    struct Entry
    {
        const char *name;
        Target target;
    };
    static constexpr Entry Targets[] = {{"workbook", lv::fuzz::fuzzWorkbook},
                                        {"biff", lv::fuzz::fuzzBiff},
                                        {"inputfile", lv::fuzz::fuzzInputFile},
                                        {"numbertext", lv::fuzz::fuzzNumberText}};

    static QDir folder(const char *kind, const char *target)
    {
        return QDir(QStringLiteral(LUFTVAKA_FUZZ_DIR "/%1/%2")
                        .arg(QLatin1String(kind), QLatin1String(target)));
    }

    static QStringList inputs(const QDir &dir)
    {
        // README files explain a folder; they are no inputs.
        QStringList names = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
        names.removeIf([](const QString &name) { return name.startsWith(u"README"); });
        return names;
    }

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // A corpus folder that moved or emptied would make the replay pass without replaying.
    void corporaPresent_data()
    {
        QTest::addColumn<QString>("target");
        for (const Entry &entry : Targets)
            QTest::newRow(entry.name) << QString::fromLatin1(entry.name);
    }
    void corporaPresent()
    {
        QFETCH(QString, target);
        const QDir corpus = folder("corpus", qPrintable(target));
        QVERIFY2(corpus.exists(), qPrintable(corpus.path()));
        QVERIFY2(inputs(corpus).size() >= 10, qPrintable(corpus.path()));
    }

    void replay_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("path");
        for (int t = 0; t < int(std::size(Targets)); ++t) {
            for (const char *kind : {"corpus", "regressions"}) {
                const QDir dir = folder(kind, Targets[t].name);
                for (const QString &name : inputs(dir)) {
                    QTest::addRow("%s/%s/%s", Targets[t].name, kind, qPrintable(name))
                        << t << dir.filePath(name);
                }
            }
        }
    }
    void replay()
    {
        QFETCH(int, target);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QByteArray bytes = file.readAll();
        const QString broken = Targets[target].target(
            reinterpret_cast<const uint8_t *>(bytes.constData()), std::size_t(bytes.size()));
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
    }
};

QTEST_GUILESS_MAIN(TestFuzzReplay)
#include "tst_fuzzreplay.moc"
