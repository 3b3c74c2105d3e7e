#include "core/calc/calculationrun.h"
#include "core/xls/biff.h"
#include "core/xls/biffworkbook.h"
#include "core/xls/workbook.h"

#include <QtTest>

#include <bit>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using lv::xls::Cell;
using lv::xls::Sheet;
using lv::xls::Workbook;

namespace {

const QString kFixtures = QStringLiteral(LUFTVAKA_TEST_DATA "/xls/");
const QString kShipped = QStringLiteral(LUFTVAKA_SOURCE_DIR "/data/");
// The same workbooks as .xls, .xlsx and .ods, made by tools/make-format-fixtures.sh (LibreOffice
// saved each one in all three formats), and odd ones made by hand in hostile/.
const QString kFormats = QStringLiteral(LUFTVAKA_TEST_DATA "/formats/");

const auto number = [](double v) { return Cell{Cell::Type::Number, v, {}, 0}; };
const auto text = [](const QString &v) { return Cell{Cell::Type::Text, 0, v, 0}; };
const auto error = [](uint8_t code) { return Cell{Cell::Type::Error, 0, {}, code}; };
const Cell kTrue{Cell::Type::Boolean, 1, {}, 0};

// Building blocks of hand-made BIFF8 streams (little-endian).
const auto u16 = [](int v) { return QByteArray(1, char(v)) + char(v >> 8); };
const auto u32 = [](uint32_t v) { return u16(int(v)) + u16(int(v >> 16)); };
const auto record = [](int type, const QByteArray &body) {
    return u16(type) + u16(int(body.size())) + body;
};
const auto cell = [](int type, int row, int column, const QByteArray &rest) {
    return record(type, u16(row) + u16(column) + u16(15) + rest);
};
const auto numberCell = [](int row, int column, double v) {
    const auto bits = std::bit_cast<uint64_t>(v);
    return cell(0x0203, row, column, u32(uint32_t(bits)) + u32(uint32_t(bits >> 32)));
};
const auto bof = [](int kind, int version = 0x0600) {
    return record(0x0809, u16(version) + u16(kind) + u32(0) + u32(0));
};
const QByteArray kEof = record(0x000A, {});
const auto latin1String = [](const QByteArray &chars) {
    return u16(int(chars.size())) + '\0' + chars;
};
// A formula cell whose cached result is of this kind (0 text, 9 none known).
const auto formulaCell = [](int row, int column, uint32_t kind) {
    return cell(0x0006, row, column, u32(kind) + u32(0xFFFF0000) + u16(0) + u32(0) + u16(0));
};

struct SheetSource
{
    QByteArray name;
    QByteArray records; // between the sheet's BOF and EOF
    int type = 0;       // BOUNDSHEET sheet type: 0 worksheet, 2 chart
};

// A BIFF8 stream: the globals (`globals` before the sheet list), then the sheets.
QByteArray biff8(const QList<SheetSource> &sheets, const QByteArray &globals = {})
{
    const auto globalsPart = [&](const QList<uint32_t> &offsets) {
        QByteArray out = bof(0x0005) + globals;
        for (qsizetype i = 0; i < sheets.size(); ++i) {
            out += record(0x0085, u32(offsets.value(i)) + char(0) + char(sheets[i].type) +
                                      char(sheets[i].name.size()) + '\0' + sheets[i].name);
        }
        return out + kEof;
    };
    QList<uint32_t> offsets;
    QByteArray body;
    for (const SheetSource &sheet : sheets) {
        offsets << uint32_t(globalsPart({}).size() + body.size());
        body += bof(sheet.type == 2 ? 0x0020 : 0x0010) + sheet.records + kEof;
    }
    return globalsPart(offsets) + body;
}

const auto oneSheet = [](const QByteArray &records) { return biff8({{"Blad1", records}}); };

// A shared-string table, split into CONTINUE records where the caller put them.
QByteArray sst(const QList<QByteArray> &parts, uint32_t count = 4)
{
    QByteArray out = record(0x00FC, u32(count) + u32(count) + parts.value(0));
    for (qsizetype i = 1; i < parts.size(); ++i)
        out += record(0x003C, parts[i]);
    return out;
}

// The message a stream (named .biff) or file is refused with, or "" when it is read.
QString refusal(const QByteArray &bytes, const QString &name = u"t.biff"_qs)
{
    const auto workbook = name.endsWith(u".biff") ? lv::xls::biff::readStream(bytes, name)
                                                  : Workbook::fromBytes(bytes, name);
    return workbook ? QString() : workbook.error().message;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template <class T>
QByteArray problem(const lv::Expected<T> &result)
{
    return result ? QByteArray() : result.error().message.toUtf8();
}

// A sheet as one text: its used range (first row and column from 0, rows x columns), then its
// cells row by row: n number, t text, b boolean, e error code, nothing when empty; "?" after a
// cell holding a value its type does not use.
QString shown(const Sheet &sheet)
{
    QString out = QStringLiteral("%1,%2 %3x%4")
                      .arg(sheet.firstRow())
                      .arg(sheet.firstColumn())
                      .arg(sheet.rowCount())
                      .arg(sheet.columnCount());
    for (int i = 0; i < sheet.rowCount() * sheet.columnCount(); ++i) {
        const Cell &c = sheet.at(i / sheet.columnCount() + 1, i % sheet.columnCount() + 1);
        const QString number = QString::number(c.number, 'g', QLocale::FloatingPointShortest);
        using T = Cell::Type;
        const bool stray = (c.number != 0 && c.type != T::Number && c.type != T::Boolean) ||
                           (c.type != T::Text && !c.text.isEmpty()) ||
                           (c.type != T::Error && c.errorCode);
        out += (i % sheet.columnCount() ? u"|"_qs : u"/"_qs) +
               QStringList{"", 'n' + number, 't' + c.text, 'b' + number,
                           'e' + QString::number(c.errorCode)}[int(c.type)] +
               (stray ? "?" : "");
    }
    return out;
}

// A directory holding the three workbooks of a set (the default ones, or the calculation's
// test ones) in a format.
bool copyBooks(const QString &set, const QString &format, const QString &dir)
{
    for (const QString book : {"pb_bara_glid_data", "lb_bara_glid_data", "faktorer"}) {
        const QString from = format != "xls"    ? kFormats + set + '/' + book + '.' + format
                             : set == "default" ? kShipped + book + ".xls"
                                                : LUFTVAKA_TEST_DATA "/calc/" + book + ".xls";
        if (!QFile::copy(from, dir + '/' + book + '.' + format))
            return false;
    }
    return true;
}

Sheet sheetOf(const QByteArray &stream, int position = 1)
{
    return **lv::xls::biff::readStream(stream, u"t.xls"_qs)->sheet(position);
}

Sheet fixtureSheet(const QString &file, const QVariant &key)
{
    const auto book = Workbook::open(kFixtures + file);
    return key.typeId() == QMetaType::Int ? **book->sheet(key.toInt())
                                          : **book->sheet(key.toString());
}

// Cells of workbooks that LibreOffice saved (sources in tests/data/xls/src).
const std::tuple<const char *, const char *, const char *, int, int, Cell> kFixtureCells[] = {
    {"mulrk negative hundredths", "cells.xls", "Värden", 1, 6, number(-12.34)},
    {"8-bit text", "cells.xls", "Värden", 2, 1, text(u"åäö ÅÄÖ"_qs)},
    {"16-bit text", "cells.xls", "Värden", 2, 2, text(u"12 € – tolv"_qs)},
    {"formula number", "cells.xls", "Värden", 3, 1, number(2)},
    {"formula text", "cells.xls", "Värden", 3, 2, text(u"Pbx"_qs)},
    {"formula true", "cells.xls", "Värden", 3, 3, kTrue},
    {"formula div0", "cells.xls", "Värden", 3, 4, error(0x07)},
    {"formula empty text", "cells.xls", "Värden", 3, 6, text(QString())},
    {"formula 16-bit text", "cells.xls", "Värden", 3, 8, text(u"åäö ÅÄÖ12 € – tolv"_qs)},
    {"empty text", "cells.xls", "Värden", 4, 3, text(QString())},
    {"formatted blank", "cells.xls", "Värden", 4, 4, Cell()},
    {"blanks in name", "cells.xls", "PB  0%", 2, 2, number(0.0712)},
    {"range from C3", "range.xls", "Område", 3, 2, number(3.75)}};

} // namespace

class TestXls : public QObject
{
    Q_OBJECT

private slots:
    void fixtureCells()
    {
        for (const auto &[name, file, sheetName, row, column, expected] : kFixtureCells) {
            const Sheet sheet = fixtureSheet(file, QString::fromUtf8(sheetName));
            QVERIFY2(sheet.contains(row, column) && sheet.at(row, column) == expected, name);
        }
    }

