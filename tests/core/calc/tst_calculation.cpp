#include "core/calc/calculationrun.h"
#include "core/calc/interpolate.h"
#include "core/calc/profilefactors.h"
#include "core/text/numbertext.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace lv;
using namespace lv::calc;

// The test workbooks hold y = A(slope) * M(quantity) * K(category) + V(speed) on every
// driving-profile sheet, and simple weights on the factor sheet, so every case below can be
// worked out by hand.
namespace {

const QString kWorkbooks = QStringLiteral(LUFTVAKA_TEST_DATA "/calc");

input::SegmentRow segment(const QString &length, const QString &slope, const QString &pbSpeed,
                          const QString &lbSpeed = QStringLiteral("50"),
                          const QString &lbsSpeed = QStringLiteral("50"),
                          const QString &pbFlow = QStringLiteral("100"),
                          const QString &lbFlow = QStringLiteral("10"),
                          const QString &lbsFlow = QStringLiteral("1"))
{
    return input::SegmentRow{QStringLiteral("1"),
                             {length, slope, pbSpeed, pbFlow, lbSpeed, lbFlow, lbsSpeed, lbsFlow}};
}

RunInput oneSegment(const input::SegmentRow &row, const QString &year = QStringLiteral("2005"),
                    const QString &sps = QStringLiteral("10"),
                    const QString &share = QStringLiteral("0"))
{
    return RunInput{{row}, year, sps, share};
}

// The test workbooks copied to `dir`, `replace` taken from the test workbook `with` (or left out
// when `with` is empty).
bool copyWorkbooks(const QTemporaryDir &dir, const QString &replace = {}, const QString &with = {})
{
    for (const QString name : {"pb_bara_glid_data.xls", "lb_bara_glid_data.xls", "faktorer.xls"}) {
        const QString from = name == replace ? with : name;
        if (!from.isEmpty() && !QFile::copy(kWorkbooks + "/" + from, dir.filePath(name)))
            return false;
    }
    return true;
}

bool near(double actual, double expected)
{
    return std::fabs(actual - expected) <= 1e-5 * std::max(1.0, std::fabs(expected));
}

#define COMPARE_NEAR(actual, expected)                                                             \
    QVERIFY2(near((actual), (expected)), qPrintable(QStringLiteral("%1 != %2")                     \
                                                        .arg(double(actual), 0, 'g', 10)           \
                                                        .arg(double(expected), 0, 'g', 10)))

} // namespace

Q_DECLARE_METATYPE(lv::calc::RunInput)
Q_DECLARE_METATYPE(lv::ErrorKind)

