#include "core/calc/calculationrun.h"

#include <QtTest>

using namespace lv;
using namespace lv::calc;
using input::SegmentRow;

// The test workbooks hold y = A(slope) * M(quantity) * K(category) + V(speed) on every
// driving-profile sheet (A: -7 % 1, -5 % 2, -3 % 4, 0 % 8, 3 % 16, 5 % 32, 7 % 64; M: fuel 1 ..
// brake 5; K: 1, 10, 100, 1000; V: 20 km/h 0, 50 km/h 3, 80 km/h 9), and simple weights on the
// factor sheet, so every case below can be worked out by hand. Flows: Pb 100, Lb 10, Lbs 1.
namespace {

const QString kTestBooks = QStringLiteral(LUFTVAKA_TEST_DATA "/calc/");
const QString kShipped = QStringLiteral(LUFTVAKA_SOURCE_DIR "/data/");
const QLocale kSv(QStringLiteral("sv_SE"));

using enum SegmentRow::Cell;

// A segment of 100 m, every class at `speed`, flows 100, 10 and 1, and then the `changes`.
SegmentRow segment(const QString &slope, const QString &speed,
                   std::initializer_list<std::pair<SegmentRow::Cell, QString>> changes = {})
{
    SegmentRow row{"1", {"100", slope, speed, "100", speed, "10", speed, "1"}};
    for (const auto &[cell, text] : changes)
        row.cells[cell] = text;
    return row;
}

RunInput oneSegment(const SegmentRow &row, const QString &year = "2005", const QString &sps = "10",
                    const QString &share = "0")
{
    return RunInput{{row}, year, sps, share};
}

Expected<RunState> run(const RunInput &input, const QString &dir = kTestBooks)
{
    return computeRun(input, dir, {}, kSv);
}

QByteArray testBook(const QString &name)
{
    QFile file(kTestBooks + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A run on the test workbooks, the file `replace` holding `bytes` (none: left out).
Expected<RunState> runReplacing(const QString &replace, const std::optional<QByteArray> &bytes,
                                const RunInput &input = oneSegment(segment("0", "50")),
                                const QLocale &locale = kSv)
{
    QTemporaryDir dir;
    for (const QString name : {"pb_bara_glid_data.xls", "lb_bara_glid_data.xls", "faktorer.xls"}) {
        QFile out(dir.filePath(name));
        if (name != replace)
            QFile::copy(kTestBooks + name, out.fileName());
        else if (bytes && out.open(QIODevice::WriteOnly))
            out.write(*bytes);
    }
    return computeRun(input, dir.path(), {}, locale);
}

} // namespace

class TestCalc : public QObject
{
    Q_OBJECT

private slots:
    // Fuel of category 1 at 50 km/h: A(slope) + 3, between grid slopes interpolated, above
    // 7 % extrapolated from 5 % and 7 %, below -7 % held at -7 %; 2,5 rounds to 2, ties to even.
    void slopes()
    {
        const std::pair<const char *, float> cases[] = {{"-2", 7 + 4.0f / 3},
                                                        {"0", 11},
                                                        {"3", 19},
                                                        {"-7", 4},
                                                        {"7", 67},
                                                        {"9", 99},
                                                        {"-9", 4},
                                                        {"2,5", 11 + 16.0f / 3}};
        for (const auto &[slope, fuel] : cases)
            QCOMPARE(run(oneSegment(segment(slope, "50")))->profileFactors(1, 4, 0), fuel);
    }

    // Below -7 % a segment computes exactly as one at -7 %; the run counts the segments off the
    // grid and words the notice.
    void offGridSlopes()
    {
        const std::vector<SegmentRow> rows = {segment("-7", "35"), segment("-12", "35"),
                                              segment("7,4", "35"), segment("7,6", "35")};
        const auto steep = run({rows, "2005", "1", "0"});
        for (std::size_t k = 1; k <= 4; ++k) {
            for (std::size_t j = 4; j <= 8; ++j)
                QCOMPARE(steep->profileFactors(k, j, 1), steep->profileFactors(k, j, 0));
        }
        QCOMPARE(steep->offGridSlopes, 2); // -12 and 7,6 (rounded to 8); 7,4 rounds to 7
        QCOMPARE(offGridSlopeNotice(*steep),
                 u"Lutning utanför tabellernas -7…7 % i 2 segment: under -7 % räknas som -7 %, "
                 "över 7 % extrapoleras."_qs);
        QCOMPARE(offGridSlopeNotice(*run(oneSegment(segment("-7", "35")))), QString());
    }

    // The shipped workbooks at 50 km/h: -12 % takes the -7 % sheet's values; at 40 % fuel
    // extrapolates along 5 %..7 % (0,1093 -> 0,1375), while brake particles, which fall uphill,
    // would cross zero near 33 % and are held at 0. Every year, slope and speed range computes
    // from them without a fault or a label warning.
    void shippedWorkbooks()
    {
        const std::tuple<const char *, int, int, float> cases[] = {
            {"-12", 1, 4, 0.019f}, {"-12", 3, 5, 1.2f}, {"40", 1, 4, 0.1093f + 17.5f * 0.0282f},
            {"40", 1, 8, 0},       {"40", 3, 8, 0},
        };
        for (const auto &[slope, category, quantity, factor] : cases) {
            const auto steep = run(oneSegment(segment(slope, "50")), kShipped);
            QCOMPARE(steep->profileFactors(std::size_t(category), std::size_t(quantity), 0),
                     factor);
            QVERIFY(steep->workbooks.size() == 3 && steep->workbooks[2].demonstration &&
                    steep->workbooks[2].path.endsWith("/faktorer.xls"));
        }
        std::vector<SegmentRow> rows;
        for (int slope = -8; slope <= 8; ++slope) {
            for (const QString speed : {"10", "50", "50,5", "130"})
                rows.push_back(segment(QString::number(slope), speed));
        }
        QStringList warnings;
        for (const QString year : {"2005", "2010", "2020"}) {
            const auto all = computeRun(
                {rows, year, "1", "0,5"}, kShipped,
                [&](const QString &label) { warnings << label; }, kSv);
            QVERIFY2(all, qPrintable(all ? QString() : all.error().message));
        }
        QCOMPARE(warnings, QStringList());
    }

    // At 0 % fuel of category k at speed v is 8 K(k) + V(v), each category in its own block at
    // its own speed; speeds beyond the first and last key take that key's values.
    void speeds()
    {
        const std::pair<const char *, float> cases[] = {
            {"10", 8}, {"20", 8}, {"35", 9.5}, {"80", 17}, {"120", 17}};
        for (const auto &[speed, fuel] : cases) {
            const auto r = run(oneSegment(segment("0", speed)));
            QCOMPARE(r->profileFactors(1, 4, 0), fuel);
            QCOMPARE(r->profileFactors(2, 4, 0), fuel + 72);
            QCOMPARE(r->profileFactors(3, 4, 0), fuel + 792);
            QCOMPARE(r->profileFactors(4, 8, 0), fuel + 39992);
        }
        // A block without a closing empty key runs to the end of the sheet, to its last row.
        const auto open = runReplacing("pb_bara_glid_data.xls", testBook("pb_noclosing.xls"),
                                       oneSegment(segment("0", "120")));
        QCOMPARE(open->profileFactors(2, 4, 0), 89.0f);
    }

    // Class factors for fuel at 0 %, 50 km/h, from P1 = 11, P2 = 83, P3 = 803, P4 = 8003.
    // Passenger-car NOx takes the low-speed weights (2, 3) up to 50 km/h, the ordinary ones
    // (1, 1) above, and a correction of 2; trucks never take the low-speed weights.
    void classWeights()
    {
        const std::tuple<const char *, float, float, float> cases[] = {
            {"2005", 0.5 * 11 + 0.5 * 83, 803, 8003},
            {"2010", 0.5 * 2 * 83, 2 * 803, 2 * 8003},
            {"2020", 0.25 * 5 * 83, 6 * 803, 6 * 8003}};
        for (const auto &[year, passengerCar, truck, trailer] : cases) {
            const auto r = run(oneSegment(segment("0", "50"), year));
            QCOMPARE(float(r->classFactors(1, 4, 0)), passengerCar);
            QCOMPARE(float(r->classFactors(2, 4, 0)), truck);
            QCOMPARE(float(r->classFactors(3, 4, 0)), trailer);
            QCOMPARE(float(r->segmentRates(1, 0)), 100 * passengerCar + 10 * truck + trailer);
        }
        const auto low = run(oneSegment(segment("0", "50")));
        QCOMPARE(float(low->classFactors(1, 5, 0)), 2 * (0.5f * 2 * 19 + 0.5f * 3 * 163));
        QCOMPARE(float(low->classFactors(2, 5, 0)), 1603.0f);
        const auto high = run(oneSegment(segment("0", "50,5")));
        QCOMPARE(float(high->classFactors(1, 5, 0)), 2 * (0.5f * 19.1f + 0.5f * 163.1f));
    }

    // Road-surface wear, 100 m of Pb studded wear + 11 Wt, and its PM10: Wp = 0,05 and Wt =
    // 0,25 g/km; studded wear SPS 10 at 75 km/h, scaled by speed, never below the value of
    // 30 km/h; PM10 shares 0,2 unstudded, 0,3 studded, 0,1 of trucks.
    void roadWear()
    {
        const std::tuple<const char *, const char *, float, float> cases[] = {
            {"50", "0", 5 + 2.75f, 1 + 0.275f},
            {"75", "1", 1000 + 2.75f, 300 + 0.275f},
            {"50", "1", 1000 * 50 / 75.0f + 2.75f, 200 + 0.275f},
            {"20", "1", 400 + 2.75f, 120 + 0.275f},
            {"75", "0,5", 100 * (0.025f + 5) + 2.75f, 100 * (0.005f + 1.5f) + 0.275f}};
        for (const auto &[speed, share, wear, pm10] : cases) {
            const auto r = run(oneSegment(segment("0", speed), "2005", "10", share));
            QCOMPARE(float(r->segmentRates(6, 0)), wear);
            QCOMPARE(float(r->segmentRates(11, 0)), pm10);
        }
    }

    // CO2 from fuel; the PM10 parts of exhaust, tyre and brake particles are shares of them,
    // 0,9, 0,7, 0,5 of passenger cars' and 0,8, 0,6, 0,4 of trucks'.
    void co2AndPm10()
    {
        const auto both = run(oneSegment(segment("0", "50")));
        QCOMPARE(float(both->segmentRates(7, 0)), 2.43f * 100 * 47 + 2.54f * (10 * 803 + 8003));
        const auto cars = run(oneSegment(segment("-2", "65", {{LbFlow, "0"}, {LbsFlow, "0"}})));
        const auto trucks = run(oneSegment(segment("-2", "35", {{PbFlow, "0"}, {LbsSpeed, "90"}})));
        const float carShare[] = {0.9f, 0.7f, 0.5f}, truckShare[] = {0.8f, 0.6f, 0.4f};
        for (std::size_t q = 3; q <= 5; ++q) {
            QCOMPARE(float(cars->segmentRates(q + 5, 0) / cars->segmentRates(q, 0)),
                     carShare[q - 3]);
            QCOMPARE(float(trucks->segmentRates(q + 5, 0) / trucks->segmentRates(q, 0)),
                     truckShare[q - 3]);
        }
    }

    // Faults of the input, the first one checked: the message it starts with ("": none).
    // Rows are checked again, as an input file may hold values the segment dialog refuses.
    void inputFaults()
    {
        const auto seg = segment("0", "50");
        auto twelve = segment("0", "50", {{LbFlow, "-120"}});
        twelve.number = QStringLiteral("12");
        RunInput many{std::vector<SegmentRow>(32767, seg), "2005", "1", "0"}, tooMany = many;
        tooMany.rows.push_back(seg);
        const QString row1 = u"Rad 1 i segmentlistan (segment 1): "_qs;
        const QString fix = u" Rätta raden med Ändra..."_qs;
        const std::pair<RunInput, QString> cases[] = {
            {oneSegment(seg, "", "x"), u"Välj beräkningsår!"_qs},
            {oneSegment(seg, "2005", "-0,1"), u"Ogiltigt SPS-tal: -0,1"_qs},
            {oneSegment(seg, "2005", "a", "b"), u"Ogiltigt SPS-tal: a"_qs},
            {oneSegment(seg, "2005", "0", "1,01"), u"Ogiltig andel dubbade personbilar: 1,01"_qs},
            {oneSegment(seg, "2005", "0", "-0,01"), u"Ogiltig andel dubbade personbilar: -0,01"_qs},
            {oneSegment(segment("40000", "50")),
             u"Lutningen i segment 1 kan inte beräknas (högst ±32767 %): 40000"_qs},
            {oneSegment(segment("0", "50", {{Length, "0"}})),
             u"Tunnelns totala längd är 0 m. Summan av segmentens längder måste vara större än 0."_qs},
            {oneSegment(segment("0", "50", {{PbFlow, "3E+38"}})), u"Resultatet blev "_qs},
            {{{seg, twelve}, "2005", "1", "0"},
             u"Rad 2 i segmentlistan (segment 12): Lb, Flöde är mindre än 0 (-120)."_qs + fix},
            {oneSegment(segment("0", "50", {{Length, "-5"}})),
             row1 + u"Längd är mindre än 0 (-5)."_qs + fix},
            {oneSegment(segment("0", "50", {{LbSpeed, "-0,5"}})),
             row1 + u"Lb, Medelhastighet är mindre än 0 (-0,5)."_qs + fix},
            {oneSegment(segment("0", "50", {{LbsSpeed, "0"}})),
             row1 +
                 u"Lbs, Medelhastighet är 0 men Lbs, Flöde är 1; hastigheten måste vara "
                 "större än 0."_qs +
                 fix},
            {oneSegment(segment("0", "50", {{Length, "-5"}}), "2005", "x"),
             u"Ogiltigt SPS-tal: x"_qs},
            // Old files hold a zero speed for a class without traffic: it computes harmlessly.
            {oneSegment(segment("0", "50", {{LbSpeed, "0"}, {LbFlow, "0"}})), ""},
            {many, ""},
            {tooMany, u"För många segment: 32768. Högst 32767 segment kan beräknas."_qs}};
        for (const auto &[input, message] : cases) {
            const auto r = run(input);
            QCOMPARE(r ? QString() : r.error().message.left(message.size()), message);
            QVERIFY(r || r.error().kind == ErrorKind::InputCheck);
        }
        QCOMPARE(run({{}, "2005", "1", "0"}).error(),
                 (Error{ErrorKind::NoSegments, u"Ange minst ett tunnelsegment"_qs}));
        QCOMPARE(run(oneSegment(seg, "2015")).error(),
                 (Error{ErrorKind::InvalidYear, u" Ogiltigt beräkningsår "_qs}));
    }

    // Workbook faults: the error names the workbook and what is wrong in it.
    void workbookFaults()
    {
        // The workbook replaced, by what (none: left out), the slope, the locale, and words
        // the message must hold.
        const std::array<const char *, 5> cases[] = {
            {"lb_bara_glid_data.xls", nullptr, "0", "sv_SE", "lb_bara_glid_data.xls"},
            {"lb_bara_glid_data.xls", "lb_missingsheet.xls", "-4", "sv_SE",
             "lb_bara_glid_data.xls|LB -5%"},
            {"faktorer.xls", "faktorer_textcell.xls", "0", "sv_SE",
             "faktorer.xls|Faktorer|B44|abc"},
            {"faktorer.xls", "faktorer_localetext.xls", "0", "en_US", "B45|0,25"},
            {"faktorer.xls", "src/faktorer.txt", "0", "sv_SE", "faktorer.xls"}};
        for (const auto &[replace, with, slope, locale, mentions] : cases) {
            const auto r =
                runReplacing(replace, with ? std::optional(testBook(with)) : std::nullopt,
                             oneSegment(segment(slope, "50"), "2005", "1", "0"), QLocale(locale));
            QCOMPARE(r ? ErrorKind::InputCheck : r.error().kind, ErrorKind::Workbook);
            for (const QString &word : QString::fromUtf8(mentions).split(u'|'))
                QVERIFY2(r.error().message.contains(word), qPrintable(r.error().message));
        }
    }

    // Factors of a slope and speed seen before (kept from the first segment that had them) are
    // the factors that slope and speed give on their own, for Pb and Lb.
    void repeatedSpeeds()
    {
        const std::tuple<const char *, const char *, float, float> cases[] = {
            {"0", "50", 11, 803},  {"3", "80", 25, 1609}, {"0", "35", 9.5f, 801.5f},
            {"3", "50", 19, 1603}, {"0", "80", 17, 809},  {"3", "35", 17.5f, 1601.5f},
            {"0", "50", 11, 803},  {"3", "50", 19, 1603}, {"0", "35", 9.5f, 801.5f},
            {"3", "80", 25, 1609},
        };
        RunInput input{{}, "2005", "1", "0"};
        for (const auto &[slope, speed, pb, lb] : cases)
            input.rows.push_back(segment(slope, speed));
        const auto r = run(input);
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            QCOMPARE(r->profileFactors(1, 4, i), std::get<2>(cases[i]));
            QCOMPARE(r->profileFactors(3, 4, i), std::get<3>(cases[i]));
        }
    }

    // A weight cell without a number (an error cell) is a fault only where a segment uses it:
    // P11 weighs NOx of passenger cars at 50 km/h and below, P3 is never read.
    void weightCellsWithoutNumbers()
    {
        // The cell's RK record and row, the second segment's speed, whether the run computes.
        const std::tuple<const char *, const char *, const char *, bool> cases[] = {
            {"7e020a0002000f00", "0200", "60", true},
            {"7e020a0002000f00", "0200", "50", true},
            {"7e020a000a000f00", "0a00", "60", true},
            {"7e020a000a000f00", "0a00", "50", false},
        };
        for (const auto &[record, row, speed, computes] : cases) {
            QByteArray book = testBook("faktorer.xls");
            const qsizetype at = book.indexOf(QByteArray::fromHex(record));
            QVERIFY(at > 0);
            book.replace(at, 14,
                         QByteArray::fromHex(QByteArray("05020a00") + row + "0f000f002a010000"));
            const auto r =
                runReplacing("faktorer.xls", book,
                             {{segment("0", "80"), segment("0", speed)}, "2005", "1", "0"});
            QCOMPARE(r.ok(), computes);
            if (!computes)
                QVERIFY2(r.error().message.contains(u"P11"), qPrintable(r.error().message));
        }
    }

    // Wt (B45) of the factor sheet as a text or a boolean: road wear is 100 Wp + 11 Wt.
    void factorCells()
    {
        // Its record turned into a BOOLERR of the same length: TRUE, which counts as -1.
        QByteArray boolean = testBook("faktorer.xls");
        const qsizetype at = boolean.indexOf(QByteArray::fromHex("7e020a002c000100"));
        QVERIFY(at > 0);
        boolean.replace(at, 14, QByteArray::fromHex("05020a002c0001000f0001000000"));
        QCOMPARE(float(runReplacing("faktorer.xls", boolean)->segmentRates(6, 0)), 5 - 11.0f);
        const auto text = runReplacing("faktorer.xls", testBook("faktorer_localetext.xls"));
        QCOMPARE(float(text->segmentRates(6, 0)), 5 + 11 * 0.25f); // the text "0,25"
        QVERIFY(!text->workbooks[2].demonstration);                // test workbooks carry no marker
    }
};

QTEST_GUILESS_MAIN(TestCalc)
#include "tst_calc.moc"
