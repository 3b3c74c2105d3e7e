#include "core/air/airdemand.h"
#include "core/files/airfile.h"
#include "core/files/airreport.h"
#include "core/files/csvfile.h"
#include "core/results/alongtunnel.h"
#include "core/results/comparison.h"
#include "core/results/resulttable.h"
#include "core/results/substretch.h"
#include "core/text/numbertext.h"
#include "core/text/textfile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace lv;
using namespace lv::air;
using namespace lv::results;
using namespace Qt::StringLiterals;
using Kind = ComparisonCell::Kind;

namespace {

const QLocale kSv(QStringLiteral("sv_SE"));
const QLocale kUs(QStringLiteral("en_US"));
const QLocale kC = QLocale::c();
const QString kBooks = QStringLiteral(LUFTVAKA_TEST_DATA "/calc/");

// A run with these segment lengths (m) and fuel rates (l/km); every other quantity q has q
// times the fuel rate. The tunnel means are the length-weighted means.
calc::RunState makeRun(const std::vector<float> &lengths, const std::vector<double> &fuel)
{
    calc::RunState run;
    run.recreate(int32_t(lengths.size()));
    double total = 0, fuelTimesLength = 0;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        run.segmentLength[i] = lengths[i];
        for (std::size_t q = 1; q <= 11; ++q)
            run.segmentRates(q, i) = fuel[i] * double(q);
        total += lengths[i];
        fuelTimesLength += lengths[i] * fuel[i];
    }
    for (std::size_t q = 1; q <= 11; ++q)
        run.tunnelMeanRates[q] = float(fuelTimesLength / total * double(q));
    return run;
}

// Three segments: 400 m at 3 %, 250,5 m at -8 % (off the grid) and 100 m at 9 % (off the grid);
// quantity q has the rate q * 10 + segment position, the PM10 parts 8..11 therefore 80..110.
calc::RunState alongRun()
{
    calc::RunState run;
    run.recreate(3);
    const float lengths[] = {400, 250.5f, 100};
    const int16_t slopes[] = {3, -8, 9};
    for (std::size_t i = 0; i < 3; ++i) {
        run.segmentLength[i] = lengths[i];
        run.segmentSlope[i] = slopes[i];
        for (std::size_t q = 1; q <= 11; ++q)
            run.segmentRates(q, i) = double(q * 10 + i);
    }
    return run;
}

// Two segments of 400 m and 600 m, every class with `flow` vehicles per hour.
calc::RunInput tunnel(const QString &year, const QString &flow, const QString &secondLength)
{
    calc::RunInput input{{}, year, u"10"_s, u"0.5"_s};
    for (const QString &length : {u"400"_s, secondLength})
        input.rows.push_back({QString::number(input.rows.size() + 1),
                              {length, "2", "70", flow, "70", flow, "70", flow}});
    return input;
}

calc::RunState run(const calc::RunInput &input)
{
    auto state = calc::computeRun(input, kBooks, {}, kC);
    if (!state)
        qFatal("%s", qPrintable(state.error().message));
    return std::move(state).value();
}

const QString kShippedCriteria = QStringLiteral(LUFTVAKA_SOURCE_DIR "/data/luftkriterier.ini");

// A run with these segment lengths (m), NOx rates and tyre PM10 rates (g/km per hour).
calc::RunState airRun(const std::vector<float> &lengths, const std::vector<double> &nox,
                      const std::vector<double> &tyrePm10 = {})
{
    calc::RunState run;
    run.recreate(int32_t(lengths.size()));
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        run.segmentLength[i] = lengths[i];
        run.segmentRates(kNoxQuantity, i) = nox[i];
        run.segmentRates(9, i) = i < tyrePm10.size() ? tyrePm10[i] : 0.0;
    }
    return run;
}

