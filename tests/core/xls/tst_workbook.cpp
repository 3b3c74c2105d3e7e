#include "core/xls/biff.h"
#include "core/xls/workbook.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstring>
#include <limits>

using lv::xls::Cell;
using lv::xls::Sheet;
using lv::xls::Workbook;

Q_DECLARE_METATYPE(lv::xls::Cell)

namespace lv::xls {
// Readable cells in failure output.
char *toString(const Cell &cell)
{
    static const char *const names[] = {"empty", "number", "text", "boolean", "error"};
    const QString text = QStringLiteral("%1(%2, \"%3\", %4)")
                             .arg(QLatin1String(names[int(cell.type)]))
                             .arg(cell.number, 0, 'g', 17)
                             .arg(cell.text.left(40))
                             .arg(int(cell.errorCode));
    return qstrdup(text.toUtf8().constData());
}
} // namespace lv::xls

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(LUFTVAKA_TEST_DATA "/xls/") + name;
}

QByteArray fixtureBytes(const QString &name)
{
    QFile file(fixture(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test file %s", qPrintable(name));
    return file.readAll();
}

Cell number(double value)
{
    return {Cell::Type::Number, value, {}, 0};
}
Cell text(const QString &value)
{
    return {Cell::Type::Text, 0, value, 0};
}
Cell boolean(bool value)
{
    return {Cell::Type::Boolean, value ? 1.0 : 0.0, {}, 0};
}
Cell error(uint8_t code)
{
    return {Cell::Type::Error, 0, {}, code};
}

// Building blocks of hand-made BIFF streams.
QByteArray u16(int value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian<uint16_t>(uint16_t(value), bytes.data());
    return bytes;
}
QByteArray u32(uint32_t value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<uint32_t>(value, bytes.data());
    return bytes;
}
QByteArray f64(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray bytes(8, '\0');
    qToLittleEndian<uint64_t>(bits, bytes.data());
    return bytes;
}
QByteArray record(int type, const QByteArray &body = {})
{
    return u16(type) + u16(int(body.size())) + body;
}
QByteArray cell(int type, int row, int column, const QByteArray &rest)
{
    return record(type, u16(row) + u16(column) + u16(15) + rest);
}
QByteArray numberCell(int row, int column, double value)
{
    return cell(0x0203, row, column, f64(value));
}
QByteArray bof(int kind, int version = 0x0600)
{
    return record(0x0809, u16(version) + u16(kind) + u32(0) + u32(0));
}
QByteArray eof()
{
    return record(0x000A);
}
// An 8-bit BIFF8 string with a 16-bit character count.
QByteArray latin1String(const QByteArray &chars)
{
    return u16(int(chars.size())) + '\0' + chars;
}

struct SheetSource
{
    QByteArray name;
    QByteArray records; // between the sheet's BOF and EOF
    int type = 0;       // BOUNDSHEET sheet type: 0 worksheet, 2 chart
};

// A BIFF8 stream: the globals (with `globals` records before the sheet list), then the sheets.
QByteArray biff8(const QList<SheetSource> &sheets, const QByteArray &globals = {},
                 const QByteArray &afterSheetList = {})
{
    auto globalsPart = [&](const QList<uint32_t> &offsets) {
        QByteArray out = bof(0x0005) + globals;
        for (qsizetype i = 0; i < sheets.size(); ++i) {
            out += record(0x0085, u32(offsets.value(i)) + char(0) + char(sheets[i].type) +
                                      char(sheets[i].name.size()) + '\0' + sheets[i].name);
        }
        return out + afterSheetList + eof();
    };
    QList<uint32_t> offsets;
    uint32_t at = uint32_t(globalsPart({}).size());
    QByteArray body;
    for (const SheetSource &sheet : sheets) {
        offsets << at;
        const QByteArray part = bof(sheet.type == 2 ? 0x0020 : 0x0010) + sheet.records + eof();
        body += part;
        at += uint32_t(part.size());
    }
    return globalsPart(offsets) + body;
}

QByteArray oneSheet(const QByteArray &records, const QByteArray &afterSheetList = {})
{
    return biff8({{"Blad1", records}}, {}, afterSheetList);
}

// A shared-string table of the given strings (already encoded), split into CONTINUE records
// where the caller put them.
QByteArray sst(const QList<QByteArray> &parts, int count)
{
    QByteArray out = record(0x00FC, u32(uint32_t(count)) + u32(uint32_t(count)) + parts.value(0));
    for (qsizetype i = 1; i < parts.size(); ++i)
        out += record(0x003C, parts[i]);
    return out;
}

} // namespace

class TestWorkbook : public QObject
{
    Q_OBJECT

private slots:
    void cells_data();
    void cells();
    void usedRange_data();
    void usedRange();
    void longSharedStrings();
    void sheetLookup_data();
    void sheetLookup();
    void openErrors_data();
    void openErrors();
    void truncatedFile();
    void streamErrors_data();
    void streamErrors();
    void sharedStringsAcrossContinue();
    void usedRangeFromCellRecords();
    void sparseLargeRange();
    void embeddedChartAndDialogSheetsAreSkipped();
    void laterRecordReplacesEarlier();
    void rkValue_data();
    void rkValue();
    void damagedStreamsNeverCrash();
};

void TestWorkbook::cells_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<Cell>("expected");

    const QString cells = QStringLiteral("cells.xls");
    const QString values = QStringLiteral("Värden");
    // Integers and decimals in one row are stored as MULRK; the others as NUMBER.
    QTest::newRow("rk integer") << cells << values << 1 << 1 << number(1);
    QTest::newRow("rk negative") << cells << values << 1 << 4 << number(-4);
    QTest::newRow("rk decimal") << cells << values << 1 << 3 << number(3.5);
    QTest::newRow("rk hundredths") << cells << values << 1 << 5 << number(0.01);
    QTest::newRow("rk negative hundredths") << cells << values << 1 << 6 << number(-12.34);
    QTest::newRow("number 0.1") << cells << values << 1 << 7 << number(0.1);
    QTest::newRow("number") << cells << values << 1 << 8 << number(1234567.891);
    QTest::newRow("number huge") << cells << values << 1 << 9 << number(1e300);
    QTest::newRow("number 2^29") << cells << values << 1 << 10 << number(536870912);
    QTest::newRow("swedish letters") << cells << values << 2 << 1 << text(u"åäö ÅÄÖ"_qs);
    QTest::newRow("euro and en dash") << cells << values << 2 << 2 << text(u"12 € – tolv"_qs);
    QTest::newRow("ascii") << cells << values << 2 << 3 << text(u"Pb"_qs);
    QTest::newRow("greek") << cells << values << 2 << 4 << text(u"Ωμέγα"_qs);
    QTest::newRow("blanks kept") << cells << values << 2 << 5 << text(u"  blanka  "_qs);
    QTest::newRow("formula number") << cells << values << 3 << 1 << number(2);
    QTest::newRow("formula text") << cells << values << 3 << 2 << text(u"Pbx"_qs);
    QTest::newRow("formula true") << cells << values << 3 << 3 << boolean(true);
    QTest::newRow("formula div0") << cells << values << 3 << 4 << error(0x07);
    QTest::newRow("formula n/a") << cells << values << 3 << 5 << error(0x2A);
    QTest::newRow("formula empty text") << cells << values << 3 << 6 << text(QString());
    QTest::newRow("formula product") << cells << values << 3 << 7 << number(7);
    QTest::newRow("formula 16-bit text")
        << cells << values << 3 << 8 << text(u"åäö ÅÄÖ12 € – tolv"_qs);
    QTest::newRow("formula false") << cells << values << 3 << 9 << boolean(false);
    // LibreOffice saves boolean constants as the numbers 1 and 0.
    QTest::newRow("boolean constant") << cells << values << 4 << 1 << number(1);
    QTest::newRow("empty text") << cells << values << 4 << 3 << text(QString());
    QTest::newRow("formatted blank") << cells << values << 4 << 4 << Cell();
    QTest::newRow("gap") << cells << values << 4 << 6 << Cell();
    QTest::newRow("blanks in name") << cells << u"PB  0%"_qs << 2 << 2 << number(0.0712);
    QTest::newRow("last sheet") << cells << u"Sista bladet"_qs << 1 << 1 << text(u"sist"_qs);
    QTest::newRow("empty sheet") << cells << u"Tom"_qs << 1 << 1 << Cell();
    QTest::newRow("offset range") << u"range.xls"_qs << u"Område"_qs << 1 << 1
                                  << text(u"Lutning"_qs);
    QTest::newRow("offset range formula")
        << u"range.xls"_qs << u"Område"_qs << 3 << 2 << number(3.75);

    const QString biff5 = QStringLiteral("biff5.xls");
    const QString blad = QStringLiteral("Blad ÅÄÖ");
    QTest::newRow("biff5 label 1252") << biff5 << blad << 1 << 1 << text(u"åäö € – Pb"_qs);
    QTest::newRow("biff5 number") << biff5 << blad << 1 << 2 << number(1.5);
    QTest::newRow("biff5 rk") << biff5 << blad << 1 << 3 << number(7);
    QTest::newRow("biff5 rk hundredths") << biff5 << blad << 1 << 4 << number(12.34);
    QTest::newRow("biff5 mulrk float") << biff5 << blad << 2 << 3 << number(0.5);
    QTest::newRow("biff5 mulrk negative") << biff5 << blad << 2 << 2 << number(-2);
    QTest::newRow("biff5 rstring") << biff5 << blad << 2 << 4 << text(u"Rik text"_qs);
    QTest::newRow("biff5 formula text") << biff5 << blad << 3 << 1 << text(u"Blad ÅÄÖ€"_qs);
    QTest::newRow("biff5 formula number") << biff5 << blad << 3 << 2 << number(3);
    QTest::newRow("biff5 formula boolean") << biff5 << blad << 3 << 3 << boolean(true);
    QTest::newRow("biff5 formula error") << biff5 << blad << 3 << 4 << error(0x07);
    QTest::newRow("biff5 boolerr false") << biff5 << blad << 4 << 1 << boolean(false);
    QTest::newRow("biff5 boolerr error") << biff5 << blad << 4 << 2 << error(0x2A);
    QTest::newRow("biff5 blank") << biff5 << blad << 5 << 5 << Cell();
}

