#include "core/xls/biff.h"
#include "core/xls/biffworkbook.h"
#include "core/xls/workbook.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

#include <bit>
#include <limits>

using lv::xls::Cell;
using lv::xls::Sheet;
using lv::xls::Workbook;

Q_DECLARE_METATYPE(lv::xls::Cell)

namespace lv::xls {
// Readable cells in failure output: type, number, text, error code.
char *toString(const Cell &c)
{
    return qstrdup(QStringLiteral("%1 %2 \"%3\" %4")
                       .arg(int(c.type))
                       .arg(c.number, 0, 'g', 17)
                       .arg(c.text.left(40))
                       .arg(c.errorCode)
                       .toUtf8());
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

const auto number = [](double v) { return Cell{Cell::Type::Number, v, {}, 0}; };
const auto text = [](const QString &v) { return Cell{Cell::Type::Text, 0, v, 0}; };
const auto boolean = [](bool v) { return Cell{Cell::Type::Boolean, v ? 1.0 : 0.0, {}, 0}; };
const auto error = [](uint8_t code) { return Cell{Cell::Type::Error, 0, {}, code}; };

// Building blocks of hand-made BIFF streams (little-endian).
const auto u16 = [](int v) { return QByteArray(1, char(v)) + char(v >> 8); };
const auto u32 = [](uint32_t v) { return u16(int(v)) + u16(int(v >> 16)); };
const auto f64 = [](double v) {
    const auto bits = std::bit_cast<uint64_t>(v);
    return u32(uint32_t(bits)) + u32(uint32_t(bits >> 32));
};
const auto record = [](int type, const QByteArray &body = {}) {
    return u16(type) + u16(int(body.size())) + body;
};
const auto cell = [](int type, int row, int column, const QByteArray &rest) {
    return record(type, u16(row) + u16(column) + u16(15) + rest);
};
const auto numberCell = [](int row, int column, double v) {
    return cell(0x0203, row, column, f64(v));
};
const auto bof = [](int kind, int version = 0x0600) {
    return record(0x0809, u16(version) + u16(kind) + u32(0) + u32(0));
};
const auto eof = [] { return record(0x000A); };
// An 8-bit BIFF8 string with a 16-bit character count.
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

// A BIFF8 stream: the globals (with `globals` records before the sheet list), then the sheets.
QByteArray biff8(const QList<SheetSource> &sheets, const QByteArray &globals = {})
{
    auto globalsPart = [&](const QList<uint32_t> &offsets) {
        QByteArray out = bof(0x0005) + globals;
        for (qsizetype i = 0; i < sheets.size(); ++i) {
            out += record(0x0085, u32(offsets.value(i)) + char(0) + char(sheets[i].type) +
                                      char(sheets[i].name.size()) + '\0' + sheets[i].name);
        }
        return out + eof();
    };
    QList<uint32_t> offsets;
    QByteArray body;
    for (const SheetSource &sheet : sheets) {
        offsets << uint32_t(globalsPart({}).size() + body.size());
        body += bof(sheet.type == 2 ? 0x0020 : 0x0010) + sheet.records + eof();
    }
    return globalsPart(offsets) + body;
}

QByteArray oneSheet(const QByteArray &records, const QByteArray &globals = {})
{
    return biff8({{"Blad1", records}}, globals);
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

// A hand-made stream read as the workbook t.xls.
lv::Expected<Workbook> read(const QByteArray &stream)
{
    return lv::xls::biff::readStream(stream, QStringLiteral("t.xls"));
}

} // namespace

class TestWorkbook : public QObject
{
    Q_OBJECT

private slots:
    // Cells of workbooks that LibreOffice saved (sources in tests/data/xls/src).
    void cells_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<Cell>("expected");
        const auto add = [](const char *name, const char *file, const QString &sheet, int row,
                            int column, const Cell &expected) {
            QTest::newRow(name) << file << sheet << row << column << expected;
        };
        const QString values = QStringLiteral("Värden");
        add("mulrk negative hundredths", "cells.xls", values, 1, 6, number(-12.34));
        add("8-bit text", "cells.xls", values, 2, 1, text(u"åäö ÅÄÖ"_qs));
        add("16-bit text", "cells.xls", values, 2, 2, text(u"12 € – tolv"_qs));
        add("formula number", "cells.xls", values, 3, 1, number(2));
        add("formula text", "cells.xls", values, 3, 2, text(u"Pbx"_qs));
        add("formula true", "cells.xls", values, 3, 3, boolean(true));
        add("formula div0", "cells.xls", values, 3, 4, error(0x07));
        add("formula empty text", "cells.xls", values, 3, 6, text(QString()));
        add("formula 16-bit text", "cells.xls", values, 3, 8, text(u"åäö ÅÄÖ12 € – tolv"_qs));
        add("empty text", "cells.xls", values, 4, 3, text(QString()));
        add("formatted blank", "cells.xls", values, 4, 4, Cell());
        add("blanks in name", "cells.xls", u"PB  0%"_qs, 2, 2, number(0.0712));
        add("range from C3", "range.xls", u"Område"_qs, 3, 2, number(3.75));
        const QString blad = QStringLiteral("Blad ÅÄÖ");
        add("biff5 label 1252", "biff5.xls", blad, 1, 1, text(u"åäö € – Pb"_qs));
        add("biff5 rk", "biff5.xls", blad, 1, 3, number(7));
        add("biff5 mulrk", "biff5.xls", blad, 2, 3, number(0.5));
        add("biff5 rstring", "biff5.xls", blad, 2, 4, text(u"Rik text"_qs));
        add("biff5 formula text", "biff5.xls", blad, 3, 1, text(u"Blad ÅÄÖ€"_qs));
        add("biff5 boolerr error", "biff5.xls", blad, 4, 2, error(0x2A));
    }

    void cells()
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

    void usedRange_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("range");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        const auto add = [](const char *name, const char *file, const QString &sheet,
                            const char *range, int rows, int columns) {
            QTest::newRow(name) << file << sheet << range << rows << columns;
        };
        add("from A1", "cells.xls", u"Värden"_qs, "A1:J4", 4, 10);
        add("no cells: A1", "cells.xls", u"Tom"_qs, "A1:A1", 1, 1);
        // Values in C3:E5, formatted blanks in F7:G7.
        add("not at A1", "range.xls", u"Område"_qs, "C3:G7", 5, 5);
        add("only a blank", "range.xls", u"Bara ram"_qs, "B2:B2", 1, 1);
        add("biff5 one cell", "biff5.xls", u"PB  0%"_qs, "C10:C10", 1, 1);
    }

