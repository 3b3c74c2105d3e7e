#include "core/files/report.h"

#include <QLocale>
#include <QTest>

using lv::files::ReportLine;
using lv::results::Mode;
using lv::results::ResultRow;
using Rows = std::vector<ResultRow>;

Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(Mode)

namespace {

ResultRow row(const QString &label, const QString &values)
{
    ResultRow r{label, {}};
    const QStringList split = values.split(u' ');
    std::copy(split.begin(), split.end(), r.values.begin());
    return r;
}

// Report lines written as one text: "|" between lines, "#" before a 14-point bold line, "*"
// before a bold 10-point one, "@" and the size after one of another size; the rest are plain
// 10 point. "~" stands for the rule of 57 hyphens.
QString lineText(const ReportLine &line)
{
    const QString text = QString(line.text).replace(QString(57, u'-'), u"~"_qs);
    if (line.pointSize == 14 && line.bold)
        return u'#' + text;
    return (line.bold ? u"*"_qs : QString()) + text +
           (line.pointSize == 10 ? QString() : u'@' + QString::number(line.pointSize));
}

// The title block, then the blocks; the normalisation line follows the mode.
QString report(const QString &date, const QString &normalisation, const QStringList &blocks)
{
    return u"#|#Emissionsberäkning tunnlar||"_qs + date + u"||Norra röret|"_qs + normalisation +
           u"||~"_qs + (blocks.isEmpty() ? QString() : u'|' + blocks.join(u'|'));
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
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("notice"); // the run's note on slopes, after the blocks
        const QString sv = QStringLiteral("2026-12-06 14:03:07");
        QTest::newRow("sv_SE empty list totals")
            << "sv_SE" << Mode::Totals << Rows() << report(sv, "Totala Effekter", {}) << QString();

        const ResultRow total = row("Totalt", "12,35 3, 1,2 ,45 5 0 0,004 , 2,567 x 310,2");
        QTest::newRow("sv_SE one row per km")
            << "sv_SE" << Mode::PerKm << Rows{total}
            << report(sv, "Effekter/km",
                      {"*Delsträcka: Totalt||Bränsle:|12,35 [l/km]||NOx:|3, [g/km]||"
                       "Avgaspartiklar:|1,2, varav PM10: ,45 [g/km]||"
                       "Däckspartiklar:|5,, varav PM10: , [g/km]||"
                       "Bromspartiklar:|,, varav PM10: , [g/km]||"
                       "Beläggningspartiklar:|2,57, varav PM10: x [g/km]||CO2:|310,2 [kg/km]|~|"})
            << QString();

        const ResultRow stretch = row("120,5 - 300", "7 0,5 1 0 2 0 3 0 4 0 99,999");
        const QString stretchBlock =
            "*Delsträcka: 120,5 - 300||Bränsle:|7, [l]||NOx:|,5 [g]||"
            "Avgaspartiklar:|1,, varav PM10: , [g]||Däckspartiklar:|2,, varav PM10: , [g]||"
            "Bromspartiklar:|3,, varav PM10: , [g]||Beläggningspartiklar:|4,, varav PM10: , [g]||"
            "CO2:|100, [kg]|~|";
        QTest::newRow("sv_SE two rows totals")
            << "sv_SE" << Mode::Totals << Rows{stretch, stretch}
            << report(sv, "Totala Effekter", {stretchBlock, stretchBlock}) << QString();
        const QString notice = QStringLiteral("Lutning utanför tabellernas -7…7 %");
        QTest::newRow("sv_SE with a notice")
            << "sv_SE" << Mode::Totals << Rows{stretch}
            << report(sv, "Totala Effekter", {stretchBlock}) + u'|' + notice << notice;

        const ResultRow point = row("0 - 250.5", "12.345 0.004 5 0 1 1 1 1 1 1 -0.5");
        QTest::newRow("en_US one row per km")
            << "en_US" << Mode::PerKm << Rows{point}
            << report("12/6/26 2:03:07 PM", "Effekter/km",
                      {"*Delsträcka: 0 - 250.5||Bränsle:|12.35 [l/km]||NOx:|. [g/km]||"
                       "Avgaspartiklar:|5., varav PM10: . [g/km]||"
                       "Däckspartiklar:|1., varav PM10: 1. [g/km]||"
                       "Bromspartiklar:|1., varav PM10: 1. [g/km]||"
                       "Beläggningspartiklar:|1., varav PM10: 1. [g/km]||CO2:|-.5 [kg/km]|~|"})
            << QString();
    }

    void lines()
    {
        QFETCH(QString, locale);
        QFETCH(Mode, mode);
        QFETCH(Rows, rows);
        QFETCH(QString, expected);
        QFETCH(QString, notice);
        QLocale::setDefault(QLocale(locale));
        QStringList actual;
        const QDateTime printedAt(QDate(2026, 12, 6), QTime(14, 3, 7));
        for (const ReportLine &line :
             lv::files::reportLines(u"Norra röret"_qs, mode, rows, printedAt, notice))
            actual << lineText(line);
        QCOMPARE(actual, expected.split(u'|'));
    }
};

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