void TestWorkbook::cells()
{
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(Cell, expected);

    const auto workbook = Workbook::open(fixture(file));
    QVERIFY2(workbook.ok(), qPrintable(workbook ? QString() : workbook.error().message));
    const auto found = workbook->sheet(sheet);
    QVERIFY2(found.ok(), qPrintable(found ? QString() : found.error().message));
    QVERIFY((*found)->contains(row, column));
    QCOMPARE((*found)->at(row, column), expected);
}

void TestWorkbook::usedRange_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("topLeft");
    QTest::addColumn<QString>("bottomRight");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");

    QTest::newRow("from A1") << "cells.xls" << u"Värden"_qs << "A1"
                             << "J4" << 4 << 10;
    QTest::newRow("small table") << "cells.xls"
                                 << "PB  0%"
                                 << "A1"
                                 << "C2" << 2 << 3;
    QTest::newRow("no cells: A1") << "cells.xls"
                                  << "Tom"
                                  << "A1"
                                  << "A1" << 1 << 1;
    // Values in C3:E5, formatted blanks in F7:G7.
    QTest::newRow("not at A1") << "range.xls" << u"Område"_qs << "C3"
                               << "G7" << 5 << 5;
    QTest::newRow("only a blank") << "range.xls"
                                  << "Bara ram"
                                  << "B2"
                                  << "B2" << 1 << 1;
    QTest::newRow("biff5") << "biff5.xls" << u"Blad ÅÄÖ"_qs << "A1"
                           << "E5" << 5 << 5;
    QTest::newRow("biff5 one cell") << "biff5.xls"
                                    << "PB  0%"
                                    << "C10"
                                    << "C10" << 1 << 1;
}