    // The used range is the smallest rectangle around all cells, formatted blanks included; a
    // sheet is found by name without regard to case, or by position, chart sheets left out.
    void usedRangesAndLookup()
    {
        const std::tuple<const char *, const char *, const char *> ranges[] = {
            {"cells.xls", "Värden", "A1:J4"},
            {"cells.xls", "Tom", "A1:A1"},
            {"range.xls", "Område", "C3:G7"},
            {"range.xls", "Bara ram", "B2:B2"}};
        for (const auto &[file, name, range] : ranges) {
            const Sheet used = fixtureSheet(file, QString::fromUtf8(name));
            const int rows = used.rowCount(), columns = used.columnCount();
            QCOMPARE(used.reference(1, 1) + u':' + used.reference(rows, columns), QString(range));
            QVERIFY(!used.contains(rows + 1, 1) && !used.contains(1, columns + 1) &&
                    !used.contains(0, 1));
        }
        const auto cells = Workbook::open(kFixtures + "cells.xls");
        const auto biff5 = Workbook::open(kFixtures + "biff5.xls");
        QCOMPARE((*cells->sheet(u"VÄRDEN"_qs))->name(), u"Värden"_qs);
        QCOMPARE(biff5->sheet(u"Diagram"_qs).error().message,
                 u"Arbetsboken biff5.xls saknar bladet \"Diagram\"."_qs);
    }

