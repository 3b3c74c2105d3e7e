#include "core/air/airdemand.h"
#include "core/files/airfile.h"
#include "core/files/airreport.h"
#include "core/text/textfile.h"

#include <QTest>

using namespace lv;
using namespace lv::air;

namespace {

const QString kShippedCriteria = QStringLiteral(LUFTVAKA_SOURCE_DIR "/data/luftkriterier.ini");

// A run with these segment lengths (m), NOx rates and tyre PM10 rates (g/km per hour).
calc::RunState makeRun(const std::vector<float> &lengths, const std::vector<double> &nox,
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

class TestAir : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // Hand-computed NO2 demands: E in g/h of NO2 per part; mean = Σ E·(L − m)/L / 3.6, exit =
    // ΣE / 3.6, from the portal = the exit demand from the entry portal to the stretch's end.
    void no2Demands_data()
    {
        QTest::addColumn<std::vector<float>>("lengths");
        QTest::addColumn<std::vector<double>>("nox");
        QTest::addColumn<float>("start");
        QTest::addColumn<float>("stop");
        QTest::addColumn<bool>("reverse");
        QTest::addColumn<double>("mean");
        QTest::addColumn<double>("exit");
        QTest::addColumn<double>("fromPortal");
        const std::vector<float> two = {500, 500};
        const std::vector<double> twoNox = {200, 40}; // NO2 10 and 2 g/h
        // One segment: the mean is exactly half the exit demand.
        QTest::newRow("one segment") << std::vector<float>{1000} << std::vector<double>{100} << 0.0f
                                     << 1000.0f << false << 10 / 7.2 << 10 / 3.6 << 10 / 3.6;
        QTest::newRow("two, with the air")
            << two << twoNox << 0.0f << 1000.0f << false << 8 / 3.6 << 12 / 3.6 << 12 / 3.6;
        QTest::newRow("two, reversed")
            << two << twoNox << 0.0f << 1000.0f << true << 4 / 3.6 << 12 / 3.6 << 12 / 3.6;
        // 250..750 cuts both segments: parts of 5 and 1 g/h.
        QTest::newRow("cut, with the air")
            << two << twoNox << 250.0f << 750.0f << false << 4 / 3.6 << 6 / 3.6 << 11 / 3.6;
        QTest::newRow("cut, reversed")
            << two << twoNox << 250.0f << 750.0f << true << 2 / 3.6 << 6 / 3.6 << 7 / 3.6;
    }
    void no2Demands()
    {
        QFETCH(std::vector<float>, lengths);
        QFETCH(std::vector<double>, nox);
        QFETCH(float, start);
        QFETCH(float, stop);
        QFETCH(bool, reverse);
        QFETCH(double, mean);
        QFETCH(double, exit);
        QFETCH(double, fromPortal);
        Criteria criteria = plainCriteria();
        criteria.reverseAir = reverse;
        const StretchDemand d = stretchDemand(makeRun(lengths, nox), start, stop, criteria);
        compareFlow(d.no2MeanM3S, mean);
        compareFlow(d.no2ExitM3S, exit);
        compareFlow(d.designM3S, mean); // visibility needs nothing here
        QCOMPARE(d.governing, Governing::No2);
        compareFlow(d.fromPortalM3S, fromPortal);
        QVERIFY(d.warnings.isEmpty());
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
            stretchDemand(makeRun({1000}, {100}, {36}), 0, 1000, criteria, QLocale::c());
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
        const StretchDemand d = stretchDemand(makeRun({1000}, {100}), 0, 1000, criteria);
        QVERIFY(!d.no2MeanM3S && !d.no2ExitM3S && !d.designM3S && !d.airSpeedMS);
        QVERIFY(!d.fromPortalM3S);
        QCOMPARE(d.governing, Governing::None);
        QCOMPARE(d.warnings.size(), 1);
        QVERIFY(d.warnings[0].startsWith(QStringLiteral("NO2-kravet kan inte uppfyllas")));
        compareFlow(d.visibilityM3S, 0);

        criteria = plainCriteria();
        criteria.extinctionAmbientPerM = 0.006;
        const StretchDemand v = stretchDemand(makeRun({1000}, {100}), 0, 1000, criteria);
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
        const StretchDemand base = stretchDemand(makeRun(lengths, nox, tyre), 80, 1300, criteria);

        std::vector<float> longer;
        for (float length : lengths)
            longer.push_back(length * 4);
        criteria.no2Fraction *= 2;
        criteria.betaM2G[1] *= 3;
        const StretchDemand scaled = stretchDemand(makeRun(longer, nox, tyre), 320, 5200, criteria);
        compareFlow(scaled.no2MeanM3S, *base.no2MeanM3S * 8);
        compareFlow(scaled.no2ExitM3S, *base.no2ExitM3S * 8);
        compareFlow(scaled.visibilityM3S, *base.visibilityM3S * 12);
    }

    // The report's section carries the parameters, the notes and each column of the table.
    void reportSection()
    {
        const Criteria criteria = plainCriteria();
        files::AirReport air{criteria, {QStringLiteral("k.ini"), true, {}}, {}};
        air.demands.push_back(stretchDemand(makeRun({1000}, {100}), 0, 1000, criteria));
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
    void valuesRefused_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("message");
        QTest::newRow("extinction in 1e-3") << QByteArray("extinction_admissible_per_m = 0.005")
                                            << QByteArray("extinction_admissible_per_m = 5")
                                            << QStringLiteral("extinction_admissible_per_m = 5 "
                                                              "ligger utanför det rimliga "
                                                              "intervallet 0.001–0.05 1/m.");
        QTest::newRow("zero area") << QByteArray("area_m2 = 60") << QByteArray("area_m2 = 0")
                                   << QStringLiteral("area_m2 = 0 ligger utanför");
        QTest::newRow("negative beta")
            << QByteArray("beta_tyre_m2_g = 0.5") << QByteArray("beta_tyre_m2_g = -0.5")
            << QStringLiteral("beta_tyre_m2_g = -0.5 ligger utanför");
        QTest::newRow("decimal comma")
            << QByteArray("no2_fraction = 0.2") << QByteArray("no2_fraction = 0,2")
            << QStringLiteral("no2_fraction = \"0,2\" är inget tal");
        QTest::newRow("missing") << QByteArray("max_air_speed_m_s = 10") << QByteArray()
                                 << QStringLiteral("nyckeln max_air_speed_m_s saknas");
        QTest::newRow("criterion")
            << QByteArray("no2_criterion = mean") << QByteArray("no2_criterion = medel")
            << QStringLiteral("ska vara mean eller exit");
    }
    void valuesRefused()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, message);
        const auto shipped = text::readWholeFile(kShippedCriteria);
        QVERIFY(shipped);
        const auto file = parseCriteria(*shipped, QStringLiteral("k.ini"));
        QVERIFY2(file, qPrintable(file ? QString() : file.error().message));
        QCOMPARE(file->situations.size(), std::size_t(3));
        QByteArray edited = *shipped;
        QVERIFY(edited.contains(from));
        edited.replace(from, to);
        const auto refused = parseCriteria(edited, QStringLiteral("k.ini"));
        QVERIFY(!refused);
        QVERIFY2(
            refused.error().message.startsWith(QStringLiteral("Luftkriterierna i filen k.ini")),
            qPrintable(refused.error().message));
        QVERIFY2(refused.error().message.contains(message), qPrintable(refused.error().message));

        Criteria criteria = file->criteria;
        criteria.areaM2 = 0;
        QVERIFY(!checkCriteria(criteria, QStringLiteral("x")));
    }

    // The .luft values go over the criteria file's: the situation's limits, then the area.
    void tunnelValuesOverFile()
    {
        const auto file = readCriteriaFile(kShippedCriteria);
        QVERIFY(file);
        files::TunnelAir tunnel{72.5, true, QStringLiteral("ko"), std::nullopt};
        const auto read = files::parseAirFile(files::writeAirFile(tunnel), QStringLiteral("t"));
        QVERIFY(read);
        QCOMPARE(*read, tunnel);
        const auto criteria = files::applyTunnelAir(*file, *read, QStringLiteral("t"));
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

QTEST_GUILESS_MAIN(TestAir)
#include "tst_air.moc"