class TestCalculation : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("sv_SE"))); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // Fuel of category 1 at 50 km/h: y(slope) = A(slope) + 3.
    void slopeBracket_data()
    {
        QTest::addColumn<QString>("slope");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<double>("fuel");
        const auto add = [](const char *slope, double lower, double upper, double fuel) {
            QTest::newRow(slope) << slope << lower << upper << fuel;
        };
        add("-2", -3, 0, 7 + 4.0 / 3.0);
        add("0", 0, 3, 11);
        add("3", 3, 5, 19);
        add("-7", -7, -5, 4);
        add("7", 5, 7, 67);
        add("9", 5, 7, 99);             // extrapolated from 5 % and 7 %
        add("12", 5, 7, 35 + 3.5 * 32); // 5 % value plus 3,5 times the 5 %..7 % step
        add("-9", -7, -5, 4);           // below -7 %: held at -7 %
        add("-12", -7, -5, 4);
        add("2,5", 0, 3, 11 + 16.0 / 3.0); // rounds to 2, ties to even
    }

    void slopeBracket()
    {
        QFETCH(QString, slope);
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(double, fuel);
        const int s = calc::slopeBracket(*text::parseInt16(slope));
        QCOMPARE(double(kSlopeGrid[s - 1]), lower);
        QCOMPARE(double(kSlopeGrid[s]), upper);
        const auto run = computeRun(oneSegment(segment("100", slope, "50")), kWorkbooks);
        QVERIFY2(run.ok(), run.ok() ? "" : qPrintable(run.error().message));
        COMPARE_NEAR(run->profileFactors(1, 4, 0), fuel);
    }

    // Below -7 % a segment computes exactly as one at -7 %; the run counts the segments off the
    // grid and words the notice.
    void offGridSlopes()
    {
        const RunInput input{{segment("100", "-7", "35"), segment("100", "-12", "35"),
                              segment("100", "7,4", "35"), segment("100", "7,6", "35")},
                             "2005",
                             "1",
                             "0"};
        const auto run = computeRun(input, kWorkbooks);
        QVERIFY(run.ok());
        for (std::size_t k = 1; k <= 4; ++k) {
            for (std::size_t j = 4; j <= 8; ++j)
                QCOMPARE(run->profileFactors(k, j, 1), run->profileFactors(k, j, 0));
        }
        QCOMPARE(run->offGridSlopes, 2); // -12 and 7,6 (rounded to 8); 7,4 rounds to 7
        QCOMPARE(offGridSlopeNotice(*run),
                 u"Lutning utanför tabellernas -7…7 % i 2 segment: under -7 % räknas som -7 %, "
                 "över 7 % extrapoleras."_qs);
        const auto inGrid = computeRun(oneSegment(segment("100", "-7", "35")), kWorkbooks);
        QVERIFY(inGrid.ok());
        QCOMPARE(offGridSlopeNotice(*inGrid), QString());
    }

    // The default workbooks at 50 km/h: -12 % takes the -7 % sheet's values; at 40 % fuel
    // extrapolates along 5 %..7 % (0,1093 -> 0,1375), while brake particles, which fall uphill,
    // would cross zero near 33 % and are held at 0.
    void offGridDefaultWorkbooks_data()
    {
        QTest::addColumn<QString>("slope");
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<double>("factor");
        QTest::newRow("-12 % fuel") << "-12" << 1 << 4 << 0.019;
        QTest::newRow("-12 % truck NOx") << "-12" << 3 << 5 << 1.2;
        QTest::newRow("40 % fuel") << "40" << 1 << 4 << 0.1093 + 17.5 * (0.1375 - 0.1093);
        QTest::newRow("40 % brake") << "40" << 1 << 8 << 0.0;
        QTest::newRow("40 % truck brake") << "40" << 3 << 8 << 0.0;
    }

    void offGridDefaultWorkbooks()
    {
        QFETCH(QString, slope);
        QFETCH(int, category);
        QFETCH(int, quantity);
        QFETCH(double, factor);
        const auto run = computeRun(oneSegment(segment("100", slope, "50", "50", "50")),
                                    QStringLiteral(LUFTVAKA_SOURCE_DIR "/data"));
        QVERIFY(run.ok());
        COMPARE_NEAR(run->profileFactors(std::size_t(category), std::size_t(quantity), 0), factor);
    }

    // At 0 % the factors are the 0 % sheet's: fuel of category k at speed v is 8 K(k) + V(v)
    // with V = 0, 3, 9 at 20, 50, 80 km/h.
    void speedStep_data()
    {
        QTest::addColumn<QString>("speed");
        QTest::addColumn<double>("fuel");
        QTest::newRow("below the first key") << "10" << 8.0;
        QTest::newRow("on the first key") << "20" << 8.0;
        QTest::newRow("between") << "35" << 9.5;
        QTest::newRow("on the last key") << "80" << 17.0;
        QTest::newRow("above the last key") << "120" << 17.0;
    }

    void speedStep()
    {
        QFETCH(QString, speed);
        QFETCH(double, fuel);
        // Every category reads its own block at its own speed.
        const auto run =
            computeRun(oneSegment(segment("100", "0", speed, speed, speed)), kWorkbooks);
        QVERIFY(run.ok());
        COMPARE_NEAR(run->profileFactors(1, 4, 0), fuel);
        COMPARE_NEAR(run->profileFactors(2, 4, 0), fuel + 72);  // K = 10
        COMPARE_NEAR(run->profileFactors(3, 4, 0), fuel + 792); // K = 100
        COMPARE_NEAR(run->profileFactors(4, 8, 0), 5 * (fuel + 7992) - 4 * (fuel - 8));
    }

    void blockRunningToTheEndOfTheSheet()
    {
        QTemporaryDir dir;
        QVERIFY(copyWorkbooks(dir, "pb_bara_glid_data.xls", "pb_noclosing.xls"));
        const auto run = computeRun(oneSegment(segment("100", "0", "120")), dir.path());
        QVERIFY2(run.ok(), run.ok() ? "" : qPrintable(run.error().message));
        COMPARE_NEAR(run->profileFactors(2, 4, 0), 89.0); // the last row of block 2
    }

    // Class factors for fuel at 0 %, 50 km/h: P1 = 11, P2 = 83, P3 = 803, P4 = 8003.
    void yearWeights_data()
    {
        QTest::addColumn<QString>("year");
        QTest::addColumn<double>("passengerCar");
        QTest::addColumn<double>("truck");
        QTest::addColumn<double>("trailer");
        QTest::newRow("2005") << "2005" << 0.5 * 11 + 0.5 * 83 << 803.0 << 8003.0;
        QTest::newRow("2010") << "2010" << 0.5 * 2 * 83 << 2 * 803.0 << 2 * 8003.0;
        QTest::newRow("2020") << "2020" << 0.25 * 5 * 83 << 6 * 803.0 << 6 * 8003.0;
    }

    void yearWeights()
    {
        QFETCH(QString, year);
        QFETCH(double, passengerCar);
        QFETCH(double, truck);
        QFETCH(double, trailer);
        const auto run = computeRun(oneSegment(segment("100", "0", "50"), year), kWorkbooks);
        QVERIFY(run.ok());
        COMPARE_NEAR(run->classFactors(1, 4, 0), passengerCar);
        COMPARE_NEAR(run->classFactors(2, 4, 0), truck);
        COMPARE_NEAR(run->classFactors(3, 4, 0), trailer);
        COMPARE_NEAR(run->segmentRates(1, 0), 100 * passengerCar + 10 * truck + trailer);
    }

    // Passenger-car NOx takes the low-speed weights (2, 3) up to 50 km/h and the ordinary ones
    // (1, 1) above; its correction is 2. Trucks never use the low-speed column.
    void noxWeights_data()
    {
        QTest::addColumn<QString>("speed");
        QTest::addColumn<double>("nox");
        QTest::newRow("50 uses the low-speed weights")
            << "50" << 2 * (0.5 * 2 * 19 + 0.5 * 3 * 163);
        QTest::newRow("50,5 uses the ordinary weights") << "50,5" << 2 * (0.5 * 19.1 + 0.5 * 163.1);
    }

    void noxWeights()
    {
        QFETCH(QString, speed);
        QFETCH(double, nox);
        const auto run = computeRun(oneSegment(segment("100", "0", speed, speed)), kWorkbooks);
        QVERIFY(run.ok());
        COMPARE_NEAR(run->classFactors(1, 5, 0), nox);
        COMPARE_NEAR(run->classFactors(2, 5, 0), run->profileFactors(3, 5, 0));
        COMPARE_NEAR(run->classFactors(1, 4, 0), // fuel never takes the low-speed weights
                     0.5 * run->profileFactors(1, 4, 0) + 0.5 * run->profileFactors(2, 4, 0));
    }

    // Road-surface wear: Wp = 0.05, Wt = 0.25 g/km; PM10 shares 0.9 .. 0.1 in rows 49..57.
    void studdedWear_data()
    {
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("share");
        QTest::addColumn<double>("studWear");
        const auto add = [](const char *name, const char *speed, const char *share, double wear) {
            QTest::newRow(name) << speed << share << wear;
        };
        add("share 0", "50", "0", 0.05);
        add("share 1 at 75", "75", "1", 10);
        add("share 1 at 50", "50", "1", 10 * 50 / 75.0);
        add("share 1 at 30", "30", "1", 4);
        add("share 1 at 20 as 30", "20", "1", 4);
        add("share 0,5", "75", "0,5", 0.5 * 0.05 + 0.5 * 10);
    }

    void studdedWear()
    {
        QFETCH(QString, speed);
        QFETCH(QString, share);
        QFETCH(double, studWear);
        const auto run =
            computeRun(oneSegment(segment("100", "0", speed), QStringLiteral("2005"), "10", share),
                       kWorkbooks);
        QVERIFY(run.ok());
        COMPARE_NEAR(run->segmentRates(6, 0), 100 * studWear + 11 * 0.25);
        const double sigma = *text::parseSingle(share);
        const double st = sigma > 0 ? (studWear - (1 - sigma) * 0.05) / sigma : 0;
        COMPARE_NEAR(run->segmentRates(11, 0),
                     100 * ((1 - sigma) * 0.05 * 0.2 + st * sigma * 0.3) + 11 * 0.025);
    }

    void co2AndPm10()
    {
        const auto run = computeRun(oneSegment(segment("100", "-2", "65", "35", "90")), kWorkbooks);
        QVERIFY(run.ok());
        const auto C = [&run](int c, int j) { return run->classFactors(c, j, 0); };
        COMPARE_NEAR(run->segmentRates(7, 0),
                     2.43f * 100 * C(1, 4) + 2.54f * (10 * C(2, 4) + 1 * C(3, 4)));
        COMPARE_NEAR(run->segmentRates(8, 0), 0.9 * 100 * C(1, 6) + 0.8 * (10 * C(2, 6) + C(3, 6)));
        COMPARE_NEAR(run->segmentRates(9, 0), 0.7 * 100 * C(1, 7) + 0.6 * (10 * C(2, 7) + C(3, 7)));
        COMPARE_NEAR(run->segmentRates(10, 0),
                     0.5 * 100 * C(1, 8) + 0.4 * (10 * C(2, 8) + C(3, 8)));
        for (int q = 1; q <= 5; ++q) {
            COMPARE_NEAR(run->segmentRates(q, 0),
                         100 * C(1, q + 3) + 10 * C(2, q + 3) + C(3, q + 3));
        }
        // Truck road wear and its PM10 depend on neither speed, SPS nor the studded share.
        const auto other = computeRun(oneSegment(segment("100", "-2", "20", "35", "90", "0"),
                                                 QStringLiteral("2005"), "99", "1"),
                                      kWorkbooks);
        QVERIFY(other.ok());
        COMPARE_NEAR(other->segmentRates(6, 0), 11 * 0.25);
        COMPARE_NEAR(other->segmentRates(11, 0), 11 * 0.025);
    }

    void tunnelMean()
    {
        const auto run = computeRun(
            {{segment("400", "0", "50"), segment("600", "3", "80")}, "2010", "10", "0,2"},
            kWorkbooks);
        QVERIFY(run.ok());
        QCOMPARE(run->segmentCount, 2);
        for (std::size_t q = 1; q <= 11; ++q) {
            COMPARE_NEAR(run->tunnelMeanRates[q],
                         (400 * run->segmentRates(q, 0) + 600 * run->segmentRates(q, 1)) / 1000);
            QCOMPARE(run->segmentRates(q, 2), 0.0); // the spare position stays zero
        }
        QCOMPARE(run->segmentLength[2], 0.0f);
    }

    void labelWarnings()
    {
        // 6 % reads the 5 % and 7 % sheets: "PB  7%" lacks the word, "LB  5%" holds a number.
        QStringList warnings;
        const auto warn = [&warnings](const QString &text) { warnings << text; };
        QVERIFY(
            computeRun({{segment("100", "6", "50"), segment("100", "6", "80")}, "2005", "1", "0"},
                       kWorkbooks, warn)
                .ok());
        QCOMPARE(warnings, (QStringList{"Profil utan ordet", "12,5"}));
        warnings.clear();
        QVERIFY(computeRun(oneSegment(segment("100", "0", "50")), kWorkbooks, warn).ok());
        QVERIFY(warnings.isEmpty());
    }

    void inputFaults_data()
    {
        QTest::addColumn<RunInput>("input");
        QTest::addColumn<QString>("message");
        QTest::addColumn<ErrorKind>("kind");
        const auto add = [](const char *name, const RunInput &input, const QString &message,
                            ErrorKind kind = ErrorKind::InputCheck) {
            QTest::newRow(name) << input << message << kind;
        };
        const auto seg = segment("100", "0", "50");
        const QString sps = QStringLiteral("Ogiltigt SPS-tal: ");
        const QString share = QStringLiteral("Ogiltig andel dubbade personbilar: ");
        add("no segments", {{}, "2005", "1", "0"}, "Ange minst ett tunnelsegment",
            ErrorKind::NoSegments);
        add("no year", oneSegment(seg, ""), u"Välj beräkningsår!"_qs);
        add("other year", oneSegment(seg, "2015"), u" Ogiltigt beräkningsår "_qs,
            ErrorKind::InvalidYear);
        add("year before SPS", oneSegment(seg, "", "x"), u"Välj beräkningsår!"_qs);
        add("SPS empty", oneSegment(seg, "2005", ""), sps);
        add("SPS negative", oneSegment(seg, "2005", "-0,1"), sps + "-0,1");
        add("SPS before share", oneSegment(seg, "2005", "a", "b"), sps + "a");
        add("share above 1", oneSegment(seg, "2005", "0", "1,01"), share + "1,01");
        add("share below 0", oneSegment(seg, "2005", "0", "-0,01"), share + "-0,01");
        add("share empty", oneSegment(seg, "2005", "0", ""), share);
        add("slope beyond 16 bits", oneSegment(segment("100", "40000", "50")),
            u"Lutningen i segment 1 kan inte beräknas (högst ±32767 %): 40000"_qs);
        add("total length 0",
            {{segment("0", "0", "50"), segment("0", "3", "50")}, "2005", "1", "0"},
            u"Tunnelns totala längd är 0 m. Summan av segmentens längder "
            "måste vara större än 0."_qs);
        add("result beyond single precision",
            oneSegment(segment("100", "0", "50", "50", "50", "3E+38")), u"Resultatet blev "_qs);
        // Values an input file may hold that the segment dialog refuses.
        const QString fix = QStringLiteral(" Rätta raden med Ändra...");
        auto twelve = segment("100", "0", "50", "50", "50", "100", "-120");
        twelve.number = QStringLiteral("12");
        add("negative flow", {{seg, twelve}, "2005", "1", "0"},
            u"Rad 2 i segmentlistan (segment 12): Lb, Flöde är mindre än 0 (-120)."_qs + fix);
        add("negative length", oneSegment(segment("-5", "0", "50")),
            u"Rad 1 i segmentlistan (segment 1): Längd är mindre än 0 (-5)."_qs + fix);
        add("negative speed", oneSegment(segment("100", "0", "50", "-0,5")),
            u"Rad 1 i segmentlistan (segment 1): Lb, Medelhastighet är mindre än 0 (-0,5)."_qs +
                fix);
        add("zero speed with traffic", oneSegment(segment("100", "0", "50", "50", "0")),
            u"Rad 1 i segmentlistan (segment 1): Lbs, Medelhastighet är 0 men Lbs, Flöde är 1; "
            "hastigheten måste vara större än 0."_qs +
                fix);
        add("SPS before the rows", oneSegment(segment("-5", "0", "50"), "2005", "x"), sps + "x");
    }

    void inputFaults()
    {
        QFETCH(RunInput, input);
        QFETCH(QString, message);
        QFETCH(ErrorKind, kind);
        const auto run = computeRun(input, kWorkbooks);
        QVERIFY(!run.ok());
        QVERIFY2(run.error().message.startsWith(message), qPrintable(run.error().message));
        QCOMPARE(run.error().kind, kind);
    }

    // Old files hold a zero speed for a class without traffic; it computes harmlessly.
    void zeroSpeedWithoutTraffic()
    {
        QVERIFY(computeRun(oneSegment(segment("100", "0", "50", "0", "50", "100", "0")), kWorkbooks)
                    .ok());
    }

    void tooManySegments()
    {
        RunInput input{std::vector<input::SegmentRow>(32768, segment("1", "0", "50")), "2005", "1",
                       "0"};
        const auto run = computeRun(input, kWorkbooks);
        QVERIFY(!run.ok());
        QCOMPARE(run.error().message,
                 QStringLiteral("För många segment: 32768. Högst 32767 segment kan beräknas."));
        input.rows.pop_back();
        QVERIFY(computeRun(input, kWorkbooks).ok());
    }

    void workbookFaults_data()
    {
        QTest::addColumn<QString>("replace"); // file name in the workbook folder
        QTest::addColumn<QString>("with");    // test workbook to put there, or "" to remove it
        QTest::addColumn<QString>("slope");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("mentions");
        const auto add = [](const char *name, const char *replace, const char *with,
                            const char *slope, const char *locale, const QStringList &mentions) {
            QTest::newRow(name) << replace << with << slope << locale << mentions;
        };
        add("missing workbook", "lb_bara_glid_data.xls", "", "0", "sv_SE",
            {"lb_bara_glid_data.xls"});
        add("missing sheet", "lb_bara_glid_data.xls", "lb_missingsheet.xls", "-4", "sv_SE",
            {"lb_bara_glid_data.xls", "LB -5%"});
        add("text where a number is needed", "faktorer.xls", "faktorer_textcell.xls", "0", "sv_SE",
            {"faktorer.xls", "Faktorer", "B44", "abc"});
        add("text read in another locale", "faktorer.xls", "faktorer_localetext.xls", "0", "en_US",
            {"B45", "0,25"});
        add("not a workbook", "faktorer.xls", "src/faktorer.txt", "0", "sv_SE", {"faktorer.xls"});
    }

    void workbookFaults()
    {
        QFETCH(QString, replace);
        QFETCH(QString, with);
        QFETCH(QString, slope);
        QFETCH(QString, locale);
        QFETCH(QStringList, mentions);
        QTemporaryDir dir;
        QVERIFY(copyWorkbooks(dir, replace, with));
        QLocale::setDefault(QLocale(locale));
        const auto run =
            computeRun(oneSegment(segment("100", slope, "50"), "2005", "1", "0"), dir.path());
        QVERIFY(!run.ok());
        for (const QString &word : mentions)
            QVERIFY2(run.error().message.contains(word), qPrintable(run.error().message));
        QCOMPARE(run.error().kind, ErrorKind::Workbook);
    }

    void textNumberInTheUsersLocale()
    {
        // The factor sheet of this variant holds Wt as the text "0,25".
        QTemporaryDir dir;
        QVERIFY(copyWorkbooks(dir, "faktorer.xls", "faktorer_localetext.xls"));
        const auto run = computeRun(oneSegment(segment("100", "0", "50")), dir.path());
        QVERIFY(run.ok());
        COMPARE_NEAR(run->segmentRates(6, 0), 100 * 0.05 + 11 * 0.25);
    }
};

QTEST_GUILESS_MAIN(TestCalculation)
#include "tst_calculation.moc"
