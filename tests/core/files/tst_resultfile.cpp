#include "core/files/resultfile.h"

#include <QFile>
#include <QLocale>
#include <QTest>

using lv::results::Mode;
using lv::results::ResultRow;
using Rows = std::vector<ResultRow>;

Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(Mode)

namespace {

const QDateTime kSavedAt(QDate(2026, 12, 6), QTime(14, 3, 7));

QByteArray dataFile(const QString &name)
{
    QFile file(QStringLiteral(LUFTVAKA_TEST_DATA "/files/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", qPrintable(name));
    return file.readAll();
}

ResultRow row(const QString &label, const QString &values)
{
    ResultRow r{label, {}};
    const QStringList split = values.split(u' ');
    std::copy(split.begin(), split.end(), r.values.begin());
    return r;
}

// Three rows as a list could hold them, with a decimal comma or point: raw numbers that the
// file rounds, texts already in the "#.##" form, and a cell that is no number at all.
Rows threeRows(const QString &dp)
{
    const auto n = [&dp](QString s) { return s.replace(u',', dp); };
    return {row("Totalt", n("12,345 1234,567 0,5 ,05 5 0 0,004 -0,5 2,50 0,01 310,2")),
            row("0 - 250", n("12,25 3, ,12 ,01 1, , , , 1,2 ,45 28,")),
            row(n("120,5 - 300"), n("x 7 ,33 ,03 2 , , , 3 ,1 99,99"))};
}

} // namespace

class TestResultFile : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void writeGivesTheFile_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QString>("file");
        const QString scenario = QStringLiteral("Norra röret");
        QTest::newRow("sv_SE per km")
            << "sv_SE" << scenario << Mode::PerKm << threeRows(",") << "result_perkm_sv_SE.eff";
        QTest::newRow("sv_SE totals")
            << "sv_SE" << scenario << Mode::Totals << threeRows(",") << "result_totals_sv_SE.eff";
        QTest::newRow("en_US per km")
            << "en_US" << scenario << Mode::PerKm << threeRows(".") << "result_perkm_en_US.eff";
        QTest::newRow("sv_SE empty list, totals")
            << "sv_SE" << QString() << Mode::Totals << Rows() << "result_empty_totals_sv_SE.eff";
    }

    void writeGivesTheFile()
    {
        QFETCH(QString, locale);
        QFETCH(QString, scenario);
        QFETCH(Mode, mode);
        QFETCH(Rows, rows);
        QFETCH(QString, file);
        QLocale::setDefault(QLocale(locale));
        const auto bytes = lv::files::writeResultFile(scenario, mode, rows, kSavedAt);
        QVERIFY2(bytes.ok(), qPrintable(bytes.ok() ? QString() : bytes.error().message));
        QCOMPARE(*bytes, dataFile(file));
    }

    // The scenario line keeps its TABs; a character the file cannot hold stops the writing.
    void scenario_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("result"); // the file's line 4, or what the message names
        QTest::newRow("TABs kept") << u"a\tb\tå"_qs << u"a\tb\tå\r"_qs;
        QTest::newRow("cyrillic") << u"Ж"_qs << u"U+0416"_qs;
        QTest::newRow("line break") << u"a\nb"_qs << u"radbrytning"_qs;
    }

    void scenario()
    {
        QFETCH(QString, scenario);
        QFETCH(QString, result);
        const auto bytes =
            lv::files::writeResultFile(scenario, Mode::Totals, threeRows(","), kSavedAt);
        if (bytes.ok()) {
            QCOMPARE(QString::fromLatin1(bytes->split('\n').value(3)), result);
        } else {
            QVERIFY2(bytes.error().message.contains(result), qPrintable(bytes.error().message));
            QVERIFY2(bytes.error().message.contains(u"Scenariot"_qs),
                     qPrintable(bytes.error().message));
        }
    }
};

QTEST_GUILESS_MAIN(TestResultFile)
#include "tst_resultfile.moc"