    void usedRange()
    {
        QFETCH(QString, file);
        QFETCH(QString, sheet);
        QFETCH(QString, range);
        QFETCH(int, rows);
        QFETCH(int, columns);
        const auto workbook = Workbook::open(fixture(file));
        QVERIFY(workbook.ok());
        const Sheet &used = **workbook->sheet(sheet);
        QCOMPARE(QSize(used.columnCount(), used.rowCount()), QSize(columns, rows));
        QCOMPARE(used.reference(1, 1) + u':' + used.reference(rows, columns), range);
        QVERIFY(!used.contains(rows + 1, 1) && !used.contains(1, columns + 1));
        QVERIFY(!used.contains(0, 1));
    }

    void longSharedStrings()
    {
        // Strings longer than one record go on in CONTINUE records; the 16-bit one and the one
        // whose rich-text runs straddle a boundary must come out whole, and so must what follows.
        QString ascii, wide, latin1, rich;
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

    void sharedStringsAcrossContinue()
    {
        // String 0: 8-bit "abc" + (continues) 16-bit "ΩΩ": the flags byte at the boundary switches.
        // String 1: rich text with phonetic data, both continuing in a later CONTINUE.
        // String 2: 16-bit "Ωx", continuing as 8-bit "yz". String 3: a plain "slut" after them.
        const QByteArray first = u16(5) + '\0' + "abc";
        QByteArray second = QByteArray(1, '\x01') + u16(0x03A9) + u16(0x03A9);
        second += u16(2) + '\x0C' + u16(2) + u32(6) + "hi" + "RUN1"; // runs start ...
        QByteArray third = "RUN2" + QByteArray("PHONET");            // ... and go on here
        third += u16(4) + '\x01' + u16(0x03A9) + u16('x');
        const QByteArray fourth = QByteArray(1, '\0') + "yz" + u16(4) + '\0' + "slut";
        QByteArray cells;
        for (int i = 0; i < 4; ++i)
            cells += cell(0x00FD, i, 0, u32(uint32_t(i)));
        const auto workbook =
            read(biff8({{"Blad1", cells}}, sst({first, second, third, fourth}, 4)));
        QVERIFY2(workbook.ok(), qPrintable(workbook ? QString() : workbook.error().message));
        const Sheet &sheet = **workbook->sheet(1);
        QCOMPARE(sheet.at(1, 1), text(u"abcΩΩ"_qs));
        QCOMPARE(sheet.at(2, 1), text(u"hi"_qs));
        QCOMPARE(sheet.at(3, 1), text(u"Ωxyz"_qs));
        QCOMPARE(sheet.at(4, 1), text(u"slut"_qs));
    }

    // DIMENSIONS claims A1:Z100; the cell records say B2:D3, and that is the used range. LABEL
    // is 8-bit Latin-1 whatever the code page; a MULBLANK widens the range; a later record for
    // a cell replaces an earlier one.
    void cellRecords()
    {
        const QByteArray records = record(0x0200, u32(0) + u32(100) + u16(0) + u16(26) + u16(0)) +
                                   numberCell(1, 1, 9) + numberCell(1, 1, 2.5) +
                                   cell(0x0204, 2, 1, latin1String("\xE9t\xE9 \x80")) +
                                   cell(0x0205, 1, 2, QByteArray("\x01\x00", 2)) +
                                   record(0x00BE, u16(2) + u16(2) + u16(15) + u16(15) + u16(3));
        const auto workbook = read(oneSheet(records, record(0x0042, u16(1251))));
        QVERIFY2(workbook.ok(), qPrintable(workbook ? QString() : workbook.error().message));
        const Sheet &sheet = **workbook->sheet(u"blad1"_qs);
        QCOMPARE(sheet.reference(1, 1) + u':' + sheet.reference(2, 3), u"B2:D3"_qs);
        QCOMPARE(QSize(sheet.columnCount(), sheet.rowCount()), QSize(3, 2));
        QCOMPARE(sheet.at(1, 1), number(2.5));
        QCOMPARE(sheet.at(2, 1), text(u"été \u0080"_qs));
        QCOMPARE(sheet.at(1, 2), boolean(true));
        QCOMPARE(sheet.at(2, 3), Cell());
    }

    void sparseLargeRange()
    {
        // Formatted blanks in opposite corners of the sheet span 65536 x 256 cells; the sheet must
        // still be read, without a table of that size.
        const auto workbook = read(
            oneSheet(cell(0x0201, 0, 0, {}) + numberCell(1, 1, 5) + cell(0x0201, 65535, 255, {})));
        QVERIFY(workbook.ok());
        const Sheet &sheet = **workbook->sheet(1);
        QCOMPARE(QSize(sheet.columnCount(), sheet.rowCount()), QSize(256, 65536));
        QCOMPARE(sheet.at(2, 2), number(5));
        QCOMPARE(sheet.at(65536, 256), Cell());
        QCOMPARE(sheet.reference(65536, 256), u"IV65536"_qs);
    }

    void embeddedChartAndDialogSheetsAreSkipped()
    {
        // An embedded chart's substream inside a worksheet holds cache records that are not cells.
        const QByteArray chart = bof(0x0020) + numberCell(50, 50, 9) + eof();
        const QByteArray dialog = record(0x0081, u16(0x0010)) + numberCell(0, 0, 3);
        const auto workbook =
            read(biff8({{"Först", numberCell(0, 0, 1) + chart}, {"Dialog", dialog}, {"Sist", {}}}));
        QVERIFY2(workbook.ok(), qPrintable(workbook ? QString() : workbook.error().message));
        QCOMPARE(workbook->sheetCount(), 2);
        QCOMPARE(QSize((*workbook->sheet(1))->columnCount(), (*workbook->sheet(1))->rowCount()),
                 QSize(1, 1));
        QCOMPARE((*workbook->sheet(2))->name(), u"Sist"_qs);
        QVERIFY(!workbook->sheet(u"Dialog"_qs).ok());
    }

    void sheetLookup_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QVariant>("key");     // a name or a position
        QTest::addColumn<QString>("expected"); // the sheet's name, or the error message
        const auto add = [](const char *name, const char *file, const QVariant &key,
                            const QString &expected) {
            QTest::newRow(name) << file << key << expected;
        };
        add("other case, å ä ö", "cells.xls", u"VÄRDEN"_qs, u"Värden"_qs);
        add("first", "cells.xls", 1, u"Värden"_qs);
        add("zero", "cells.xls", 0, u"Arbetsboken cells.xls saknar blad nummer 0."_qs);
        // The chart sheet between them is not a worksheet.
        add("after a chart sheet", "biff5.xls", 2, u"PB  0%"_qs);
        add("chart sheet by name", "biff5.xls", u"Diagram"_qs,
            u"Arbetsboken biff5.xls saknar bladet \"Diagram\"."_qs);
    }

