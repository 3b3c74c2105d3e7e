#include "core/files/report.h"

#include <QLocale>
#include <QTest>

using lv::files::ReportLine;
using lv::results::Mode;
using lv::results::ResultRow;
using Rows = std::vector<ResultRow>;
using Lines = std::vector<ReportLine>;

Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(Mode)
Q_DECLARE_METATYPE(Lines)

namespace {

const QDateTime kPrintedAt(QDate(2026, 12, 6), QTime(14, 3, 7));
const QString kRule = QStringLiteral("---------------------------------------------------------");

ResultRow row(const QString &label, const QStringList &values)
{
    ResultRow r;
    r.label = label;
    for (std::size_t i = 0; i < r.values.size(); ++i)
        r.values[i] = values.value(qsizetype(i));
    return r;
}

Lines plain(const QStringList &texts)
{
    Lines lines;
    for (const QString &t : texts)
        lines.push_back(ReportLine{t, 10, false});
    return lines;
}

Lines titleBlock(const QString &date, const QString &normalisation)
{
    Lines lines = {ReportLine{"", 14, true}, ReportLine{"Emissionsberäkning tunnlar", 14, true}};
    const Lines rest = plain({"", date, "", "Norra röret", normalisation, "", kRule});
    lines.insert(lines.end(), rest.begin(), rest.end());
    return lines;
}

Lines operator+(Lines a, const Lines &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void lines_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<Lines>("expected");

        const QString svDate = QStringLiteral("2026-12-06 14:03:07");
        QTest::newRow("sv_SE empty list per km")
            << "sv_SE" << Mode::PerKm << Rows() << titleBlock(svDate, "Effekter/km");
        QTest::newRow("sv_SE empty list totals")
            << "sv_SE" << Mode::Totals << Rows() << titleBlock(svDate, "Totala Effekter");

        const ResultRow total = row(
            "Totalt", {"12,35", "3,", "1,2", ",45", "5", "0", "0,004", ",", "2,567", "x", "310,2"});
        const Lines totalBlock = Lines{ReportLine{"Delsträcka: Totalt", 10, true}} +
                                 plain({"",
                                        "Bränsle:",
                                        "12,35 [l/km]",
                                        "",
                                        "NOx:",
                                        "3, [g/km]",
                                        "",
                                        "Avgaspartiklar:",
                                        "1,2, varav PM10: ,45 [g/km]",
                                        "",
                                        "Däckspartiklar:",
                                        "5,, varav PM10: , [g/km]",
                                        "",
                                        "Bromspartiklar:",
                                        ",, varav PM10: , [g/km]",
                                        "",
                                        "Beläggningspartiklar:",
                                        "2,57, varav PM10: x [g/km]",
                                        "",
                                        "CO2:",
                                        "310,2 [kg/km]",
                                        kRule,
                                        ""});
        QTest::newRow("sv_SE one row per km") << "sv_SE" << Mode::PerKm << Rows{total}
                                              << titleBlock(svDate, "Effekter/km") + totalBlock;

        const ResultRow stretch =
            row("120,5 - 300", {"7", "0,5", "1", "0", "2", "0", "3", "0", "4", "0", "99,999"});
        const Lines stretchBlock =
            Lines{ReportLine{"Delsträcka: 120,5 - 300", 10, true}} + plain({"",
                                                                            "Bränsle:",
                                                                            "7, [l]",
                                                                            "",
                                                                            "NOx:",
                                                                            ",5 [g]",
                                                                            "",
                                                                            "Avgaspartiklar:",
                                                                            "1,, varav PM10: , [g]",
                                                                            "",
                                                                            "Däckspartiklar:",
                                                                            "2,, varav PM10: , [g]",
                                                                            "",
                                                                            "Bromspartiklar:",
                                                                            "3,, varav PM10: , [g]",
                                                                            "",
                                                                            "Beläggningspartiklar:",
                                                                            "4,, varav PM10: , [g]",
                                                                            "",
                                                                            "CO2:",
                                                                            "100, [kg]",
                                                                            kRule,
                                                                            ""});
        QTest::newRow("sv_SE two rows totals")
            << "sv_SE" << Mode::Totals << Rows{stretch, stretch}
            << titleBlock(svDate, "Totala Effekter") + stretchBlock + stretchBlock;

        const ResultRow point =
            row("0 - 250.5", {"12.345", "0.004", "5", "0", "1", "1", "1", "1", "1", "1", "-0.5"});
        const Lines pointBlock = Lines{ReportLine{"Delsträcka: 0 - 250.5", 10, true}} +
                                 plain({"",
                                        "Bränsle:",
                                        "12.35 [l/km]",
                                        "",
                                        "NOx:",
                                        ". [g/km]",
                                        "",
                                        "Avgaspartiklar:",
                                        "5., varav PM10: . [g/km]",
                                        "",
                                        "Däckspartiklar:",
                                        "1., varav PM10: 1. [g/km]",
                                        "",
                                        "Bromspartiklar:",
                                        "1., varav PM10: 1. [g/km]",
                                        "",
                                        "Beläggningspartiklar:",
                                        "1., varav PM10: 1. [g/km]",
                                        "",
                                        "CO2:",
                                        "-.5 [kg/km]",
                                        kRule,
                                        ""});
        QTest::newRow("en_US one row per km")
            << "en_US" << Mode::PerKm << Rows{point}
            << titleBlock("12/6/26 2:03:07 PM", "Effekter/km") + pointBlock;
    }

    void lines()
    {
        QFETCH(QString, locale);
        QFETCH(Mode, mode);
        QFETCH(Rows, rows);
        QFETCH(Lines, expected);
        QLocale::setDefault(QLocale(locale));
        const Lines actual =
            lv::files::reportLines(QStringLiteral("Norra röret"), mode, rows, kPrintedAt);
        QCOMPARE(actual.size(), expected.size());
        for (std::size_t i = 0; i < actual.size(); ++i) {
            const QString where = QStringLiteral("line %1: \"%2\" %3 %4")
                                      .arg(i + 1)
                                      .arg(actual[i].text)
                                      .arg(actual[i].pointSize)
                                      .arg(int(actual[i].bold));
            QVERIFY2(actual[i] == expected[i], qPrintable(where));
        }
    }
};

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
