#include "core/files/inputfile.h"

#include <QFile>
#include <QLocale>
#include <QTest>

using lv::Error;
using lv::MessageIcon;
using lv::files::InputDocument;
using lv::input::SegmentRow;

Q_DECLARE_METATYPE(InputDocument)

// Shown by QCOMPARE when two documents differ.
namespace lv::files {
char *toString(const InputDocument &d)
{
    QStringList parts = {d.scenario, d.year};
    for (const SegmentRow &r : d.rows)
        parts << r.number + u':' + QStringList(r.cells.begin(), r.cells.end()).join(u'|');
    parts << d.sps << d.studdedShare;
    return QTest::toString(u'[' + parts.join(QStringLiteral("] [")) + u']');
}
} // namespace lv::files

namespace {

const QDateTime kSavedAt(QDate(2026, 12, 6), QTime(14, 3, 7));

QByteArray dataFile(const QString &name)
{
    QFile file(QStringLiteral(LUFTVAKA_TEST_DATA "/files/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", qPrintable(name));
    return file.readAll();
}

// The lines of a file as bytes, CR LF after each.
QByteArray fileOf(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

SegmentRow row(const QString &number, const QStringList &cells)
{
    SegmentRow r;
    r.number = number;
    for (std::size_t i = 0; i < r.cells.size(); ++i)
        r.cells[i] = cells.value(qsizetype(i));
    return r;
}

// The three-segment input as the user typed it, in a locale with this decimal separator.
InputDocument threeTyped(const QString &dp)
{
    const auto n = [&dp](QString s) { return s.replace(u',', dp); };
    return InputDocument{QStringLiteral("Södra länken\tår 2020\tfall Ö"),
                         QStringLiteral("2020"),
                         {row("1", {"250", n("-2,5"), "70", "1200", "70", "150", "60", "40"}),
                          row("2", {n("12,50"), "0", "80", n("900,5"), "75", "100", "70", "20"}),
                          row("07", {"300", "3", "90", "800", "80", n("90,0"), "80", "10"})},
                         n("4,7"),
                         n("0,6")};
}

// The same input as reading the file gives it back: every number in its normal form.
InputDocument threeRead(const QString &dp)
{
    InputDocument d = threeTyped(dp);
    d.rows[1].cells[SegmentRow::Length] = QStringLiteral("12") + dp + QStringLiteral("5");
    d.rows[2].number = QStringLiteral("7");
    d.rows[2].cells[SegmentRow::LbFlow] = QStringLiteral("90");
    return d;
}

InputDocument emptyList()
{
    return InputDocument{QStringLiteral("Tom"), QString(), {}, "3", "0,5"};
}

// The lines of the three-segment Swedish file, for breaking them one way or another.
QStringList threeLines()
{
    const QByteArray bytes = dataFile(QStringLiteral("input_three_sv_SE.dat"));
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    lines.removeLast(); // after the last line end
    return lines;
}

} // namespace

class TestInputFile : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void writeGivesTheFile_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<InputDocument>("document");
        QTest::addColumn<QString>("file");
        QTest::newRow("sv_SE three segments")
            << "sv_SE" << threeTyped(",") << "input_three_sv_SE.dat";
        QTest::newRow("en_US three segments")
            << "en_US" << threeTyped(".") << "input_three_en_US.dat";
        QTest::newRow("sv_SE empty list") << "sv_SE" << emptyList() << "input_empty_sv_SE.dat";
    }

    void writeGivesTheFile()
    {
        QFETCH(QString, locale);
        QFETCH(InputDocument, document);
        QFETCH(QString, file);
        QLocale::setDefault(QLocale(locale));
        const auto bytes = lv::files::writeInputFile(document, kSavedAt);
        QVERIFY2(bytes.ok(), qPrintable(bytes.ok() ? QString() : bytes.error().message));
        QCOMPARE(*bytes, dataFile(file));
    }

