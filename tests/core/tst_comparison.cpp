#include "core/results/comparison.h"

#include <QTemporaryDir>
#include <QTest>

using namespace lv;
using namespace lv::results;

namespace {

const QLocale kC = QLocale::c();
const QString kBooks = QStringLiteral(LUFTVAKA_TEST_DATA "/calc/");
using Kind = ComparisonCell::Kind;

// Two segments of 400 m and 600 m, every class with `flow` vehicles per hour.
calc::RunInput tunnel(const QString &year, const QString &flow, const QString &secondLength)
{
    calc::RunInput input{{}, year, QStringLiteral("10"), QStringLiteral("0.5")};
    for (const QString &length : {QStringLiteral("400"), secondLength}) {
        input.rows.push_back(
            input::SegmentRow{QString::number(input.rows.size() + 1),
                              {length, QStringLiteral("2"), QStringLiteral("70"), flow,
                               QStringLiteral("70"), flow, QStringLiteral("70"), flow}});
    }
    return input;
}

calc::RunState run(const calc::RunInput &input)
{
    auto state = calc::computeRun(input, kBooks, {}, kC);
    if (!state)
        qFatal("%s", qPrintable(state.error().message));
    return std::move(state).value();
}

} // namespace

class TestComparison : public QObject
{
    Q_OBJECT

private slots:
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
};

QTEST_GUILESS_MAIN(TestComparison)
#include "tst_comparison.moc"
