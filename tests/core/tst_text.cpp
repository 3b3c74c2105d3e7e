#include "core/files/inputfile.h"
#include "core/files/report.h"
#include "core/files/resultfile.h"
#include "core/text/numbertext.h"
#include "core/text/textfile.h"

#include <QtTest>

using namespace lv;
using namespace lv::files;
using namespace lv::text;
using input::SegmentRow;
using results::Mode;
using results::ResultRow;
using Rows = std::vector<ResultRow>;

namespace {

const double no = qQNaN(); // no conversion
const QLocale kSv(QStringLiteral("sv_SE")), kEn(QStringLiteral("en_US"));

// Locale, text, and the text as a single, a double and a 16-bit integer (ties to even).
const std::tuple<const char *, const char *, double, double, double> kParse[] = {
    {"sv_SE", "2,5", 2.5, 2.5, 2},
    {"sv_SE", "  2,5\t", 2.5, 2.5, 2},
    {"sv_SE", "3,5", 3.5, 3.5, 4},
    {"sv_SE", "-2,5", -2.5, -2.5, -2},
    {"sv_SE", "\u22120,4", -0.4, -0.4, 0},
    {"sv_SE", "1E\u22122", 0.01, 0.01, 0},
    {"sv_SE", "+7", 7, 7, 7},
    {"sv_SE", ",5", 0.5, 0.5, 0},
    {"sv_SE", "5,", 5, 5, 5},
    {"sv_SE", "1,5E+3", 1500, 1500, 1500},
    {"sv_SE", "1e-2", 0.01, 0.01, 0},
    {"sv_SE", "32767", 32767, 32767, 32767},
    {"sv_SE", "32767,5", 32767.5, 32767.5, no},
    {"sv_SE", "-32768,5", -32768.5, -32768.5, -32768},
    {"sv_SE", "-32769", -32769, -32769, no},
    {"sv_SE", "3,4E+38", 3.4e38, 3.4e38, no},
    {"sv_SE", "1E+39", no, 1e39, no},
    {"sv_SE", "1E-50", 0, 1e-50, 0},
    // Plain texts (digits, a minus, one separator) take a short way that must round alike.
    {"sv_SE", "0,1", 0.1, 0.1, 0},
    {"sv_SE", "0,7", 0.7, 0.7, 1},
    {"sv_SE", "-12,5", -12.5, -12.5, -12},
    {"sv_SE", "-32768", -32768, -32768, -32768},
    {"sv_SE", "1234567,8", 1234567.75, 1234567.8, no},
    {"sv_SE", "16777216", 16777216, 16777216, no},
    {"sv_SE", "16777217", 16777216, 16777217, no}, // a tie: to the even neighbour
    {"sv_SE", "16777219", 16777220, 16777219, no},
    {"sv_SE", "0,0000000001", 1e-10, 1e-10, 0},
    {"sv_SE", "0,00000000001", 1e-11, 1e-11, 0},
    {"sv_SE", "9007199254740993", 9007199254740992.0, 9007199254740992.0, no},
    {"sv_SE", "123456789012345678", 123456789012345678.0, 123456789012345678.0, no},
    {"sv_SE", "000000000000000000001", 1, 1, 1},
    {"en_US", "2.5", 2.5, 2.5, 2},
    {"en_US", "\u22120.4", -0.4, -0.4, 0},
    {"en_US", "1.234568E+07", 1.234568e7, 1.234568e7, no},
    {"en_US", "2,5", no, no, no},
    {"en_US", "1,000", no, no, no},
    {"C", "1,5", no, no, no}};

// Texts that no parser reads under sv_SE; "\u0661" is a digit of another script.
const char *const kNoNumber[] = {"2.5", "1 000", "1\u00a0000", "",      ",",
                                 "-",   "1E+",   "12abc",      "1,2,3", "--1",
                                 "inf", "nan",   "1E+309",     "0x10",  "\u0661"};

// Locale, value, the value in the "#.##" pattern and as a single in the general form: halves
// away from zero (0,125 an exact binary one), after the first 15 significant digits as the
// spreadsheet does (1,005); no minus on a value that rounds to zero; a single holds 16777216.
const std::tuple<const char *, double, const char *, const char *> kFormat[] = {
    {"sv_SE", 1234.567, "1234,57", "1234,567"},
    {"sv_SE", 0.5, ",5", "0,5"},
    {"sv_SE", 5, "5,", "5"},
    {"sv_SE", -0.0, ",", "0"},
    {"sv_SE", 0.005, ",01", "0,005"},
    {"sv_SE", 0.125, ",13", "0,125"},
    {"sv_SE", 1.005, "1,01", "1,005"},
    {"sv_SE", 99.999, "100,", "99,999"},
    {"sv_SE", double(0.07f), ",07", "0,07"},
    {"sv_SE", -1.5, "-1,5", "-1,5"},
    {"sv_SE", -0.004, ",", "-0,004"},
    {"sv_SE", 1234567.891, "1234567,89", "1234568"},
    {"sv_SE", 9999999, "9999999,", "9999999"},
    {"sv_SE", 12345678, "12345678,", "1,234568E+07"},
    {"sv_SE", 16777217, "16777217,", "1,677722E+07"},
    {"sv_SE", 1e8, "100000000,", "1E+08"},
    {"sv_SE", 3.4e38, "340000000000000000000000000000000000000,", "3,4E+38"},
    {"sv_SE", 0.0001, ",", "0,0001"},
    {"sv_SE", 0.00001, ",", "1E-05"},
    {"sv_SE", 1.0 / 3.0, ",33", "0,3333333"},
    {"sv_SE", 1e-300, ",", "0"},
    {"en_US", 1234.567, "1234.57", "1234.567"},
    {"en_US", 12345678, "12345678.", "1.234568E+07"}};

// Numbers as one text, so that a failing row shows itself (NaN: "nan").
template <class... T>
QString show(const QString &text, T... values)
{
    return text + ((u' ' + QString::number(double(values), 'g', 17)) + ...);
}

template <class T>
double orNaN(const std::optional<T> &value)
{
    return value ? double(*value) : no;
}

const QDateTime kAt(QDate(2026, 12, 6), QTime(14, 3, 7));

QByteArray dataFile(const QString &name)
{
    QFile file(QStringLiteral(LUFTVAKA_TEST_DATA "/files/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The cells of a row from a text with blanks between them.
template <std::size_t N>
std::array<QString, N> cells(const QString &texts)
{
    std::array<QString, N> out;
    const QStringList split = texts.split(u' ');
    std::copy(split.begin(), split.end(), out.begin());
    return out;
}

// The three-segment input as the user typed it, in a locale with this decimal separator, and
// as reading the file gives it back: every number in its normal form.
InputDocument three(const QString &dp, bool read = false)
{
    const auto n = [&dp](QString s) { return s.replace(u',', dp); };
    return InputDocument{
        u"Södra länken\tår 2020\tfall Ö"_qs,
        u"2020"_qs,
        {{"1", cells<8>(n("250 -2,5 70 1200 70 150 60 40"))},
         {"2",
          cells<8>(n(read ? "12,5 0 80 900,5 75 100 70 20" : "12,50 0 80 900,5 75 100 70 20"))},
         {read ? "7" : "07",
          cells<8>(n(read ? "300 3 90 800 80 90 80 10" : "300 3 90 800 80 90,0 80 10"))}},
        n("4,7"),
        n("0,6")};
}

const InputDocument kEmptyList{u"Tom"_qs, {}, {}, "3", "0,5"};

// The lines of the three-segment Swedish file, for breaking them one way or another.
QStringList threeLines()
{
    return QString::fromLatin1(dataFile("input_three_sv_SE.dat")).split(u"\r\n"_qs).first(14);
}

QByteArray fileOf(const QStringList &lines)
{
    return (lines.join(u"\r\n"_qs) + u"\r\n"_qs).toLatin1();
}

// Three result rows with a decimal comma or point: raw numbers that the file rounds, texts
// already in the "#.##" form, and a cell that is no number at all.
Rows threeRows(const QString &dp)
{
    const auto n = [&dp](QString s) { return s.replace(u',', dp); };
    return {{"Totalt", cells<11>(n("12,345 1234,567 0,5 ,05 5 0 0,004 -0,5 2,50 0,01 310,2"))},
            {"0 - 250", cells<11>(n("12,25 3, ,12 ,01 1, , , , 1,2 ,45 28,"))},
            {n("120,5 - 300"), cells<11>(n("x 7 ,33 ,03 2 , , , 3 ,1 99,99"))}};
}

} // namespace

class TestText : public QObject
{
    Q_OBJECT

private slots:
    void parse()
    {
        for (const char *text : kNoNumber) {
            const auto none = QString::fromUtf8(text);
            QVERIFY2(!parseSingle(none, kSv) && !parseDouble(none, kSv) && !parseInt16(none, kSv),
                     text);
        }
        for (const auto &[name, utf8, single, dbl, int16] : kParse) {
            const QLocale locale(QString::fromLatin1(name));
            const QString text = QString::fromUtf8(utf8);
            QCOMPARE(show(text, orNaN(parseSingle(text, locale)), orNaN(parseDouble(text, locale)),
                          orNaN(parseInt16(text, locale))),
                     show(text, float(single), dbl, int16));
        }
        QVERIFY(std::signbit(*parseSingle(u"-0"_qs, kSv)));
    }

    void format()
    {
        for (const auto &[name, value, hashDotHash, general] : kFormat) {
            const QLocale locale(QString::fromLatin1(name));
            QCOMPARE(formatHashDotHash(value, locale) + u'|' + formatGeneral(float(value), locale),
                     QString::fromUtf8(hashDotHash) + u'|' + QString::fromUtf8(general));
        }
    }

    // Every byte round-trips through the code page; a character it cannot hold is refused
    // with a message that names it.
    void codePage()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(decode1252(all).mid(0x7F, 5), u"\u007F€\u0081‚ƒ"_qs);
        QCOMPARE(*encode1252(decode1252(all)), all);
        const std::pair<QString, QString> refused[] = {
            {u"a\u2212b"_qs, u"\"\u2212\" (U+2212)"_qs},
            {u"x😀"_qs, u"\"😀\" (U+1F600)"_qs},
            {QString(QChar(0xD800)), u"U+D800"_qs}, // a lone surrogate
            {QString(QChar(0x200B)), u"U+200B"_qs}, // not printable
        };
        for (const auto &[text, named] : refused) {
            QCOMPARE(encode1252(text).error(),
                     (lv::Error{lv::ErrorKind::File,
                                "Tecknet " + named +
                                    " kan inte sparas i filens teckenkodning (Windows-1252)."}));
        }
    }

    void splitsLines()
    {
        QCOMPARE(splitLines(u"\r\na\r\nb\rc\nd\r\r\ne\n\rf\n"_qs),
                 (QStringList{"", "a", "b", "c", "d", "", "e", "", "f"}));
        QCOMPARE(splitLines(QString()), QStringList());
    }

    // The file is replaced whole or not at all.
    void atomicSave()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("out.dat");
        QVERIFY(saveFileAtomically(path, "old").ok() && saveFileAtomically(path, "new\r\n").ok());
        QCOMPARE(saveFile(path, encode1252(u"Ж"_qs)).error().message,
                 u"Filen out.dat sparades inte. Tecknet \"Ж\" (U+0416) kan inte sparas i filens "
                 "teckenkodning (Windows-1252)."_qs);
        QCOMPARE(*readWholeFile(path), QByteArray("new\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.dat"});
        QVERIFY(saveFileAtomically("/nonexistent-dir/x.dat", "x")
                    .error()
                    .message.startsWith(u"Filen x.dat sparades inte: den kunde inte skapas ("_qs));
        QVERIFY(!readWholeFile("/nonexistent-dir/x.dat").ok());
    }

    // Written byte for byte as the committed file, and read back (with any line ends) in the
    // normal form of its numbers: ties to even, seven significant digits.
    void inputFileRoundTrip()
    {
        InputDocument ties = three(","), tiesRead = three(",", true);
        ties.scenario = tiesRead.scenario = u"€ “tunnel” – ÅÄÖ åäö ü"_qs;
        for (std::size_t i = 0; i < 3; ++i) {
            ties.rows[i].number = QStringList{"2,5", "3,5", " -4,5 "}[qsizetype(i)];
            tiesRead.rows[i].number = QStringList{"2", "4", "-4"}[qsizetype(i)];
        }
        InputDocument general = three(","), generalRead = three(",", true);
        general.rows[0].cells = cells<8>("100000000 0,000012 70 1234,5678 70 150 60 40");
        generalRead.rows[0].cells = cells<8>("1E+08 1,2E-05 70 1234,568 70 150 60 40");
        general.year = general.sps = generalRead.year = generalRead.sps = QString();
        general.studdedShare = u"  "_qs;
        generalRead.studdedShare = QString();
        InputDocument japanese = kEmptyList; // its time holds characters outside the code page
        japanese.studdedShare = u"0.5"_qs;
        const std::tuple<QLocale, InputDocument, InputDocument, const char *> cases[] = {
            {kSv, three(","), three(",", true), "input_three_sv_SE.dat"},
            {kEn, three("."), three(".", true), "input_three_en_US.dat"},
            {kSv, kEmptyList, kEmptyList, "input_empty_sv_SE.dat"},
            {kSv, ties, tiesRead, nullptr},
            {kSv, general, generalRead, nullptr},
            {QLocale(QStringLiteral("ja_JP")), japanese, japanese, nullptr}};
        for (const auto &[locale, typed, read, file] : cases) {
            const QByteArray crlf = *writeInputFile(typed, kAt, locale);
            QCOMPARE(file ? crlf : QByteArray(), file ? dataFile(file) : QByteArray());
            for (const QByteArray &ends : {crlf, QByteArray(crlf).replace("\r\n", "\n"),
                                           QByteArray(crlf).replace("\r\n", "\r"), crlf.chopped(2)})
                QCOMPARE(*readInputFile(ends, locale), read);
        }
        // A file saved under one locale opens under the other, its numbers in the reader's form.
        QCOMPARE(*readInputFile(dataFile("input_three_sv_SE.dat"), kEn), three(".", true));
        QCOMPARE(*readInputFile(dataFile("input_three_en_US.dat"), kSv), three(",", true));
    }

    void inputFileFaults()
    {
        const QStringList lines = threeLines();
        std::vector<std::tuple<QLocale, QByteArray, QString>> cases = {
            {kSv, "Emissionsber\xE4kning tunnlar: Indata \r\n" + fileOf(lines.mid(1)), ""},
            {kSv, "Emissionsber\xE4kning tunnlar: indata\r\n" + fileOf(lines.mid(1)), ""},
            {kSv, "\xEF\xBB\xBF" + fileOf(lines), ""},
        };
        // What the file ends before, after each of its lines.
        const QStringList before =
            u"|före scenariot|före scenariot|före scenariot|före året|före antalet segment|"
            "före segmentraderna|före segmentraderna|efter 0 av 3 segmentrader|"
            "efter 1 av 3 segmentrader|efter 2 av 3 segmentrader"_qs.split(u'|');
        for (int kept = 1; kept < 14; ++kept) {
            cases.emplace_back(kSv, fileOf(lines.first(kept)),
                               u": filen slutar på rad %1, %2."_qs.arg(kept).arg(before.value(
                                   kept, u"före SPS-talet och andelen dubbade Pb"_qs)));
        }
        // Line, field (0: the last one removed), its new text, and the message.
        const std::tuple<int, int, const char *, const char *> changes[] = {
            {5, 1, "2015", "året på rad 5 är varken tomt, 2005, 2010 eller 2020: \"2015\"."},
            {6, 1, " tre ", "antalet segment på rad 6 är inget tal: \" tre \"."},
            {6, 1, " -1 ", "antalet segment på rad 6 ligger utanför 0 till 32767: \" -1 \"."},
            {6, 1, "40000", "antalet segment på rad 6 ligger utanför 0 till 32767: \"40000\"."},
            {6, 1, " 4 ", "rad 12 har för få fält (9 behövs)."},
            {6, 1, " 2 ", "fält 1 på rad 13 är inget tal: \"SPS-tal:\"."},
            {10, 0, "", "rad 10 har för få fält (9 behövs)."},
            {9, 1, "ett", "fält 1 på rad 9 är inget tal: \"ett\"."},
            {10, 1, "40000", "fält 1 på rad 10 ligger utanför -32768 till 32767: \"40000\"."},
            {11, 9, "", "fält 9 på rad 11 är inget tal: \"\"."},
            {14, 0, "", "rad 14 har för få fält (2 behövs)."},
            {14, 2, "60 %", "fält 2 på rad 14 är inget tal: \"60 %\"."}};
        for (const auto &[lineNo, fieldNo, text, message] : changes) {
            QStringList changed = lines;
            QStringList fields = changed[lineNo - 1].split(u'\t');
            if (fieldNo)
                fields[fieldNo - 1] = QString::fromUtf8(text);
            else
                fields.removeLast();
            changed[lineNo - 1] = fields.join(u'\t');
            cases.emplace_back(kSv, fileOf(changed), u": "_qs + QString::fromUtf8(message));
        }
        for (const auto &[locale, bytes, message] : cases) {
            QCOMPARE(readInputFile(bytes, locale).error(),
                     (Error{ErrorKind::InputFile, u"Ogiltig indatafil"_qs + message}));
        }
    }

    // Lines the reader does not read hold anything; fields past the last one read are ignored.
    void inputFileIgnoresWhatItDoesNotRead()
    {
        QStringList lines = threeLines();
        lines[1] = u"igår"_qs;
        lines[2] = u"vad som helst"_qs;
        lines[6] = u"x"_qs;
        lines[7] = u"inga rubriker"_qs;
        lines[8] += u"\textra\t\t"_qs;
        lines[11] = u"inte tom"_qs;
        lines[12] = QString();
        lines[13] += u"\tmer"_qs;
        lines << u"efter slutet"_qs << u"\t\t"_qs;
        QCOMPARE(*readInputFile(fileOf(lines), kSv), three(",", true));
    }

    // Texts the file cannot hold: nothing is written, and the message says which and why.
    void inputFileRefusesWhatItCannotHold()
    {
        const QString code = u" kan inte sparas i filens teckenkodning (Windows-1252)."_qs;
        const std::pair<void (*)(InputDocument &), QString> cases[] = {
            {[](InputDocument &d) { d.scenario = "Tunnel Ж"; },
             u"Scenariot: Tecknet \"Ж\" (U+0416)"_qs + code},
            {[](InputDocument &d) { d.rows[1].cells[SegmentRow::Slope] = "\u22122"; },
             u"Lutning på rad 2 i segmentlistan: Tecknet \"\u2212\" (U+2212)"_qs + code},
            {[](InputDocument &d) { d.rows[0].cells[SegmentRow::Length] = "250\t"; },
             u"Längd på rad 1 i segmentlistan innehåller ett tabbtecken, som filen inte kan hålla."_qs},
            {[](InputDocument &d) { d.sps = "4\t7"; },
             u"SPS-talet innehåller ett tabbtecken, som filen inte kan hålla."_qs},
            {[](InputDocument &d) { d.rows.resize(32768); },
             u"Segmentlistan har fler rader (32768) än indatafilen kan hålla (32767)."_qs}};
        for (const auto &[change, message] : cases) {
            InputDocument document = three(",");
            change(document);
            QCOMPARE(writeInputFile(document, kAt, kSv).error(), (Error{ErrorKind::File, message}));
        }
    }

    void resultFile()
    {
        const std::tuple<QLocale, QString, Mode, Rows, const char *> cases[] = {
            {kSv, u"Norra röret"_qs, Mode::PerKm, threeRows(","), "result_perkm_sv_SE.eff"},
            {kSv, u"Norra röret"_qs, Mode::Totals, threeRows(","), "result_totals_sv_SE.eff"},
            {kEn, u"Norra röret"_qs, Mode::PerKm, threeRows("."), "result_perkm_en_US.eff"},
            {kSv, QString(), Mode::Totals, Rows(), "result_empty_totals_sv_SE.eff"}};
        for (const auto &[locale, scenario, mode, rows, file] : cases)
            QCOMPARE(*writeResultFile(scenario, mode, rows, kAt, locale), dataFile(file));
        // The scenario line keeps its TABs; one the file cannot hold stops the writing.
        const auto write = [](const QString &scenario) {
            return writeResultFile(scenario, Mode::Totals, threeRows(","), kAt, kSv);
        };
        QCOMPARE(write(u"a\tb\tå"_qs)->split('\n').value(3), QByteArray("a\tb\t\xE5\r"));
        QCOMPARE(write(u"a\nb"_qs).error().message,
                 u"Scenariot innehåller en radbrytning, som filen inte kan hålla."_qs);
    }

    // Report lines written as one text: "|" between lines, "#" before a 14-point bold line, "*"
    // before a bold 10-point one, "@" and the size before one of another size, the rest plain
    // 10 point; "~" stands for the rule of 57 hyphens. The title block, a block per row, then
    // the notice.
    void report()
    {
        const auto print = [](const QLocale &locale, Mode mode, const Rows &rows,
                              const QString &notice = {}) {
            QLocale::setDefault(locale);
            QStringList out;
            for (const ReportLine &line : reportLines(u"Norra röret"_qs, mode, rows, kAt, notice)) {
                const QString font = line.pointSize == 14 && line.bold ? u"#"_qs
                                     : line.pointSize != 10 ? u'@' + QString::number(line.pointSize)
                                     : line.bold            ? u"*"_qs
                                                            : QString();
                out << font + QString(line.text).replace(QString(57, u'-'), u"~"_qs);
            }
            QLocale::setDefault(QLocale::c());
            return out.join(u'|');
        };
        const QString svTitle =
            u"#|#Emissionsberäkning tunnlar||2026-12-06 14:03:07||Norra röret|"_qs;
        QCOMPARE(print(kSv, Mode::PerKm,
                       {{"Totalt", cells<11>("12,35 3, 1,2 ,45 5 0 0,004 , 2,567 x 310,2")}}),
                 svTitle +
                     u"Effekter/km||~|*Delsträcka: Totalt||Bränsle:|12,35 [l/km]||NOx:|3, [g/km]||"
                     "Avgaspartiklar:|1,2, varav PM10: ,45 [g/km]||"
                     "Däckspartiklar:|5,, varav PM10: , [g/km]||"
                     "Bromspartiklar:|,, varav PM10: , [g/km]||"
                     "Beläggningspartiklar:|2,57, varav PM10: x [g/km]||CO2:|310,2 [kg/km]|~|"_qs);
        const ResultRow stretch{"120,5 - 300", cells<11>("7 0,5 1 0 2 0 3 0 4 0 99,999")};
        const QString block =
            u"*Delsträcka: 120,5 - 300||Bränsle:|7, [l]||NOx:|,5 [g]||"
            "Avgaspartiklar:|1,, varav PM10: , [g]||Däckspartiklar:|2,, varav PM10: , [g]||"
            "Bromspartiklar:|3,, varav PM10: , [g]||Beläggningspartiklar:|4,, varav PM10: , [g]||"
            "CO2:|100, [kg]|~|"_qs;
        QCOMPARE(print(kSv, Mode::Totals, {stretch, stretch}, u"Lutning utanför"_qs),
                 svTitle + u"Totala Effekter||~|"_qs + block + u'|' + block +
                     u"|Lutning utanför"_qs);
        // The date and the values in the default locale.
        QCOMPARE(
            print(kEn, Mode::PerKm, {{"0 - 250.5", cells<11>("12.345 0.004 5 0 1 1 1 1 1 1 -0.5")}})
                .section(u'|', 3, 15),
            u"12/6/26 2:03:07 PM||Norra röret|Effekter/km||~|*Delsträcka: 0 - 250.5||Bränsle:|"
            "12.35 [l/km]||NOx:|. [g/km]"_qs);
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