    void sheetLookup()
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

    // Damaged BIFF streams, each refused with what is wrong, and where.
    void streamErrors_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QString>("message");
        const auto damaged = [](const char *name, const QByteArray &stream, const char *what) {
            QTest::newRow(name) << stream
                                << u"Arbetsboken t.xls är skadad: "_qs + QString::fromUtf8(what);
        };
        const QByteArray one = oneSheet(numberCell(0, 0, 1));
        damaged("sst index past the end",
                biff8({{"Blad1", cell(0x00FD, 1, 1, u32(1))}}, sst({latin1String("a")}, 1)),
                "cell B2 i bladet \"Blad1\" pekar på en delad text som saknas.");
        damaged("sst string cut short",
                biff8({{"Blad1", {}}}, record(0x00FC, u32(1) + u32(1) + u16(5) + '\0' + "ab")),
                "tabellen med delade texter är felaktig.");
        damaged("record length past the end", one.chopped(4) + u16(0x000A) + u16(8),
                "en post räcker förbi arbetsbokens slut.");
        damaged("short number record", oneSheet(record(0x0203, u16(2) + u16(2) + u16(15) + "1234")),
                "cell C3 i bladet \"Blad1\" har en felaktig cellpost.");
        damaged("column past IV", oneSheet(numberCell(0, 256, 1)),
                "bladet \"Blad1\" har en cell utanför bladets 256 kolumner.");
        damaged("mulrk wrong last column",
                oneSheet(
                    record(0x00BD, u16(0) + u16(1) + u16(15) + u32(2) + u16(15) + u32(6) + u16(7))),
                "cell B1 i bladet \"Blad1\" har en felaktig cellpost.");
        damaged("not a number",
                oneSheet(numberCell(3, 0, std::numeric_limits<double>::quiet_NaN())),
                "cell A4 i bladet \"Blad1\" har ett ogiltigt tal.");
        damaged("formula text without STRING", oneSheet(formulaCell(4, 2, 0) + numberCell(5, 2, 1)),
                "cell C5 i bladet \"Blad1\" saknar sitt formelresultat.");
        damaged("unknown formula result", oneSheet(formulaCell(0, 0, 9)),
                "cell A1 i bladet \"Blad1\" har ett okänt formelresultat.");
        // The sheet list points past the stream's end.
        QByteArray moved = one;
        const qsizetype entry = moved.indexOf(QByteArray("\x85\x00", 2)) + 4;
        moved.replace(entry, 4, u32(uint32_t(one.size() + 10)));
        damaged("sheet offset outside", moved, "bladet \"Blad1\" ligger utanför arbetsboken.");
        damaged("sheet without EOF", one.chopped(4), "bladet \"Blad1\" tar slut för tidigt.");
        damaged("empty stream", QByteArray(), "arbetsboken är tom.");
        damaged("no BOF", record(0x0042, u16(1252)) + eof(), "arbetsbokens inledande post saknas.");
        damaged("chart where a worksheet should be",
                biff8({{"Blad1", {}, 2}})
                    .replace(QByteArray("\x00\x02\x05", 3), QByteArray("\x00\x00\x05", 3)),
                "bladet \"Blad1\" är inte ett kalkylblad.");
        QTest::newRow("encrypted")
            << biff8({{"Blad1", numberCell(0, 0, 1)}}, record(0x002F, u16(1) + QByteArray(52, 'x')))
            << u"Arbetsboken t.xls är lösenordsskyddad och kan inte läsas."_qs;
        QTest::newRow("unknown version") << bof(0x0005, 0x0400) + eof()
                                         << u"Arbetsboken t.xls är sparad i en äldre Excel-version "
                                            u"som inte kan läsas. Spara den "
                                            "i Excel 97–2003-format (.xls)."_qs;
    }

    void streamErrors()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QString, message);
        const auto workbook = read(stream);
        QVERIFY(!workbook.ok());
        QCOMPARE(workbook.error().message, message);
    }

    void rkValue_data()
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

    void rkValue()
    {
        QFETCH(uint, rk);
        QFETCH(double, value);
        QCOMPARE(lv::xls::biff::rkValue(rk), value);
    }

    // Real workbooks cut short fail as damaged (or, cut before their signature, as no workbook),
    // never read as if their cells were missing; a few thousand byte changes may fail, but with
    // a message, and never crash, hang or run past a buffer (the sanitizer build checks that).
    void damagedInput()
    {
        QRandomGenerator random(20261206);
        for (const char *name : {"cells.biff", "long.biff", "cells.xls", "biff5.xls"}) {
            const QByteArray whole = fixtureBytes(QString::fromLatin1(name));
            const bool file = QByteArray(name).endsWith(".xls");
            const auto message = [file](const QByteArray &bytes) {
                const auto workbook = file ? Workbook::fromBytes(bytes, u"t.xls"_qs) : read(bytes);
                return workbook.ok() ? QString() : workbook.error().message;
            };
            // The last sector of these files holds nothing the cells need.
            const qsizetype end = file ? whole.size() - 512 : whole.size();
            const qsizetype step = file ? 61 : whole.size() > 10000 ? 37 : 1;
            for (qsizetype size = 0; size < end; size += step) {
                const QString cut = message(whole.left(size));
                QVERIFY2(cut.startsWith(u"Arbetsboken t.xls är skadad: "_qs) ||
                             (file && cut.contains(u"inte en arbetsbok"_qs)),
                         qPrintable(QString::number(size) + u' ' + cut));
            }
            for (int i = 0; i < (file ? 1000 : 3000); ++i) {
                QByteArray damaged = whole;
                for (int k = 0; k < 1 + i % 4; ++k)
                    damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
                const auto workbook =
                    file ? Workbook::fromBytes(damaged, u"t.xls"_qs) : read(damaged);
                QVERIFY(workbook.ok() ||
                        workbook.error().message.startsWith(u"Arbetsboken t.xls "_qs));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestWorkbook)
#include "tst_workbook.moc"