void TestWorkbook::usedRange()
{
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(QString, topLeft);
    QFETCH(QString, bottomRight);
    QFETCH(int, rows);
    QFETCH(int, columns);

    const auto workbook = Workbook::open(fixture(file));
    QVERIFY(workbook.ok());
    const auto found = workbook->sheet(sheet);
    QVERIFY(found.ok());
    const Sheet &used = **found;
    QCOMPARE(used.rowCount(), rows);
    QCOMPARE(used.columnCount(), columns);
    QCOMPARE(used.reference(1, 1), topLeft);
    QCOMPARE(used.reference(rows, columns), bottomRight);
    QVERIFY(!used.contains(rows + 1, 1));
    QVERIFY(!used.contains(1, columns + 1));
    QVERIFY(!used.contains(0, 1));
}

void TestWorkbook::longSharedStrings()
{
    // Strings longer than one record go on in CONTINUE records; the 16-bit one and the one
    // whose rich-text runs straddle a boundary must come out whole, and so must what follows.
    QString ascii;
    QString wide;
    QString latin1;
    QString rich;
    for (int i = 0; i < 2000; ++i)
        ascii += QStringLiteral("%1,").arg(i, 4, 10, QLatin1Char('0'));
    for (int i = 0; i < 1500; ++i)
        wide += QStringLiteral("%1Ω").arg(i, 4, 10, QLatin1Char('0'));
    for (int i = 0; i < 2500; ++i)
        latin1 += QStringLiteral("%1å").arg(i % 1000, 3, 10, QLatin1Char('0'));
    for (int i = 0; i < 1200; ++i)
        rich += QStringLiteral("%1-").arg(i, 3, 10, QLatin1Char('0'));

    const auto workbook = Workbook::open(fixture(QStringLiteral("long.xls")));
    QVERIFY2(workbook.ok(), qPrintable(workbook ? QString() : workbook.error().message));
    const Sheet &sheet = **workbook->sheet(1);
    QCOMPARE(sheet.rowCount(), 6);
    QCOMPARE(sheet.at(1, 1), text(ascii));
    QCOMPARE(sheet.at(2, 1), text(wide));
    QCOMPARE(sheet.at(3, 1), text(latin1));
    QCOMPARE(sheet.at(4, 1), text(QStringLiteral("ab").repeated(5000))); // STRING + CONTINUE
    QCOMPARE(sheet.at(5, 1), text(rich));
    QCOMPARE(sheet.at(6, 1), text(QStringLiteral("efter")));
}