    // Strings longer than a record go on in CONTINUE records, in long.xls one 16-bit and one
    // whose rich-text runs straddle a boundary; what follows them must still be read. In the
    // hand-made table each part starts with a flags byte of its own: 8-bit "abc" goes on as
    // 16-bit, 16-bit "Ωx" as 8-bit; rich-text runs and phonetic data continue too.
    void sharedStringsAcrossContinue()
    {
        const auto numbered = [](int count, int width, const QString &after, int modulo = 100000) {
            QString out;
            for (int i = 0; i < count; ++i)
                out += QStringLiteral("%1").arg(i % modulo, width, 10, QLatin1Char('0')) + after;
            return out;
        };
        const Sheet longSheet = fixtureSheet("long.xls", 1);
        const QString longTexts[] = {numbered(2000, 4, u","_qs),       numbered(1500, 4, u"Ω"_qs),
                                     numbered(2500, 3, u"å"_qs, 1000), u"ab"_qs.repeated(5000),
                                     numbered(1200, 3, u"-"_qs),       u"efter"_qs};
        QCOMPARE(longSheet.rowCount(), 6);
        for (int row = 1; row <= 6; ++row)
            QCOMPARE(longSheet.at(row, 1), text(longTexts[row - 1]));

        const QByteArray first = u16(5) + '\0' + "abc";
        QByteArray second = QByteArray(1, '\x01') + u16(0x03A9) + u16(0x03A9);
        second += u16(2) + '\x0C' + u16(2) + u32(6) + "hi" + "RUN1"; // runs start ...
        const QByteArray third = "RUN2PHONET" + u16(4) + '\x01' + u16(0x03A9) + u16('x');
        const QByteArray fourth = QByteArray(1, '\0') + "yz" + u16(4) + '\0' + "slut";
        QByteArray cells;
        for (int i = 0; i < 4; ++i)
            cells += cell(0x00FD, i, 0, u32(uint32_t(i)));
        const Sheet sheet = sheetOf(biff8({{"Blad1", cells}}, sst({first, second, third, fourth})));
        const QString texts[] = {u"abcΩΩ"_qs, u"hi"_qs, u"Ωxyz"_qs, u"slut"_qs};
        for (int row = 1; row <= 4; ++row)
            QCOMPARE(sheet.at(row, 1), text(texts[row - 1]));
    }

