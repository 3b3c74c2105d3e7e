#include "core/files/inputfile.h"

#include <QFile>
#include <QLocale>
#include <QTest>

using lv::Error;
using lv::ErrorKind;
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

SegmentRow row(const QString &number, const QString &cells)
{
    SegmentRow r{number, {}};
    const QStringList split = cells.split(u' ');
    std::copy(split.begin(), split.end(), r.cells.begin());
    return r;
}

// The three-segment input as the user typed it, in a locale with this decimal separator.
InputDocument threeTyped(const QString &dp)
{
    const auto n = [&dp](QString s) { return s.replace(u',', dp); };
    return InputDocument{QStringLiteral("Södra länken\tår 2020\tfall Ö"),
                         QStringLiteral("2020"),
                         {row("1", n("250 -2,5 70 1200 70 150 60 40")),
                          row("2", n("12,50 0 80 900,5 75 100 70 20")),
                          row("07", n("300 3 90 800 80 90,0 80 10"))},
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
    return QString::fromLatin1(dataFile(QStringLiteral("input_three_sv_SE.dat")))
        .split(QStringLiteral("\r\n"))
        .first(14);
}

QByteArray fileOf(const QStringList &lines)
{
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1();
}

} // namespace

class TestInputFile : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // Written byte for byte as the committed file; read back from it (with any line ends) in
    // the normal form of its numbers.
    void committedFiles_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<InputDocument>("typed");
        QTest::addColumn<InputDocument>("read");
        QTest::addColumn<QString>("file");
        QTest::newRow("sv_SE three segments")
            << "sv_SE" << threeTyped(",") << threeRead(",") << "input_three_sv_SE.dat";
        QTest::newRow("en_US three segments")
            << "en_US" << threeTyped(".") << threeRead(".") << "input_three_en_US.dat";
        QTest::newRow("sv_SE empty list")
            << "sv_SE" << emptyList() << emptyList() << "input_empty_sv_SE.dat";
    }

    void committedFiles()
    {
        QFETCH(QString, locale);
        QFETCH(InputDocument, typed);
        QFETCH(InputDocument, read);
        QFETCH(QString, file);
        QLocale::setDefault(QLocale(locale));
        const auto bytes = lv::files::writeInputFile(typed, kSavedAt);
        QVERIFY2(bytes.ok(), qPrintable(bytes.ok() ? QString() : bytes.error().message));
        QCOMPARE(*bytes, dataFile(file));
        const QByteArray crlf = *bytes;
        for (const QByteArray &ends : {crlf, QByteArray(crlf).replace("\r\n", "\n"),
                                       QByteArray(crlf).replace("\r\n", "\r"), crlf.chopped(2)}) {
            const auto document = lv::files::readInputFile(ends);
            QVERIFY2(document.ok(),
                     qPrintable(document.ok() ? QString() : document.error().message));
            QCOMPARE(*document, read);
        }
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<InputDocument>("written");
        QTest::addColumn<InputDocument>("read");
        InputDocument ties = threeTyped(","), tiesRead = threeRead(",");
        for (std::size_t i = 0; i < 3; ++i) {
            ties.rows[i].number = QStringList{"2,5", "3,5", " -4,5 "}[qsizetype(i)];
            tiesRead.rows[i].number = QStringList{"2", "4", "-4"}[qsizetype(i)];
        }
        QTest::newRow("segment numbers round to even") << "sv_SE" << ties << tiesRead;
        InputDocument general = threeTyped(","), generalRead = threeRead(",");
        general.rows[0].cells = row("", "100000000 0,000012 70 1234,5678 70 150 60 40").cells;
        generalRead.rows[0].cells = row("", "1E+08 1,2E-05 70 1234,568 70 150 60 40").cells;
        QTest::newRow("seven significant digits") << "sv_SE" << general << generalRead;
        InputDocument halfDone = threeTyped(","), halfDoneRead = threeRead(",");
        halfDone.year = halfDone.sps = halfDoneRead.year = halfDoneRead.sps = QString();
        halfDoneRead.studdedShare = QString();
        halfDone.studdedShare = QStringLiteral("  ");
        QTest::newRow("empty year and wear fields") << "sv_SE" << halfDone << halfDoneRead;
        InputDocument symbols = emptyList();
        symbols.scenario = QStringLiteral("€ “tunnel” – ÅÄÖ åäö ü");
        QTest::newRow("code page characters") << "sv_SE" << symbols << symbols;
        // Some locales write their time with characters outside the code page.
        InputDocument japanese = emptyList();
        japanese.studdedShare = QStringLiteral("0.5");
        QTest::newRow("date line under ja_JP") << "ja_JP" << japanese << japanese;
    }

    void roundTrip()
    {
        QFETCH(QString, locale);
        QFETCH(InputDocument, written);
        QFETCH(InputDocument, read);
        QLocale::setDefault(QLocale(locale));
        const auto bytes = lv::files::writeInputFile(written, kSavedAt);
        QVERIFY(bytes.ok());
        const auto back = lv::files::readInputFile(*bytes);
        QVERIFY2(back.ok(), qPrintable(back.ok() ? QString() : back.error().message));
        QCOMPARE(*back, read);
    }

    void wrongFirstLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray rest = fileOf(threeLines().mid(1));
        QTest::newRow("trailing blank") << "Emissionsber\xE4kning tunnlar: Indata \r\n" + rest;
        QTest::newRow("small i") << "Emissionsber\xE4kning tunnlar: indata\r\n" + rest;
        QTest::newRow("UTF-8 BOM") << "\xEF\xBB\xBF" + fileOf(threeLines());
        QTest::newRow("result file") << dataFile(QStringLiteral("result_perkm_sv_SE.eff"));
        QTest::newRow("empty file") << QByteArray();
    }

    void wrongFirstLine()
    {
        QFETCH(QByteArray, bytes);
        const auto document = lv::files::readInputFile(bytes);
        QVERIFY(!document.ok());
        QCOMPARE(document.error(),
                 (Error{ErrorKind::InputFile, QStringLiteral("Ogiltig indatafil")}));
    }

    void contentFaults_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("message");
        const QStringList three = threeLines();
        // What the file ends before, after each of its lines.
        const QStringList before = {"",
                                    "före scenariot",
                                    "före scenariot",
                                    "före scenariot",
                                    "före året",
                                    "före antalet segment",
                                    "före segmentraderna",
                                    "före segmentraderna",
                                    "efter 0 av 3 segmentrader",
                                    "efter 1 av 3 segmentrader",
                                    "efter 2 av 3 segmentrader"};
        for (int kept = 1; kept < 14; ++kept) {
            QTest::addRow("ends after line %d", kept)
                << "sv_SE" << three.first(kept)
                << QStringLiteral("filen slutar på rad %1, %2.")
                       .arg(kept)
                       .arg(before.value(kept,
                                         QStringLiteral("före SPS-talet och andelen dubbade Pb")));
        }
        const auto add = [&three](const char *name, int lineNo, int fieldNo, const QString &text,
                                  const QString &message) {
            QStringList lines = three;
            QStringList fields = lines[lineNo - 1].split(u'\t');
            if (fieldNo)
                fields[fieldNo - 1] = text;
            else
                fields.removeLast();
            lines[lineNo - 1] = fields.join(u'\t');
            QTest::newRow(name) << "sv_SE" << lines << message;
        };
        add("year 2015", 5, 1, "2015",
            "året på rad 5 är varken tomt, 2005, 2010 eller 2020: \"2015\".");
        add("count not a number", 6, 1, " tre ",
            "antalet segment på rad 6 är inget tal: \" tre \".");
        add("count negative", 6, 1, " -1 ",
            "antalet segment på rad 6 ligger utanför 0 till 32767: \" -1 \".");
        add("count 40000", 6, 1, "40000",
            "antalet segment på rad 6 ligger utanför 0 till 32767: \"40000\".");
        add("count too large", 6, 1, " 4 ", "rad 12 har för få fält (9 behövs).");
        add("count too small", 6, 1, " 2 ", "fält 1 på rad 13 är inget tal: \"SPS-tal:\".");
        add("segment line with 8 fields", 10, 0, "", "rad 10 har för få fält (9 behövs).");
        add("number not a number", 9, 1, "ett", "fält 1 på rad 9 är inget tal: \"ett\".");
        add("number 40000", 10, 1, "40000",
            "fält 1 på rad 10 ligger utanför -32768 till 32767: \"40000\".");
        add("slope abc", 10, 3, "abc", "fält 3 på rad 10 är inget tal: \"abc\".");
        add("Lbs flow empty", 11, 9, "", "fält 9 på rad 11 är inget tal: \"\".");
        add("flow beyond single", 9, 5, "1E+39",
            "fält 5 på rad 9 ligger utanför talområdet: \"1E+39\".");
        add("wear line with 1 field", 14, 0, "", "rad 14 har för få fält (2 behövs).");
        add("share not a number", 14, 2, "60 %", "fält 2 på rad 14 är inget tal: \"60 %\".");
        QTest::newRow("Swedish file under en_US")
            << "en_US" << three << "fält 3 på rad 9 är inget tal: \"-2,5\".";
    }

    void contentFaults()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, lines);
        QFETCH(QString, message);
        QLocale::setDefault(QLocale(locale));
        const auto document = lv::files::readInputFile(fileOf(lines));
        QVERIFY(!document.ok());
        QCOMPARE(document.error(),
                 (Error{ErrorKind::InputFile, QStringLiteral("Ogiltig indatafil: ") + message}));
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
        const auto add = [](const char *name, void (*change)(InputDocument &),
                            const QStringList &named) {
            InputDocument d = threeTyped(",");
            change(d);
            QTest::newRow(name) << d << named;
        };
        add("cyrillic in scenario", [](InputDocument &d) { d.scenario = "Tunnel Ж"; },
            {"Scenariot", "U+0416"});
        add("minus sign in slope",
            [](InputDocument &d) { d.rows[1].cells[SegmentRow::Slope] = "\u22122"; },
            {"Lutning på rad 2 i segmentlistan", "U+2212"});
        add("line break in scenario", [](InputDocument &d) { d.scenario = "två\r\nrader"; },
            {"Scenariot", "radbrytning"});
        add("TAB after a length",
            [](InputDocument &d) { d.rows[0].cells[SegmentRow::Length] = "250\t"; },
            {"Längd på rad 1 i segmentlistan", "tabbtecken"});
        add("TAB in SPS", [](InputDocument &d) { d.sps = "4\t7"; }, {"SPS-talet", "tabbtecken"});
        add("more rows than the count holds", [](InputDocument &d) { d.rows.resize(32768); },
            {"32768", "32767"});
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