void TestWorkbook::sheetLookup_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QVariant>("key");     // a name or a position
    QTest::addColumn<QString>("expected"); // the sheet's name, or the error message

    QTest::newRow("exact name") << "cells.xls" << QVariant(u"PB  0%"_qs) << "PB  0%";
    QTest::newRow("other case") << "cells.xls" << QVariant(u"pb  0%"_qs) << "PB  0%";
    QTest::newRow("other case, å ä ö") << "cells.xls" << QVariant(u"VÄRDEN"_qs) << u"Värden"_qs;
    QTest::newRow("one blank less")
        << "cells.xls" << QVariant(u"PB 0%"_qs) << "Arbetsboken cells.xls saknar bladet \"PB 0%\".";
    QTest::newRow("first") << "cells.xls" << QVariant(1) << u"Värden"_qs;
    QTest::newRow("third") << "cells.xls" << QVariant(3) << "Tom";
    QTest::newRow("past the last")
        << "cells.xls" << QVariant(5) << "Arbetsboken cells.xls saknar blad nummer 5.";
    QTest::newRow("zero") << "cells.xls" << QVariant(0)
                          << "Arbetsboken cells.xls saknar blad nummer 0.";
    // The chart sheet between them is not a worksheet.
    QTest::newRow("after a chart sheet") << "biff5.xls" << QVariant(2) << "PB  0%";
    QTest::newRow("chart sheet by name") << "biff5.xls" << QVariant(u"Diagram"_qs)
                                         << "Arbetsboken biff5.xls saknar bladet \"Diagram\".";
}

void TestWorkbook::sheetLookup()
{
    QFETCH(QString, file);
    QFETCH(QVariant, key);
    QFETCH(QString, expected);

    const auto workbook = Workbook::open(fixture(file));
    QVERIFY(workbook.ok());
    const auto found = key.typeId() == QMetaType::Int ? workbook->sheet(key.toInt())
                                                      : workbook->sheet(key.toString());
    QCOMPARE(found ? (*found)->name() : found.error().message, expected);
}

void TestWorkbook::openErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // null: the file is not made
    QTest::addColumn<QString>("message");

    QTest::newRow("missing") << "faktorer.xls" << QByteArray()
                             << "Arbetsboken faktorer.xls kunde inte öppnas: filen finns inte.";
    QTest::newRow("text file") << "x.xls" << QByteArray("Hastighet\t30\r\n")
                               << u"Arbetsboken x.xls är inte en arbetsbok i Excel 97–2003-format "
                                  "(.xls)."_qs;
    QTest::newRow("empty file") << "x.xls" << QByteArray("")
                                << u"Arbetsboken x.xls är inte en arbetsbok i Excel 97–2003-format "
                                   "(.xls)."_qs;
    QTest::newRow("xlsx") << "x.xls" << QByteArray("PK\x03\x04\x14\x00\x06\x00", 8)
                          << u"Arbetsboken x.xls är inte en arbetsbok i Excel 97–2003-format "
                             "(.xls)."_qs;
    QTest::newRow("excel 4")
        << "x.xls" << record(0x0409, u16(0) + u16(0x10) + u16(0)) + eof()
        << u"Arbetsboken x.xls är sparad i en äldre Excel-version som inte kan läsas. Spara den "
           "i Excel 97–2003-format (.xls)."_qs;
    QTest::newRow("compound file header only")
        << "x.xls" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8).leftJustified(512, '\0')
        << u"Arbetsboken x.xls är skadad: filens innehållsförteckning kan inte läsas."_qs;
}