    // DIMENSIONS claims A1:Z100; the cells say B2:E3, and that is the used range. LABEL is
    // 8-bit Latin-1 whatever the code page; MULBLANK widens the range; a later record for a
    // cell replaces an earlier one; MULRK holds numbers in each RK form.
    void cellRecords()
    {
        const auto rks = u16(15) + u32(uint32_t(-2) << 2 | 2) + u16(15) + u32(0x3FF80000u | 1) +
                         u16(15) + u32(0x1FFFFFFF << 2 | 2);
        const Sheet sheet = sheetOf(
            biff8({{"Blad1", record(0x0200, u32(0) + u32(100) + u16(0) + u16(26) + u16(0)) +
                                 numberCell(1, 1, 9) + numberCell(1, 1, 2.5) +
                                 cell(0x0204, 2, 1, latin1String("\xE9t\xE9 \x80")) +
                                 cell(0x0205, 1, 2, QByteArray("\x01\x00", 2)) +
                                 record(0x00BE, u16(2) + u16(2) + u16(15) + u16(15) + u16(3)) +
                                 record(0x00BD, u16(2) + u16(2) + rks + u16(4))}},
                  record(0x0042, u16(1251))));
        QCOMPARE(shown(sheet), u"1,1 2x4/n2.5|b1||/tété \u0080|n-2|n0.015|n536870911"_qs);
    }

    // Blanks in opposite corners span the whole sheet, without a table of that size; an
    // embedded chart's cache records are no cells; a dialog sheet is no worksheet.
    void sheetShapes()
    {
        const Sheet whole = sheetOf(
            oneSheet(cell(0x0201, 0, 0, {}) + numberCell(1, 1, 5) + cell(0x0201, 65535, 255, {})));
        QCOMPARE(whole.at(2, 2), number(5));
        QCOMPARE(whole.reference(whole.rowCount(), whole.columnCount()), u"IV65536"_qs);
        const QByteArray chart = bof(0x0020) + numberCell(50, 50, 9) + kEof;
        const QByteArray dialog = record(0x0081, u16(0x0010)) + numberCell(0, 0, 3);
        const QByteArray mixed =
            biff8({{"Först", numberCell(0, 0, 1) + chart}, {"Dialog", dialog}, {"Sist", {}}});
        const Sheet first = sheetOf(mixed);
        QCOMPARE(QSize(first.columnCount(), first.rowCount()), QSize(1, 1));
        QCOMPARE(sheetOf(mixed, 2).name(), u"Sist"_qs);
    }

    // Damaged streams, each refused with what is wrong, and where.
    void streamErrors()
    {
        const QByteArray one = oneSheet(numberCell(0, 0, 1));
        QByteArray moved = one; // the sheet list points past the stream's end
        moved.replace(moved.indexOf(QByteArray("\x85\x00", 2)) + 4, 4,
                      u32(uint32_t(one.size() + 10)));
        const QByteArray chartSheet =
            biff8({{"Blad1", {}, 2}})
                .replace(QByteArray("\x00\x02\x05", 3), QByteArray("\x00\x00\x05", 3));
        const QByteArray mulrk =
            record(0x00BD, u16(0) + u16(1) + u16(15) + u32(2) + u16(15) + u32(6) + u16(7));
        const std::pair<QByteArray, const char *> cases[] = {
            {biff8({{"Blad1", cell(0x00FD, 1, 1, u32(1))}}, sst({latin1String("a")}, 1)),
             "cell B2 i bladet \"Blad1\" pekar på en delad text som saknas."},
            {biff8({{"Blad1", {}}}, record(0x00FC, u32(1) + u32(1) + u16(5) + '\0' + "ab")),
             "tabellen med delade texter är felaktig."},
            {one.chopped(4) + u16(0x000A) + u16(8), "en post räcker förbi arbetsbokens slut."},
            {oneSheet(record(0x0203, u16(2) + u16(2) + u16(15) + "1234")),
             "cell C3 i bladet \"Blad1\" har en felaktig cellpost."},
            {oneSheet(numberCell(0, 256, 1)),
             "bladet \"Blad1\" har en cell utanför bladets 256 kolumner."},
            {oneSheet(mulrk), "cell B1 i bladet \"Blad1\" har en felaktig cellpost."},
            {oneSheet(numberCell(3, 0, qQNaN())),
             "cell A4 i bladet \"Blad1\" har ett ogiltigt tal."},
            {oneSheet(formulaCell(4, 2, 0) + numberCell(5, 2, 1)),
             "cell C5 i bladet \"Blad1\" saknar sitt formelresultat."},
            {oneSheet(formulaCell(0, 0, 9)),
             "cell A1 i bladet \"Blad1\" har ett okänt formelresultat."},
            {moved, "bladet \"Blad1\" ligger utanför arbetsboken."},
            {one.chopped(4), "bladet \"Blad1\" tar slut för tidigt."},
            {QByteArray(), "arbetsboken är tom."},
            {record(0x0042, u16(1252)) + kEof, "arbetsbokens inledande post saknas."},
            {chartSheet, "bladet \"Blad1\" är inte ett kalkylblad."},
            {biff8({{"Blad1", {}}}, record(0x002F, u16(1) + QByteArray(52, 'x'))),
             "Arbetsboken t.biff är lösenordsskyddad och kan inte läsas."},
            {bof(0x0005, 0x0400) + kEof, "Arbetsboken t.biff är sparad i en äldre Excel-version "
                                         "som inte kan läsas. Spara den som .xlsx, .ods eller i "
                                         "Excel 97–2003-format (.xls)."}};
        for (const auto &[stream, what] : cases) {
            const QString message = QString::fromUtf8(what);
            QCOMPARE(refusal(stream), message.startsWith(u"Arbetsboken"_qs)
                                          ? message
                                          : "Arbetsboken t.biff är skadad: " + message);
        }
    }