// 10 % of NOx as NO2 and 1 mg/m³ of margin: a flow is the NO2 in g/h over 3.6.
Criteria plainCriteria()
{
    Criteria c;
    c.areaM2 = 50;
    c.no2Fraction = 0.1;
    c.no2AdmissibleMgM3 = 1.0;
    c.extinctionAdmissiblePerM = 0.005;
    c.maxAirSpeedMS = 10;
    return c;
}

void compareFlow(const std::optional<double> &got, double want)
{
    QVERIFY(got.has_value());
    QVERIFY2(std::abs(*got - want) <= 1e-9 * std::max(1.0, want),
             qPrintable(QStringLiteral("%1, expected %2").arg(*got, 0, 'g', 12).arg(want)));
}

} // namespace

class TestResults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // Two segments of 400 m and 600 m with fuel 0,1 and 0,2 l/km: totals and means per km.
    // Nothing past the last segment (the spare position) ever counts.
    void subStretch()
    {
        const std::array<float, 4> cases[] = {
            {300, 700, 0.07f, 0.175f}, // start, stop, total, per km
            {100, 300, 0.02f, 0.1f},
            {500, 900, 0.08f, 0.2f},
            {400, 1000, 0.12f, 0.2f},
            {0, 400, 0.04f, 0.1f},
            {0, 1000, 0.16f, 0.16f},
            {0, 1000.0001f, 0.16f, 0.16f}, // a stop beyond T is limited to T
            {500, 500, 0, 0.2f}};
        auto run = makeRun({400, 600}, {0.1, 0.2});
        run.segmentRates(1, 2) = 1e30;
        for (const auto &[start, stop, total, perKm] : cases) {
            const auto totals = sumSubStretch(run, start, stop, false);
            QCOMPARE(totals[1], total);
            QCOMPARE(totals[11], 11 * total);
            QCOMPARE(sumSubStretch(run, start, stop, true)[1], perKm);
        }
        for (float stop : {1001.0f, 1e9f})
            QVERIFY(sumSubStretch(run, 0.0f, stop, false)[1] < 1.0f);
        QVERIFY(std::isfinite(sumSubStretch(run, 1500.0f, 1900.0f, true)[1]));
    }

    void headersAndColumns()
    {
        const QString perKm = u"Delsträcka:|Bränsle: [l/km]|NOx: [g/km]|Avgaspartiklar: [g/km]|"
                              "Varav PM10: [g/km]|Däckspartiklar: [g/km]|Varav PM10: [g/km]|"
                              "Bromspartiklar: [g/km]|Varav PM10: [g/km]|"
                              "Beläggningspartiklar: [g/km]|Varav PM10: [g/km]|CO2"_qs;
        QCOMPARE(resultHeaders(Mode::PerKm, false).join(u'|'), perKm + u" [kg/km]"_qs);
        QCOMPARE(resultHeaders(Mode::PerKm, true).join(u'|'), perKm + u": [kg/km]"_qs);
        QCOMPARE(resultHeaders(Mode::Totals).join(u'|'),
                 u"Delsträcka:|Bränsle: [l]|NOx: [g]|Avgaspartiklar: [g]|Varav PM10: [g]|"
                 "Däckspartiklar: [g]|Varav PM10: [g]|Bromspartiklar: [g]|Varav PM10: [g]|"
                 "Beläggningspartiklar: [g]|Varav PM10: [g]|CO2: [kg]"_qs);
        calc::ResultValues v{};
        for (std::size_t q = 1; q <= 11; ++q)
            v[q] = float(q);
        const auto values = makeRow(kTotalLabel, v, kSv).values;
        QCOMPARE(QStringList(values.begin(), values.end()).join(u' '),
                 u"1, 2, 3, 8, 4, 9, 5, 10, 6, 11, 7,"_qs);
    }

    // "Lägg till" in a tunnel of 1000,5 m: the label, or the message.
    void addSubStretchChecks()
    {
        const QString range = u"Start- och slutkoordinaterna måste upfylla: 0 <= start < slut <= "
                              "1000,5 (total tunnellängd)"_qs;
        const std::array<QString, 3> cases[] = {{"0", "1.5", "Ogiltig slutkoordinat: 1.5"},
                                                {"100", "100", range},
                                                {"-1", "100", range},
                                                {"200", "100", range},
                                                {"0100", "300,0", "100 - 300"}};
        const auto run = makeRun({400, 600.5f}, {0.1, 0.2});
        for (const auto &[start, stop, result] : cases) {
            const auto row = addSubStretch(run, start, stop, Mode::PerKm, kSv);
            QCOMPARE(row ? row->label : row.error().message, result);
            QVERIFY(row || row.error().kind == ErrorKind::InputCheck);
        }
    }

    // T = 1/3 km written with seven digits reads back a hair above T, and is still within.
    void labelReadBackAtTheEnd()
    {
        const auto third = makeRun({333.33334f, 0.0000001f}, {1, 2});
        const QString label = addSubStretch(third, "0", "333,3333", Mode::Totals, kSv)->label;
        QVERIFY(recalcRow(third, label, Mode::PerKm, kSv));
        QCOMPARE(recalcRow(third, u"0 - 333,33338"_qs, Mode::PerKm, kSv)->values[0], u"1,"_qs);
    }

    // Chainage and height add up segment by segment; total PM10 is the four parts; the marks
    // follow the slope the run holds; a missing number text stays empty.
    void rows()
    {
        // Number, chainage, height (to 12 digits), off the grid, total PM10, CO2.
        QStringList rows;
        for (const AlongTunnelRow &row : alongTunnelRows(alongRun(), {u"10"_s, u"20"_s}))
            rows << u"%1 %2-%3 %4 %5 %6 %7"_s.arg(row.number)
                        .arg(row.start)
                        .arg(row.end)
                        .arg(row.height, 0, 'g', 12)
                        .arg(int(row.offGrid))
                        .arg(row.rates[kTotalPm10])
                        .arg(row.rates[7]);
        QCOMPARE(rows, QStringList({"10 0-400 12 0 380 70", "20 400-650.5 -8.04 1 384 71",
                                    " 650.5-750.5 0.96 1 388 72"}));
        QVERIFY(alongTunnelRows(calc::RunState(), {u"1"_s}).empty());
    }

    // The texts of a row in both locales, and the decimals: four significant digits of a
    // column's largest value; headers carry the units.
    void texts()
    {
        auto rows = alongTunnelRows(alongRun(), {u"1"_s, u"2"_s, u"3"_s});
        rows[0].rates[1] = 20733.4;
        rows[1].rates[2] = 0.012345;
        const auto decimals = alongDecimals(rows);
        QCOMPARE(alongTunnelTexts(rows[1], decimals, kSv),
                 (QStringList{"2", "400,0", "650,5", "250,5", "-8", kOffGridMark, "-8,04", "11",
                              "0,01", "31,00", "81,00", "41,00", "91,00", "51,00", "101,0", "61,00",
                              "111,0", "71,00", "384,0"}));
        QCOMPARE(alongTunnelTexts(rows[0], decimals, kUs).mid(6, 3),
                 (QStringList{"12.00", "20733", "20.00"}));
        const QStringList headers = alongTunnelHeaders();
        QCOMPARE(headers.size(), kAlongColumnCount);
        QCOMPARE(headers[1] + u'|' + headers[7] + u'|' + headers[8] + u'|' + headers[17] + u'|' +
                     headers[18],
                 u"Kedjemått start [m]|Bränsle [l/(km·h)]|NOx [g/(km·h)]|CO2 [kg/(km·h)]|"
                 "PM10 totalt [g/(km·h)]"_s);
        QCOMPARE(quantityOfKey(u"brake_pm10"_s), 10);
        QCOMPARE(quantityKey(12) + quantityKey(0) + QString::number(quantityOfKey(u"x"_s)),
                 u"pm100"_s);
    }

    // Fixed decimals: rounding, no minus on a zero, the locale's separator.
    void formatFixed()
    {
        QCOMPARE(text::formatFixed(2.345, 1, kSv), u"2,3"_s);
        QCOMPARE(text::formatFixed(-0.004, 2, kSv), u"0,00"_s);
        QCOMPARE(text::formatFixed(-1.5, 0, kUs), u"-2"_s);
        QCOMPARE(text::formatFixed(1e300, 1, kUs).size(), 303);
    }

    // CSV: byte-order mark, separator and decimal by locale, quoting of separators, quotes and
    // line breaks, CR LF line ends.
    void csv_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("sv") << kSv
                            << "\xEF\xBB\xBF"
                               "a;\"b;c\";\"say \"\"hi\"\"\"\r\n1,5;x,y;\"l1\nl2\"\r\n"_ba;
        QTest::newRow("us") << kUs
                            << "\xEF\xBB\xBF"
                               "a,b;c,\"say \"\"hi\"\"\"\r\n1.5,\"x,y\",\"l1\nl2\"\r\n"_ba;
    }
    void csv()
    {
        QFETCH(QLocale, locale);
        QFETCH(QByteArray, expected);
        const QString decimal = text::formatFixed(1.5, 1, locale);
        QCOMPARE(files::writeCsv({"a", "b;c", "say \"hi\""}, {{decimal, "x,y", "l1\nl2"}}, locale),
                 expected);
    }

    // The whole table as a file: one line per segment, ä written as UTF-8.
    void alongCsv()
    {
        const QByteArray csv =
            files::writeAlongTunnelCsv(alongTunnelRows(alongRun(), {"1", "2", "3"}), kSv);
        const QList<QByteArray> lines = csv.split('\n');
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines[0].startsWith("\xEF\xBB\xBFSegment nr;Kedjem\xC3\xA5tt start [m];"));
        QVERIFY(
            lines[2].startsWith("2;400,0;650,5;250,5;-8;utanf\xC3\xB6r tabell;-8,04;11,00000;"));
    }

    // The other tunnel has twice the traffic: every difference equals the last run's value and
    // is 100 %. A stretch past its end (600 m shorter) has no values and says why.
    void otherInput()
    {
        const calc::RunState last = run(tunnel("2010", "100", "600"));
        const auto table = compareInputs(last, tunnel("", "200", "600"), "b.dat",
                                         {"Totalt", "0 - 400"}, Mode::Totals, kBooks, {}, kC);
        QVERIFY(table.ok());
        QCOMPARE(table->headers.join(u'|'), u"Delsträcka|Storhet|Senaste beräkningen|b.dat|"
                                            "Skillnad|Skillnad [%]"_qs);
        QCOMPARE(table->lines.size(), 22u);
        QCOMPARE(table->lines[11].stretch, u"0 - 400"_qs);
        QCOMPARE(table->lines[1].quantity, u"NOx: [g]"_qs);
        for (const ComparisonLine &line : table->lines) {
            const double base = line.cells[0].number;
            QVERIFY(base > 0);
            QCOMPARE(line.cells[1].number, 2 * base);
            QCOMPARE(line.cells[2], (ComparisonCell{Kind::Value, base, {}}));
            QCOMPARE(line.cells[3], (ComparisonCell{Kind::Percent, 100.0, {}}));
        }
        QCOMPARE(cellText(table->lines[0].cells[3], QLocale(QLocale::Swedish)), u"100,0"_qs);

        const auto shorter = compareInputs(last, tunnel("", "100", "100"), "kort.dat",
                                           {"Totalt", "400 - 1000"}, Mode::PerKm, kBooks, {}, kC);
        QVERIFY(shorter.ok());
        const ComparisonLine &beyond = shorter->lines[11];
        QCOMPARE(beyond.cells[1].text, kBeyondOtherTunnel);
        QCOMPARE(beyond.cells[2].text, kNoPercentage);
        QCOMPARE(shorter->lines[0].cells[1].kind, Kind::Value); // "Totalt" is each tunnel whole

        const auto broken = compareInputs(last, calc::RunInput{}, "tom.dat", {"Totalt"},
                                          Mode::PerKm, kBooks, {}, kC);
        QVERIFY(!broken.ok());
    }

    // A base of zero (no traffic in the last run) gives no percentage, only "–".
    void zeroBase()
    {
        const calc::RunState last = run(tunnel("2010", "0", "600"));
        const auto table = compareInputs(last, tunnel("", "100", "600"), "b.dat", {"Totalt"},
                                         Mode::PerKm, kBooks, {}, kC);
        QVERIFY(table.ok());
        for (const ComparisonLine &line : table->lines) {
            QCOMPARE(line.cells[0].number, 0.0);
            QCOMPARE(line.cells[2].number, line.cells[1].number);
            QCOMPARE(cellText(line.cells[3]), u"–"_qs);
        }
    }

    // The last run's year keeps its own values; a year that cannot be computed (no workbooks
    // here) shows its message in its cells, and its change has no number.
    void years()
    {
        const calc::RunInput input = tunnel("2010", "100", "600");
        const calc::RunState last = run(input);
        const Comparison all = compareYears(input, last, {"Totalt"}, Mode::PerKm, kBooks, {}, kC);
        QCOMPARE(all.headers.join(u'|'), u"Delsträcka|Storhet|2005|2010|2020|"
                                         "Ändring 2005 mot 2010 [%]|Ändring 2020 mot 2010 [%]"_qs);
        QCOMPARE(all.lines[0].cells[1].number, double(last.tunnelMeanRates[1]));
        for (const ComparisonLine &line : all.lines) {
            for (const ComparisonCell &cell : line.cells)
                QVERIFY(cell.kind != Kind::Text);
        }

        QTemporaryDir empty;
        const Comparison failed =
            compareYears(input, last, {"Totalt", "0 - 400"}, Mode::PerKm, empty.path(), {}, kC);
        QCOMPARE(failed.lines.size(), 22u);
        const ComparisonLine &line = failed.lines[12];
        QCOMPARE(line.cells[1].kind, Kind::Value);
        QVERIFY(line.cells[0].kind == Kind::Text && line.cells[2].kind == Kind::Text);
        QVERIFY(!line.cells[0].text.isEmpty());
        QCOMPARE(line.cells[3].text, kNoPercentage);
        QCOMPARE(failed.notes.size(), 3);
        QVERIFY(failed.notes[1].startsWith(u"2005 kunde inte beräknas: "_qs));
    }

    // Hand-computed NO2 demands: E in g/h of NO2 per part; mean = Σ E·(L − m)/L / 3.6, exit =
    // ΣE / 3.6, from the portal = the exit demand from the entry portal to the stretch's end.
    void no2Demands()
    {
        const std::vector<float> two = {500, 500};
        const std::vector<double> twoNox = {200, 40}; // NO2 10 and 2 g/h
        // Lengths, NOx, start, stop, reversed air; mean, exit and from-the-portal demands.
        const std::tuple<std::vector<float>, std::vector<double>, float, float, bool, double,
                         double, double>
            cases[] = {
                // One segment: the mean is exactly half the exit demand.
                {{1000}, {100}, 0, 1000, false, 10 / 7.2, 10 / 3.6, 10 / 3.6},
                {two, twoNox, 0, 1000, false, 8 / 3.6, 12 / 3.6, 12 / 3.6},
                {two, twoNox, 0, 1000, true, 4 / 3.6, 12 / 3.6, 12 / 3.6},
                // 250..750 cuts both segments: parts of 5 and 1 g/h.
                {two, twoNox, 250, 750, false, 4 / 3.6, 6 / 3.6, 11 / 3.6},
                {two, twoNox, 250, 750, true, 2 / 3.6, 6 / 3.6, 7 / 3.6},
            };
        for (const auto &[lengths, nox, start, stop, reverse, mean, exit, fromPortal] : cases) {
            Criteria criteria = plainCriteria();
            criteria.reverseAir = reverse;
            const StretchDemand d = stretchDemand(airRun(lengths, nox), start, stop, criteria);
            compareFlow(d.no2MeanM3S, mean);
            compareFlow(d.no2ExitM3S, exit);
            compareFlow(d.designM3S, mean); // visibility needs nothing here
            QCOMPARE(d.governing, Governing::No2);
            compareFlow(d.fromPortalM3S, fromPortal);
            QVERIFY(d.warnings.isEmpty());
        }
    }

    // Tyre PM10 36 g/h at 2 m²/g: 72 m²/h over 3600 s and 0.005 1/m gives 4 m³/s; at 5 m² the
    // air moves at 0.8 m/s, above a limit of 0.5 m/s. An available flow of 8 m³/s halves it.
    void visibilityGoverns()
    {
        Criteria criteria = plainCriteria();
        criteria.betaM2G = {3, 2, 3, 3};
        criteria.areaM2 = 5;
        criteria.maxAirSpeedMS = 0.5;
        criteria.availableFlowM3S = 8;
        const StretchDemand d =
            stretchDemand(airRun({1000}, {100}, {36}), 0, 1000, criteria, QLocale::c());
        compareFlow(d.visibilityM3S, 4);
        compareFlow(d.designM3S, 4);
        QCOMPARE(d.governing, Governing::Visibility);
        compareFlow(d.airSpeedMS, 0.8);
        QCOMPARE(d.warnings, QStringList{QStringLiteral(
                                 "Lufthastigheten 0.8 m/s är högre än högsta tillåtna 0.5 m/s.")});
        compareFlow(d.exitExtinctionPerM, 0.0025);
        compareFlow(d.exitNo2MgM3, 10 / 28.8); // 10 g/h over 8 m³/s
        compareFlow(d.meanNo2MgM3, 5 / 28.8);
    }

    // An admissible value not above the ambient one: no flow, no design, a plain sentence.
    void limitNotAboveAmbient()
    {
        Criteria criteria = plainCriteria();
        criteria.no2AmbientMgM3 = 1.0;
        const StretchDemand d = stretchDemand(airRun({1000}, {100}), 0, 1000, criteria);
        QVERIFY(!d.no2MeanM3S && !d.no2ExitM3S && !d.designM3S && !d.airSpeedMS);
        QVERIFY(!d.fromPortalM3S);
        QCOMPARE(d.governing, Governing::None);
        QCOMPARE(d.warnings.size(), 1);
        QVERIFY(d.warnings[0].startsWith(QStringLiteral("NO2-kravet kan inte uppfyllas")));
        compareFlow(d.visibilityM3S, 0);

        criteria = plainCriteria();
        criteria.extinctionAmbientPerM = 0.006;
        const StretchDemand v = stretchDemand(airRun({1000}, {100}), 0, 1000, criteria);
        QVERIFY(!v.visibilityM3S && !v.designM3S);
        QVERIFY(v.warnings.value(0).startsWith(QStringLiteral("Siktkravet kan inte uppfyllas")));
    }

    // NO2 demands grow with f and the stretch, visibility with β and the stretch.
    void scaling()
    {
        const std::vector<float> lengths = {120, 430, 75, 910};
        const std::vector<double> nox = {310, 45, 780, 120};
        const std::vector<double> tyre = {12, 3, 40, 7};
        Criteria criteria = plainCriteria();
        criteria.betaM2G = {0, 1.5, 0, 0};
        criteria.reverseAir = true;
        const StretchDemand base = stretchDemand(airRun(lengths, nox, tyre), 80, 1300, criteria);

        std::vector<float> longer;
        for (float length : lengths)
            longer.push_back(length * 4);
        criteria.no2Fraction *= 2;
        criteria.betaM2G[1] *= 3;
        const StretchDemand scaled = stretchDemand(airRun(longer, nox, tyre), 320, 5200, criteria);
        compareFlow(scaled.no2MeanM3S, *base.no2MeanM3S * 8);
        compareFlow(scaled.no2ExitM3S, *base.no2ExitM3S * 8);
        compareFlow(scaled.visibilityM3S, *base.visibilityM3S * 12);
    }

    // The report's section carries the parameters, the notes and each column of the table.
    void reportSection()
    {
        const Criteria criteria = plainCriteria();
        files::AirReport air{criteria, {QStringLiteral("k.ini"), true, {}}, {}};
        air.demands.push_back(stretchDemand(airRun({1000}, {100}), 0, 1000, criteria));
        air.demands.back().label = QStringLiteral("Totalt");
        QStringList texts;
        for (const auto &line :
             files::reportLines({}, results::Mode::PerKm, {}, QDateTime(), {}, &air))
            texts << line.text;
        QVERIFY(texts.contains(QStringLiteral("Kriteriefil: k.ini")));
        QVERIFY(texts.contains(QStringLiteral("Luftbehov NO2 utgång [m³/s]: 2.78")));
        QVERIFY(texts.contains(air::demandNotes().value(0)));
    }

    // A value out of its range is refused with the key and the value named.
    void valuesRefused()
    {
        const auto shipped = text::readWholeFile(kShippedCriteria);
        const auto file = parseCriteria(*shipped, QStringLiteral("k.ini"));
        QVERIFY2(file, qPrintable(file ? QString() : file.error().message));
        QCOMPARE(file->situations.size(), std::size_t(3));
        Criteria criteria = file->criteria;
        criteria.areaM2 = 0;
        QVERIFY(!checkCriteria(criteria, QStringLiteral("x")));
        // The line in the shipped file, what it becomes, and what the message says.
        const std::array<const char *, 3> cases[] = {
            {"extinction_admissible_per_m = 0.005", "extinction_admissible_per_m = 5",
             "extinction_admissible_per_m = 5 ligger utanför det rimliga intervallet "
             "0.001–0.05 1/m."},
            {"area_m2 = 60", "area_m2 = 0", "area_m2 = 0 ligger utanför"},
            {"beta_tyre_m2_g = 0.5", "beta_tyre_m2_g = -0.5",
             "beta_tyre_m2_g = -0.5 ligger utanför"},
            {"no2_fraction = 0.2", "no2_fraction = 0,2", "no2_fraction = \"0,2\" är inget tal"},
            {"max_air_speed_m_s = 10", "", "nyckeln max_air_speed_m_s saknas"},
            {"no2_criterion = mean", "no2_criterion = medel", "ska vara mean eller exit"},
        };
        for (const auto &[from, to, message] : cases) {
            QByteArray edited = *shipped;
            QVERIFY(edited.contains(from));
            const auto refused = parseCriteria(edited.replace(from, to), QStringLiteral("k.ini"));
            QVERIFY(!refused);
            const QString got = refused.error().message;
            QVERIFY2(got.startsWith(QStringLiteral("Luftkriterierna i filen k.ini")) &&
                         got.contains(QString::fromUtf8(message)),
                     qPrintable(got));
        }
    }

    // The .luft values go over the criteria file's: the situation's limits, then the area.
    void tunnelValuesOverFile()
    {
        const auto file = readCriteriaFile(kShippedCriteria);
        QVERIFY(file);
        files::TunnelAir tunnel{72.5, true, QStringLiteral("ko"), std::nullopt};
        const auto criteria = files::applyTunnelAir(*file, tunnel, QStringLiteral("t"));
        QVERIFY(criteria);
        QCOMPARE(criteria->extinctionAdmissiblePerM, 0.007);
        QCOMPARE(criteria->areaM2, 72.5);
        QVERIFY(criteria->reverseAir);
        tunnel.situation = QStringLiteral("okänd");
        QVERIFY(!files::applyTunnelAir(*file, tunnel, QStringLiteral("t")));
        QCOMPARE(files::airFilePath(QStringLiteral("/a/b/tunnel.v2.dat")),
                 QStringLiteral("/a/b/tunnel.v2.luft"));
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