void TestWorkbook::openErrors()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(name);
    if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const auto workbook = Workbook::open(path);
    QVERIFY(!workbook.ok());
    QCOMPARE(workbook.error().message, message);
}

void TestWorkbook::truncatedFile()
{
    // A workbook cut short is reported as damaged (or, cut before its signature, as no
    // workbook), never read as if its cells were missing.
    const QByteArray whole = fixtureBytes(QStringLiteral("cells.xls"));
    for (const qsizetype size : {qsizetype(4), qsizetype(100), qsizetype(600), qsizetype(2048),
                                 qsizetype(4096), whole.size() / 2}) {
        const auto workbook = Workbook::fromBytes(whole.left(size), QStringLiteral("cells.xls"));
        QVERIFY2(!workbook.ok(), qPrintable(QString::number(size)));
        const QString &message = workbook.error().message;
        QVERIFY2(message.startsWith(QStringLiteral("Arbetsboken cells.xls är skadad: ")) ||
                     message.contains(QStringLiteral("inte en arbetsbok")),
                 qPrintable(message));
    }

    const QByteArray stream = fixtureBytes(QStringLiteral("cells.biff"));
    for (const qsizetype size : {qsizetype(2), qsizetype(10), qsizetype(500), qsizetype(1500),
                                 qsizetype(2500), stream.size() - 1}) {
        const auto workbook = Workbook::fromBiffStream(stream.left(size), u"cells.xls"_qs);
        QVERIFY2(!workbook.ok(), qPrintable(QString::number(size)));
        QVERIFY2(workbook.error().message.startsWith(u"Arbetsboken cells.xls är skadad: "_qs),
                 qPrintable(workbook.error().message));
    }
}