    // Workbooks cut short fail as damaged (or, cut before their signature, as no workbook),
    // never read as if their cells were missing; zipped ones at least name the file.
    void truncatedInput()
    {
        for (const QString name : {"xls/cells.biff", "xls/long.biff", "xls/cells.xls",
                                   "xls/biff5.xls", "formats/mixed.xlsx", "formats/mixed.ods"}) {
            const QByteArray whole = bytesOf(LUFTVAKA_TEST_DATA "/" + name);
            const QString file = name.section(u'/', 1);
            const bool biff = file.endsWith(u".biff"), xls = file.endsWith(u".xls");
            // The last sector of an .xls file holds nothing the cells need.
            const qsizetype end = xls ? whole.size() - 512 : whole.size();
            const qsizetype step = xls ? 61 : !biff ? 7 : end > 10000 ? 37 : 1;
            QVERIFY(end > 1000);
            for (qsizetype size = 0; size < end; size += step) {
                const QString cut = refusal(whole.left(size), file);
                QVERIFY2(!biff && !xls ? cut.contains(file)
                                       : cut.startsWith("Arbetsboken " + file + " är skadad: ") ||
                                             (xls && cut.contains(u"inte en arbetsbok"_qs)),
                         qPrintable(QString::number(size) + u' ' + cut));
            }
        }
    }

    // .xlsx and .ods read as the .xls does, sheet for sheet and cell for cell, and the three
    // sets of workbooks compute the same runs.
    void otherFormatsReadAlike()
    {
        const auto xls = Workbook::open(kFormats + "mixed.xls");
        QVERIFY2(xls, problem(xls));
        for (const QString format : {"xlsx", "ods"}) {
            const auto other = Workbook::open(kFormats + "mixed." + format);
            QVERIFY2(other, problem(other));
            QCOMPARE(other->sheetCount(), 2);
            for (int s = 1; s <= 2; ++s) {
                QCOMPARE((*other->sheet(s))->name() + shown(**other->sheet(s)),
                         (*xls->sheet(s))->name() + shown(**xls->sheet(s)));
            }
            // Slopes on and between the tables' ones, several speeds, flows of every class.
            std::vector<lv::input::SegmentRow> rows;
            for (const auto &[slope, speed] : {std::pair{"-7", "20"},
                                               {"-2", "50"},
                                               {"0", "70"},
                                               {"3", "80"},
                                               {"5", "45"},
                                               {"7", "100"}})
                rows.push_back({"1", {"250", slope, speed, "900", speed, "60", speed, "25"}});
            for (const QString set : {"default", "calc"}) {
                QTemporaryDir xlsBooks, otherBooks;
                QVERIFY(copyBooks(set, "xls", xlsBooks.path()));
                QVERIFY(copyBooks(set, format, otherBooks.path()));
                const QLocale sv(QStringLiteral("sv_SE"));
                const auto want =
                    lv::calc::computeRun({rows, "2010", "8", "0,3"}, xlsBooks.path(), {}, sv);
                const auto got =
                    lv::calc::computeRun({rows, "2010", "8", "0,3"}, otherBooks.path(), {}, sv);
                QVERIFY2(want && got, problem(want) + problem(got));
                QCOMPARE(got->tunnelMeanRates, want->tunnelMeanRates);
                for (int i = 0; i < 11 * want->segmentCount; ++i) {
                    QCOMPARE(got->segmentRates(std::size_t(i % 11 + 1), std::size_t(i / 11 + 1)),
                             want->segmentRates(std::size_t(i % 11 + 1), std::size_t(i / 11 + 1)));
                }
                // A second version of a workbook beside the first stops the run.
                if (set == "calc" && format == "ods") {
                    QVERIFY(QFile::copy(otherBooks.filePath("faktorer.ods"),
                                        xlsBooks.filePath("faktorer.ods")));
                    QCOMPARE(
                        lv::calc::computeRun({rows, "2010", "8", "0,3"}, xlsBooks.path(), {}, sv)
                            .error()
                            .message,
                        "Två versioner av faktorer ligger i programmets mapp: faktorer.xls "
                        "och faktorer.ods. Ta bort den som inte ska användas.");
                }
            }
        }
    }