    void readGivesNormalisedInput_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("file");
        QTest::addColumn<InputDocument>("expected");
        QTest::newRow("sv_SE three segments") << "sv_SE"
                                              << "input_three_sv_SE.dat" << threeRead(",");
        QTest::newRow("en_US three segments") << "en_US"
                                              << "input_three_en_US.dat" << threeRead(".");
        QTest::newRow("sv_SE empty list") << "sv_SE"
                                          << "input_empty_sv_SE.dat" << emptyList();
    }

    void readGivesNormalisedInput()
    {
        QFETCH(QString, locale);
        QFETCH(QString, file);
        QFETCH(InputDocument, expected);
        QLocale::setDefault(QLocale(locale));
        const QByteArray crlf = dataFile(file);
        QByteArray lf = crlf;
        lf.replace("\r\n", "\n");
        QByteArray cr = crlf;
        cr.replace("\r\n", "\r");
        QByteArray noLastEnd = crlf;
        noLastEnd.chop(2);
        for (const QByteArray &bytes : {crlf, lf, cr, noLastEnd}) {
            const auto document = lv::files::readInputFile(bytes);
            QVERIFY2(document.ok(),
                     qPrintable(document.ok() ? QString() : document.error().message));
            QCOMPARE(*document, expected);
        }
    }

    void roundTrip_data()
    {
        QTest::addColumn<InputDocument>("written");
        QTest::addColumn<InputDocument>("read");
        const InputDocument three = threeTyped(",");
        QTest::newRow("normalised") << three << threeRead(",");

        InputDocument ties = three;
        ties.rows[0].number = QStringLiteral("2,5");
        ties.rows[1].number = QStringLiteral("3,5");
        ties.rows[2].number = QStringLiteral(" -4,5 ");
        InputDocument tiesRead = threeRead(",");
        tiesRead.rows[0].number = QStringLiteral("2");
        tiesRead.rows[1].number = QStringLiteral("4");
        tiesRead.rows[2].number = QStringLiteral("-4");
        QTest::newRow("segment numbers round to even") << ties << tiesRead;

        InputDocument general = three;
        general.rows[0].cells[SegmentRow::Length] = QStringLiteral("100000000");
        general.rows[0].cells[SegmentRow::Slope] = QStringLiteral("0,000012");
        general.rows[0].cells[SegmentRow::PbFlow] = QStringLiteral("1234,5678");
        InputDocument generalRead = threeRead(",");
        generalRead.rows[0].cells[SegmentRow::Length] = QStringLiteral("1E+08");
        generalRead.rows[0].cells[SegmentRow::Slope] = QStringLiteral("1,2E-05");
        generalRead.rows[0].cells[SegmentRow::PbFlow] = QStringLiteral("1234,568");
        QTest::newRow("seven significant digits") << general << generalRead;

        InputDocument halfDone = three;
        halfDone.sps.clear();
        halfDone.studdedShare = QStringLiteral("  ");
        halfDone.year.clear();
        InputDocument halfDoneRead = threeRead(",");
        halfDoneRead.sps.clear();
        halfDoneRead.studdedShare.clear();
        halfDoneRead.year.clear();
        QTest::newRow("empty year and wear fields") << halfDone << halfDoneRead;

        InputDocument symbols = emptyList();
        symbols.scenario = QStringLiteral("€ “tunnel” – ÅÄÖ åäö ü");
        QTest::newRow("code page characters") << symbols << symbols;
    }

    void roundTrip()
    {
        QFETCH(InputDocument, written);
        QFETCH(InputDocument, read);
        QLocale::setDefault(QLocale(QStringLiteral("sv_SE")));
        const auto bytes = lv::files::writeInputFile(written, kSavedAt);
        QVERIFY(bytes.ok());
        const auto back = lv::files::readInputFile(*bytes);
        QVERIFY2(back.ok(), qPrintable(back.ok() ? QString() : back.error().message));
        QCOMPARE(*back, read);
    }

    void swedishLettersAreSingleBytes()
    {
        InputDocument d = emptyList();
        d.scenario = QStringLiteral("åäö");
        const auto bytes = lv::files::writeInputFile(d, kSavedAt);
        QVERIFY(bytes.ok());
        QVERIFY(bytes->contains(QByteArray("\r\n\xE5\xE4\xF6\r\n")));
        QVERIFY(!bytes->startsWith("\xEF\xBB\xBF"));
    }

    void dateLineNeverStopsSaving()
    {
        // Some locales write their time with characters outside the code page.
        QLocale::setDefault(QLocale(QStringLiteral("ja_JP")));
        InputDocument d = emptyList();
        d.studdedShare = QStringLiteral("0.5");
        const auto bytes = lv::files::writeInputFile(d, kSavedAt);
        QVERIFY(bytes.ok());
        const auto back = lv::files::readInputFile(*bytes);
        QVERIFY(back.ok());
        QCOMPARE(*back, d);
    }

    void wrongFirstLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray rest = dataFile(QStringLiteral("input_three_sv_SE.dat"));
        rest = rest.mid(rest.indexOf('\n') + 1);
        QTest::newRow("trailing blank") << "Emissionsber\xE4kning tunnlar: Indata \r\n" + rest;
        QTest::newRow("small i") << "Emissionsber\xE4kning tunnlar: indata\r\n" + rest;
        QTest::newRow("UTF-8 BOM") << "\xEF\xBB\xBF"
                                      "Emissionsber\xE4kning tunnlar: Indata\r\n" +
                                          rest;
        QTest::newRow("result file") << dataFile(QStringLiteral("result_perkm_sv_SE.eff"));
        QTest::newRow("empty file") << QByteArray();
    }

    void wrongFirstLine()
    {
        QFETCH(QByteArray, bytes);
        const auto document = lv::files::readInputFile(bytes);
        QVERIFY(!document.ok());
        QCOMPARE(document.error(), (Error{QStringLiteral("Ogiltig indatafil"),
                                          QStringLiteral("Indata fel"), MessageIcon::Exclamation}));
    }

    void contentFaults_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("message");
        const QStringList three = threeLines();
        QCOMPARE(three.size(), 14);

        const char *endings[] = {
            nullptr,
            "före scenariot",
            "före scenariot",
            "före scenariot",
            "före året",
            "före antalet segment",
            "före segmentraderna",
            "före segmentraderna",
            "efter 0 av 3 segmentrader",
            "efter 1 av 3 segmentrader",
            "efter 2 av 3 segmentrader",
            "före SPS-talet och andelen dubbade Pb",
            "före SPS-talet och andelen dubbade Pb",
            "före SPS-talet och andelen dubbade Pb",
        };
        for (int kept = 1; kept < 14; ++kept) {
            QTest::addRow("ends after line %d", kept)
                << "sv_SE" << three.first(kept)
                << QStringLiteral("filen slutar på rad %1, %2.")
                       .arg(kept)
                       .arg(QString::fromUtf8(endings[kept]));
        }

        const auto changed = [&three](int lineNo, const QString &line) {
            QStringList lines = three;
            lines[lineNo - 1] = line;
            return lines;
        };
        const auto field = [&three, &changed](int lineNo, int fieldNo, const QString &text) {
            QStringList fields = three[lineNo - 1].split(u'\t');
            fields[fieldNo - 1] = text;
            return changed(lineNo, fields.join(u'\t'));
        };
        const auto add = [](const char *name, const QStringList &lines, const QString &message,
                            const char *locale = "sv_SE") {
            QTest::newRow(name) << QString::fromLatin1(locale) << lines << message;
        };

        add("year 2015", changed(5, "2015"),
            "året på rad 5 är varken tomt, 2005, 2010 eller 2020: \"2015\".");
        add("count not a number", changed(6, " tre "),
            "antalet segment på rad 6 är inget tal: \" tre \".");
        add("count negative", changed(6, " -1 "),
            "antalet segment på rad 6 ligger utanför 0 till 32767: \" -1 \".");
        add("count 40000", changed(6, "40000"),
            "antalet segment på rad 6 ligger utanför 0 till 32767: \"40000\".");
        add("count too large", changed(6, " 4 "), "rad 12 har för få fält (9 behövs).");
        add("count too small", changed(6, " 2 "), "fält 1 på rad 13 är inget tal: \"SPS-tal:\".");

        QStringList eight = three[9].split(u'\t');
        eight.removeLast();
        add("segment line with 8 fields", changed(10, eight.join(u'\t')),
            "rad 10 har för få fält (9 behövs).");
        add("empty segment line", changed(11, ""), "rad 11 har för få fält (9 behövs).");
        add("number not a number", field(9, 1, "ett"), "fält 1 på rad 9 är inget tal: \"ett\".");
        add("number 40000", field(10, 1, "40000"),
            "fält 1 på rad 10 ligger utanför -32768 till 32767: \"40000\".");
        add("slope abc", field(10, 3, "abc"), "fält 3 på rad 10 är inget tal: \"abc\".");
        add("decimal point under sv_SE", field(9, 4, "70.5"),
            "fält 4 på rad 9 är inget tal: \"70.5\".");
        add("Lbs flow empty", field(11, 9, ""), "fält 9 på rad 11 är inget tal: \"\".");
        add("flow beyond single", field(9, 5, "1E+39"),
            "fält 5 på rad 9 ligger utanför talområdet: \"1E+39\".");
        add("Swedish file under en_US", three, "fält 3 på rad 9 är inget tal: \"-2,5\".", "en_US");

        add("wear line with 1 field", changed(14, "4,7"), "rad 14 har för få fält (2 behövs).");
        add("wear line empty", changed(14, ""), "rad 14 har för få fält (2 behövs).");
        add("SPS not a number", field(14, 1, "fyra"), "fält 1 på rad 14 är inget tal: \"fyra\".");
        add("share not a number", field(14, 2, "60 %"), "fält 2 på rad 14 är inget tal: \"60 %\".");
    }

    void contentFaults()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, lines);
        QFETCH(QString, message);
        QLocale::setDefault(QLocale(locale));
        const auto document = lv::files::readInputFile(fileOf(lines));
        QVERIFY(!document.ok());
        QCOMPARE(document.error(), (Error{QStringLiteral("Ogiltig indatafil: ") + message,
                                          QStringLiteral("Indata fel"), MessageIcon::Exclamation}));
    }

    void ignoredLinesAndFields()
    {
        QLocale::setDefault(QLocale(QStringLiteral("sv_SE")));
        QStringList lines = threeLines();
        lines[1] = QStringLiteral("igår");
        lines[2] = QStringLiteral("vad som helst");
        lines[6] = QStringLiteral("x");
        lines[7] = QStringLiteral("inga rubriker");
        lines[8] += QStringLiteral("\textra\t\t");
        lines[11] = QStringLiteral("inte tom");
        lines[12] = QString();
        lines[13] += QStringLiteral("\tmer");
        lines << QStringLiteral("efter slutet") << QStringLiteral("\t\t");
        const auto document = lv::files::readInputFile(fileOf(lines));
        QVERIFY2(document.ok(), qPrintable(document.ok() ? QString() : document.error().message));
        QCOMPARE(*document, threeRead(","));
    }

    void writeRefusesWhatTheFileCannotHold_data()
    {
        QTest::addColumn<InputDocument>("document");
        QTest::addColumn<QStringList>("named");
        InputDocument d = threeTyped(",");
        d.scenario = QStringLiteral("Tunnel Ж");
        QTest::newRow("cyrillic in scenario") << d << QStringList{"Scenariot", "U+0416"};
        d = threeTyped(",");
        d.rows[1].cells[SegmentRow::Slope] = QStringLiteral("\u22122");
        QTest::newRow("minus sign in slope")
            << d << QStringList{"Lutning på rad 2 i segmentlistan", "U+2212"};
        d = threeTyped(",");
        d.studdedShare = QStringLiteral("½ ≈ 0,5");
        QTest::newRow("approx in share") << d << QStringList{"Andelen dubbade Pb", "U+2248"};
        d = threeTyped(",");
        d.scenario = QStringLiteral("två\r\nrader");
        QTest::newRow("line break in scenario") << d << QStringList{"Scenariot", "radbrytning"};
        d = threeTyped(",");
        d.rows[0].cells[SegmentRow::Length] = QStringLiteral("250\t");
        QTest::newRow("TAB after a length")
            << d << QStringList{"Längd på rad 1 i segmentlistan", "tabbtecken"};
        d = threeTyped(",");
        d.sps = QStringLiteral("4\t7");
        QTest::newRow("TAB in SPS") << d << QStringList{"SPS-talet", "tabbtecken"};
        d = emptyList();
        d.rows.resize(32768);
        QTest::newRow("more rows than the count holds") << d << QStringList{"32768", "32767"};
    }

    void writeRefusesWhatTheFileCannotHold()
    {
        QFETCH(InputDocument, document);
        QFETCH(QStringList, named);
        const auto bytes = lv::files::writeInputFile(document, kSavedAt);
        QVERIFY(!bytes.ok());
        for (const QString &part : named)
            QVERIFY2(bytes.error().message.contains(part), qPrintable(bytes.error().message));
    }
};

QTEST_GUILESS_MAIN(TestInputFile)
#include "tst_inputfile.moc"