void TestWorkbook::streamErrors_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QString>("message");
    const QString damaged = QStringLiteral("Arbetsboken t.xls är skadad: ");

    const QByteArray sstOne = sst({latin1String("a")}, 1);
    QTest::newRow("sst index past the end")
        << biff8({{"Blad1", cell(0x00FD, 1, 1, u32(1))}}, sstOne)
        << damaged + "cell B2 i bladet \"Blad1\" pekar på en delad text som saknas.";
    QTest::newRow("sst index without sst")
        << oneSheet(cell(0x00FD, 0, 0, u32(0)))
        << damaged + "cell A1 i bladet \"Blad1\" pekar på en delad text som saknas.";
    QTest::newRow("sst string cut short")
        << biff8({{"Blad1", {}}}, record(0x00FC, u32(1) + u32(1) + u16(5) + '\0' + "ab"))
        << damaged + "tabellen med delade texter är felaktig.";
    {
        QByteArray stream = oneSheet(numberCell(0, 0, 1));
        stream.chop(4);
        stream += u16(0x000A) + u16(8); // an EOF whose body is missing
        QTest::newRow("record length past the end")
            << stream << damaged + "en post räcker förbi arbetsbokens slut.";
        QByteArray cut = oneSheet(numberCell(0, 0, 1));
        cut.chop(2);
        QTest::newRow("header cut") << cut << damaged + "arbetsboken tar slut mitt i en post.";
    }
    QTest::newRow("short number record")
        << oneSheet(record(0x0203, u16(2) + u16(2) + u16(15) + "1234"))
        << damaged + "cell C3 i bladet \"Blad1\" har en felaktig cellpost.";
    QTest::newRow("column past IV") << oneSheet(numberCell(0, 256, 1))
                                    << damaged + "bladet \"Blad1\" har en cell utanför bladets "
                                                 "256 kolumner.";
    QTest::newRow("mulrk past IV")
        << oneSheet(
               record(0x00BD, u16(0) + u16(255) + u16(15) + u32(2) + u16(15) + u32(6) + u16(256)))
        << damaged + "cell IV1 i bladet \"Blad1\" har en felaktig cellpost.";
    QTest::newRow("mulrk wrong last column")
        << oneSheet(record(0x00BD, u16(0) + u16(1) + u16(15) + u32(2) + u16(15) + u32(6) + u16(7)))
        << damaged + "cell B1 i bladet \"Blad1\" har en felaktig cellpost.";
    QTest::newRow("not a number") << oneSheet(
                                         numberCell(3, 0, std::numeric_limits<double>::quiet_NaN()))
                                  << damaged + "cell A4 i bladet \"Blad1\" har ett ogiltigt tal.";
    QTest::newRow("infinite formula result")
        << oneSheet(cell(0x0006, 0, 1,
                         f64(std::numeric_limits<double>::infinity()) + u16(0) + u32(0) + u16(0)))
        << damaged + "cell B1 i bladet \"Blad1\" har ett ogiltigt tal.";
    QTest::newRow("formula text without STRING")
        << oneSheet(cell(0x0006, 4, 2, u32(0) + u32(0xFFFF0000) + u16(0) + u32(0) + u16(0)) +
                    numberCell(5, 2, 1))
        << damaged + "cell C5 i bladet \"Blad1\" saknar sitt formelresultat.";
    QTest::newRow("formula text at the end")
        << oneSheet(cell(0x0006, 4, 2, u32(0) + u32(0xFFFF0000) + u16(0) + u32(0) + u16(0)))
        << damaged + "cell C5 i bladet \"Blad1\" saknar sitt formelresultat.";
    QTest::newRow("unknown formula result")
        << oneSheet(cell(0x0006, 0, 0, u32(9) + u32(0xFFFF0000) + u16(0) + u32(0) + u16(0)))
        << damaged + "cell A1 i bladet \"Blad1\" har ett okänt formelresultat.";
    {
        QByteArray stream = oneSheet(numberCell(0, 0, 1));
        // The sheet's BOF is where the sheet list points; move it past the stream's end.
        const QByteArray sheetStart = bof(0x0010);
        const qsizetype at = stream.indexOf(sheetStart, 10);
        const qsizetype entry = stream.indexOf(QByteArray("\x85\x00", 2));
        qToLittleEndian<uint32_t>(uint32_t(stream.size() + 10), stream.data() + entry + 4);
        QTest::newRow("sheet offset outside")
            << stream << damaged + "bladet \"Blad1\" ligger utanför arbetsboken.";
        qToLittleEndian<uint32_t>(uint32_t(at + 4), stream.data() + entry + 4);
        QTest::newRow("sheet offset not at its BOF")
            << stream << damaged + "bladet \"Blad1\" börjar inte där bladförteckningen anger.";
    }
    {
        QByteArray stream = oneSheet(numberCell(0, 0, 1));
        stream.chop(4);
        QTest::newRow("sheet without EOF")
            << stream << damaged + "bladet \"Blad1\" tar slut för tidigt.";
    }
    QTest::newRow("globals without EOF")
        << bof(0x0005) + record(0x0042, u16(1200)) << damaged + "arbetsboken tar slut för tidigt.";
    QTest::newRow("empty stream") << QByteArray() << damaged + "arbetsboken är tom.";
    QTest::newRow("no BOF") << record(0x0042, u16(1252)) + eof()
                            << damaged + "arbetsbokens inledande post saknas.";
    QTest::newRow("worksheet first")
        << bof(0x0010) + eof() << damaged + "arbetsbokens bladförteckning saknas.";
    QTest::newRow("encrypted") << biff8({{"Blad1", numberCell(0, 0, 1)}},
                                        record(0x002F, u16(1) + QByteArray(52, 'x')))
                               << "Arbetsboken t.xls är lösenordsskyddad och kan inte läsas.";
    QTest::newRow("unknown version")
        << bof(0x0005, 0x0400) + eof()
        << u"Arbetsboken t.xls är sparad i en äldre Excel-version som inte kan läsas. Spara den "
           "i Excel 97–2003-format (.xls)."_qs;
    QTest::newRow("excel 3 stream")
        << record(0x0209, u16(0) + u16(0x10) + u16(0)) + eof()
        << u"Arbetsboken t.xls är sparad i en äldre Excel-version som inte kan läsas. Spara den "
           "i Excel 97–2003-format (.xls)."_qs;
    QTest::newRow("chart where a worksheet should be")
        << biff8({{"Blad1", {}, 2}})
               .replace(QByteArray("\x00\x02\x05", 3), QByteArray("\x00\x00\x05", 3))
        << damaged + "bladet \"Blad1\" är inte ett kalkylblad.";
}