    // Odd but sound zipped files: literals, rich text, inline strings, a chart sheet (no
    // worksheet), a range that starts in the first column.
    void handMadeZippedCells()
    {
        const std::pair<const char *, const char *> cases[] = {
            {"edgeformat.ods", "2,0 1x3"},
            {"literals.ods", "2x5/b1|b0|ta   b|n36526.5|n0.5/b1|b0|ta   b|n36526.5|n0.5"},
            {"handmade.xlsx", "1,0 2x6/|tRik text|tA\rB|tinne|e42|b0/n0.0015|n-4||||"}};
        for (const auto &[file, expected] : cases) {
            const auto book = Workbook::open(kFormats + "hostile/" + file);
            QVERIFY2(book, problem(book));
            const QString sheet = shown(**book->sheet(1));
            QVERIFY2(sheet.contains(QString::fromUtf8(expected)), qPrintable(sheet));
        }
        const auto book = Workbook::open(kFormats + "hostile/handmade.xlsx");
        QVERIFY(book->sheetCount() == 1 && (*book->sheet(1))->name() == u"Data");
    }

    void refusedZippedFiles()
    {
        const QByteArray xlsx = bytesOf(kFormats + "mixed.xlsx");
        const QString tooLarge = "har celler utanför 65 536 rader och 256 kolumner";
        std::vector<std::tuple<QString, QByteArray, QString>> cases = {
            {"halved.xlsx", xlsx.left(xlsx.size() / 2), "zip-arkivet är trasigt"},
            {"nozip.xlsx", "PK\x03\x04 not a zip", "zip-arkivet är trasigt"},
            {"text.ods", "a text", "är inte en arbetsbok i något av formaten"}};
        for (const auto &[name, message] : std::initializer_list<std::pair<QString, QString>>{
                 {"zipbomb.xlsx", "är orimligt stor uppackad"},
                 {"lyingsize.xlsx", "är skadad"},
                 {"xmlbomb.xlsx", "sheet1.xml är inte giltig XML"},
                 {"nosheetpart.xlsx", "sheet1.xml saknas i zip-arkivet"},
                 {"millionrows.xlsx", tooLarge},
                 {"millionrows.ods", tooLarge},
                 {"noresult.xlsx", "cell A1 i bladet \"Blandat\" saknar sitt"},
                 {"noresult.ods", "cell A1 i bladet \"Blad1\" saknar sitt"}})
            cases.emplace_back(name, bytesOf(kFormats + "hostile/" + name), message);
        for (const auto &[name, bytes, message] : cases) {
            const QString read = refusal(bytes, name);
            QVERIFY2(!bytes.isEmpty() && read.contains(name) && read.contains(message),
                     qPrintable(name + ": " + read));
        }
    }

    // Opening takes memory in proportion to the file, not to the largest file allowed: a small
    // workbook opens with 64 MB of address space to spare. In a child, so that the limit and a
    // failed allocation stay there.
    void smallWorkbookWithLittleRoom()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizer reserves far more address space than this test may limit");
#endif
        const QString path = kShipped + "faktorer.xls";
        QVERIFY(Workbook::open(path).ok()); // everything loaded that a first open loads
        QFile statm(u"/proc/self/statm"_qs);
        QVERIFY(statm.open(QIODevice::ReadOnly));
        const rlim_t room =
            rlim_t(statm.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGESIZE)) +
            (64 << 20);
        const pid_t child = fork();
        if (child == 0) {
            std::signal(SIGABRT, SIG_DFL); // the test's crash handlers are the parent's
            const rlimit limit{room, room};
            _exit(setrlimit(RLIMIT_AS, &limit) != 0 ? 2 : Workbook::open(path) ? 0 : 1);
        }
        int status = -1;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0,
                 qPrintable(QString::number(status)));
    }
};

QTEST_GUILESS_MAIN(TestXls)
#include "tst_xls.moc"