void TestWorkbook::streamErrors()
{
    QFETCH(QByteArray, stream);
    QFETCH(QString, message);

    const auto workbook = Workbook::fromBiffStream(stream, QStringLiteral("t.xls"));
    QVERIFY(!workbook.ok());
    QCOMPARE(workbook.error().message, message);
}

void TestWorkbook::sharedStringsAcrossContinue()
{
    // String 0: 8-bit "abc" + (continues) 16-bit "ΩΩ": the flags byte at the boundary switches.
    // String 1: rich text with phonetic data, both continuing in a later CONTINUE.
    // String 2: 16-bit "Ωx", continuing as 8-bit "yz". String 3: a plain "slut" after them.
    QByteArray first = u16(5) + '\0' + "abc";
    QByteArray second = QByteArray(1, '\x01') + u16(0x03A9) + u16(0x03A9);
    second += u16(2) + '\x0C' + u16(2) + u32(6) + "hi" + "RUN1"; // runs start ...
    QByteArray third = "RUN2" + QByteArray("PHONET");            // ... and go on here, phonetic too
    third += u16(4) + '\x01' + u16(0x03A9) + u16('x');
    QByteArray fourth = QByteArray(1, '\0') + "yz" + u16(4) + '\0' + "slut";

    QByteArray cells;
    for (int i = 0; i < 4; ++i)
        cells += cell(0x00FD, i, 0, u32(uint32_t(i)));
    const auto workbook = Workbook::fromBiffStream(
        biff8({{"Blad1", cells}}, sst({first, second, third, fourth}, 4)), u"t.xls"_qs);
    QVERIFY2(workbook.ok(), qPrintable(workbook ? QString() : workbook.error().message));
    const Sheet &sheet = **workbook->sheet(1);
    QCOMPARE(sheet.at(1, 1), text(u"abcΩΩ"_qs));
    QCOMPARE(sheet.at(2, 1), text(u"hi"_qs));
    QCOMPARE(sheet.at(3, 1), text(u"Ωxyz"_qs));
    QCOMPARE(sheet.at(4, 1), text(u"slut"_qs));
}

void TestWorkbook::usedRangeFromCellRecords()
{
    // DIMENSIONS claims A1:Z100; the cell records say B2:D3, and that is the used range.
    // Also LABEL (8-bit Latin-1, not the code page), BOOLERR and a MULBLANK that widens it.
    const QByteArray dimensions = record(0x0200, u32(0) + u32(100) + u16(0) + u16(26) + u16(0));
    const QByteArray records = dimensions + numberCell(1, 1, 2.5) +
                               cell(0x0204, 2, 1, latin1String("\xE9t\xE9 \x80")) +
                               cell(0x0205, 1, 2, QByteArray("\x01\x00", 2)) +
                               record(0x00BE, u16(2) + u16(2) + u16(15) + u16(15) + u16(3));
    const auto workbook =
        Workbook::fromBiffStream(oneSheet(records, record(0x0042, u16(1251))), u"t.xls"_qs);
    QVERIFY2(workbook.ok(), qPrintable(workbook ? QString() : workbook.error().message));
    const Sheet &sheet = **workbook->sheet(u"blad1"_qs);
    QCOMPARE(sheet.reference(1, 1), u"B2"_qs);
    QCOMPARE(sheet.rowCount(), 2);
    QCOMPARE(sheet.columnCount(), 3);
    QCOMPARE(sheet.at(1, 1), number(2.5));
    QCOMPARE(sheet.at(2, 1), text(u"été \u0080"_qs));
    QCOMPARE(sheet.at(1, 2), boolean(true));
    QCOMPARE(sheet.at(2, 3), Cell());
}

void TestWorkbook::sparseLargeRange()
{
    // Formatted blanks in opposite corners of the sheet span 65536 x 256 cells; the sheet must
    // still be read, without a table of that size.
    const QByteArray records =
        cell(0x0201, 0, 0, {}) + numberCell(1, 1, 5) + cell(0x0201, 65535, 255, {});
    const auto workbook = Workbook::fromBiffStream(oneSheet(records), u"t.xls"_qs);
    QVERIFY(workbook.ok());
    const Sheet &sheet = **workbook->sheet(1);
    QCOMPARE(sheet.rowCount(), 65536);
    QCOMPARE(sheet.columnCount(), 256);
    QCOMPARE(sheet.at(2, 2), number(5));
    QCOMPARE(sheet.at(65536, 256), Cell());
    QCOMPARE(sheet.reference(65536, 256), u"IV65536"_qs);
}

void TestWorkbook::embeddedChartAndDialogSheetsAreSkipped()
{
    // An embedded chart's substream inside a worksheet holds cache records that are not cells.
    const QByteArray chart = bof(0x0020) + numberCell(50, 50, 9) + eof();
    const QByteArray dialog = record(0x0081, u16(0x0010)) + numberCell(0, 0, 3);
    const auto workbook = Workbook::fromBiffStream(
        biff8({{"Först", numberCell(0, 0, 1) + chart}, {"Dialog", dialog}, {"Sist", {}}}),
        u"t.xls"_qs);
    QVERIFY2(workbook.ok(), qPrintable(workbook ? QString() : workbook.error().message));
    QCOMPARE(workbook->sheetCount(), 2);
    const Sheet &first = **workbook->sheet(1);
    QCOMPARE(first.rowCount(), 1);
    QCOMPARE(first.columnCount(), 1);
    QCOMPARE((*workbook->sheet(2))->name(), u"Sist"_qs);
    QVERIFY(!workbook->sheet(u"Dialog"_qs).ok());
}

void TestWorkbook::laterRecordReplacesEarlier()
{
    const QByteArray records = numberCell(0, 0, 1) + numberCell(0, 1, 2) + numberCell(0, 0, 3);
    const auto workbook = Workbook::fromBiffStream(oneSheet(records), u"t.xls"_qs);
    QVERIFY(workbook.ok());
    const Sheet &sheet = **workbook->sheet(1);
    QCOMPARE(sheet.at(1, 1), number(3));
    QCOMPARE(sheet.at(1, 2), number(2));
}

void TestWorkbook::rkValue_data()
{
    QTest::addColumn<uint>("rk");
    QTest::addColumn<double>("value");

    QTest::newRow("integer") << uint(7 << 2 | 2) << 7.0;
    QTest::newRow("negative integer") << uint(uint32_t(-2) << 2 | 2) << -2.0;
    QTest::newRow("integer / 100") << uint(1234 << 2 | 3) << 12.34;
    QTest::newRow("negative / 100") << uint(uint32_t(-1234) << 2 | 3) << -12.34;
    QTest::newRow("double 0.5") << 0x3FE00000u << 0.5;
    QTest::newRow("double 1.5 / 100") << (0x3FF80000u | 1) << 0.015;
    QTest::newRow("largest integer") << uint(0x1FFFFFFF << 2 | 2) << 536870911.0;
}

void TestWorkbook::rkValue()
{
    QFETCH(uint, rk);
    QFETCH(double, value);
    QCOMPARE(lv::xls::biff::rkValue(rk), value);
}

void TestWorkbook::damagedStreamsNeverCrash()
{
    // Every cut and a few thousand byte changes of real workbooks: the reader may fail, but
    // must fail with a message, and never crash, hang or run past its buffers (the sanitizer
    // build checks the last).
    int failures = 0;
    auto check = [&](const lv::Expected<Workbook> &workbook) {
        if (!workbook.ok()) {
            ++failures;
            QVERIFY(workbook.error().message.startsWith(u"Arbetsboken t.xls "_qs));
        }
    };
    QRandomGenerator random(20261206);
    for (const char *name : {"cells.biff", "long.biff"}) {
        const QByteArray stream = fixtureBytes(QString::fromLatin1(name));
        const qsizetype step = stream.size() > 10000 ? 37 : 1;
        for (qsizetype size = 0; size < stream.size(); size += step)
            check(Workbook::fromBiffStream(stream.left(size), u"t.xls"_qs));
        for (int i = 0; i < 3000; ++i) {
            QByteArray damaged = stream;
            for (int k = 0; k < 1 + i % 4; ++k)
                damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
            check(Workbook::fromBiffStream(damaged, u"t.xls"_qs));
        }
    }
    for (const char *name : {"cells.xls", "biff5.xls"}) {
        const QByteArray file = fixtureBytes(QString::fromLatin1(name));
        for (qsizetype size = 0; size < file.size(); size += 61)
            check(Workbook::fromBytes(file.left(size), u"t.xls"_qs));
        for (int i = 0; i < 1000; ++i) {
            QByteArray damaged = file;
            damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
            check(Workbook::fromBytes(damaged, u"t.xls"_qs));
        }
    }
    QVERIFY(failures > 0);
}

QTEST_GUILESS_MAIN(TestWorkbook)
#include "tst_workbook.moc"
