#include "core/calc/calculationrun.h"
#include "core/xls/workbook.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lv;
using xls::Cell;
using xls::Workbook;

// The same workbooks as .xls, .xlsx and .ods read alike: tests/data/formats, made by
// tools/make-format-fixtures.sh (LibreOffice saved each workbook in all three formats).
namespace {

const QString kFormats = QStringLiteral(LUFTVAKA_TEST_DATA "/formats/");
const QStringList kBooks = {"pb_bara_glid_data", "lb_bara_glid_data", "faktorer"};

// The message of a failed read or run, for the test's output.
template <class T>
QByteArray problem(const Expected<T> &result)
{
    return result ? QByteArray() : result.error().message.toUtf8();
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Where the .xls of a set of workbooks is: the default ones, or the calculation's test ones.
QString xlsDir(const QString &set)
{
    return set == "default" ? QStringLiteral(LUFTVAKA_SOURCE_DIR "/data/")
                            : QStringLiteral(LUFTVAKA_TEST_DATA "/calc/");
}

// A directory holding the three workbooks of `set` in `format`.
bool copyBooks(const QString &set, const QString &format, const QString &dir)
{
    for (const QString &book : kBooks) {
        const QString from = format == "xls" ? xlsDir(set) + book + ".xls"
                                             : kFormats + set + '/' + book + '.' + format;
        if (!QFile::copy(from, dir + '/' + book + '.' + format))
            return false;
    }
    return true;
}

calc::RunInput tunnel()
{
    // Slopes on and between the table's, several speeds; flows of every class.
    std::vector<input::SegmentRow> rows;
    for (const auto &[slope, speed] : {std::pair{"-7", "20"},
                                       {"-2", "50"},
                                       {"0", "70"},
                                       {"3", "80"},
                                       {"5", "45"},
                                       {"7", "100"}}) {
        rows.push_back({"1", {"250", slope, speed, "900", speed, "60", speed, "25"}});
    }
    return calc::RunInput{rows, "2010", "8", "0,3"};
}

} // namespace

class TestWorkbookFormats : public QObject
{
    Q_OBJECT

private slots:
    void mixedWorkbookReadsAlike_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("xlsx") << "xlsx";
        QTest::newRow("ods") << "ods";
    }
    void mixedWorkbookReadsAlike()
    {
        QFETCH(QString, format);
        const auto xls = Workbook::open(kFormats + "mixed.xls");
        const auto other = Workbook::open(kFormats + "mixed." + format);
        QVERIFY2(xls, problem(xls));
        QVERIFY2(other, problem(other));
        QCOMPARE(other->sheetCount(), 2);
        for (int s = 1; s <= 2; ++s) {
            const xls::Sheet &a = **xls->sheet(s), &b = **other->sheet(s);
            QCOMPARE(b.name(), a.name());
            QCOMPARE(std::tuple(b.firstRow(), b.firstColumn(), b.rowCount(), b.columnCount()),
                     std::tuple(a.firstRow(), a.firstColumn(), a.rowCount(), a.columnCount()));
            for (int r = 1; r <= a.rowCount(); ++r) {
                for (int c = 1; c <= a.columnCount(); ++c)
                    QVERIFY2(b.at(r, c) == a.at(r, c), qPrintable(a.reference(r, c)));
            }
        }
        // What the sheets hold, by hand: the range starts at the formatted blank B3.
        const xls::Sheet &mixed = **other->sheet(QStringLiteral("BLANDAT"));
        QCOMPARE(std::tuple(mixed.firstRow(), mixed.firstColumn(), mixed.rowCount(),
                            mixed.columnCount()),
                 std::tuple(2, 1, 3, 9));
        const auto number = [](double v) { return Cell{Cell::Type::Number, v, {}, 0}; };
        const auto text = [](const QString &v) { return Cell{Cell::Type::Text, 0, v, 0}; };
        const std::pair<QString, Cell> cells[] = {
            {"C4", text("Lutning")}, {"D4", number(-2.5)},
            {"E4", text("1,5")},     {"F4", text("två  blanka")},
            {"E5", number(-7.5)},    {"F5", Cell{Cell::Type::Error, 0, {}, 0x07}},
            {"G5", text("abc")},     {"H5", Cell{Cell::Type::Boolean, 1, {}, 0}},
            {"I5", text("")},
        };
        for (const auto &[reference, expected] : cells) {
            bool found = false;
            for (int r = 1; r <= mixed.rowCount(); ++r) {
                for (int c = 1; c <= mixed.columnCount(); ++c) {
                    if (mixed.reference(r, c) == reference) {
                        QVERIFY2(mixed.at(r, c) == expected, qPrintable(reference));
                        found = true;
                    }
                }
            }
            QVERIFY2(found, qPrintable(reference));
        }
        const xls::Sheet &framed = **other->sheet(QStringLiteral("ram ÖVER"));
        QCOMPARE(std::tuple(framed.firstRow(), framed.rowCount(), framed.columnCount()),
                 std::tuple(0, 2, 2));
    }

    void runsAlike_data()
    {
        QTest::addColumn<QString>("set");
        QTest::addColumn<QString>("format");
        for (const char *set : {"default", "calc"}) {
            for (const char *format : {"xlsx", "ods"})
                QTest::addRow("%s %s", set, format) << set << format;
        }
    }
    void runsAlike()
    {
        QFETCH(QString, set);
        QFETCH(QString, format);
        QTemporaryDir xlsBooks, otherBooks;
        QVERIFY(copyBooks(set, "xls", xlsBooks.path()));
        QVERIFY(copyBooks(set, format, otherBooks.path()));
        const QLocale sv(QStringLiteral("sv_SE"));
        const auto expected = calc::computeRun(tunnel(), xlsBooks.path(), {}, sv);
        const auto actual = calc::computeRun(tunnel(), otherBooks.path(), {}, sv);
        QVERIFY2(expected, problem(expected));
        QVERIFY2(actual, problem(actual));
        QCOMPARE(actual->tunnelMeanRates, expected->tunnelMeanRates);
        for (int position = 1; position <= expected->segmentCount; ++position) {
            for (int quantity = 1; quantity <= 11; ++quantity) {
                QCOMPARE(actual->segmentRates(quantity, position),
                         expected->segmentRates(quantity, position));
            }
        }
    }

    void twoVersionsStopTheRun()
    {
        QTemporaryDir dir;
        QVERIFY(copyBooks("calc", "xls", dir.path()));
        QVERIFY(QFile::copy(kFormats + "calc/faktorer.ods", dir.filePath("faktorer.ods")));
        const auto run = calc::computeRun(tunnel(), dir.path(), {}, QLocale("sv_SE"));
        QVERIFY(!run);
        QCOMPARE(run.error().message, "Två versioner av faktorer ligger i programmets mapp: "
                                      "faktorer.xls och faktorer.ods. Ta bort den som inte ska "
                                      "användas.");
    }

    // Odd but sound files: what the used range and the cells come to.
    void handMadeCells()
    {
        const auto edge = Workbook::open(kFormats + "hostile/edgeformat.ods");
        QVERIFY2(edge, problem(edge));
        const xls::Sheet &sheet = **edge->sheet(1);
        QCOMPARE(std::tuple(sheet.firstRow(), sheet.firstColumn(), sheet.rowCount(),
                            sheet.columnCount()),
                 std::tuple(2, 0, 1, 3));

        const auto literals = Workbook::open(kFormats + "hostile/literals.ods");
        QVERIFY2(literals, problem(literals));
        const xls::Sheet &row = **literals->sheet(1);
        QCOMPARE(std::pair(row.rowCount(), row.columnCount()), std::pair(2, 5));
        for (int r = 1; r <= 2; ++r) {
            QCOMPARE(row.at(r, 1), (Cell{Cell::Type::Boolean, 1, {}, 0}));
            QCOMPARE(row.at(r, 2), (Cell{Cell::Type::Boolean, 0, {}, 0}));
            QCOMPARE(row.at(r, 3), (Cell{Cell::Type::Text, 0, "a   b", 0}));
            QCOMPARE(row.at(r, 4), (Cell{Cell::Type::Number, 36526.5, {}, 0}));
            QCOMPARE(row.at(r, 5), (Cell{Cell::Type::Number, 0.5, {}, 0}));
        }
    }

    void handMadeXlsx()
    {
        const auto book = Workbook::open(kFormats + "hostile/handmade.xlsx");
        QVERIFY2(book, problem(book));
        QCOMPARE(book->sheetCount(), 1); // the chart sheet is no worksheet
        const xls::Sheet &data = **book->sheet(1);
        QCOMPARE(std::tuple(data.name(), data.firstRow(), data.firstColumn(), data.rowCount(),
                            data.columnCount()),
                 std::tuple(QStringLiteral("Data"), 1, 0, 2, 6));
        const Cell expected[][6] = {
            {{},
             {Cell::Type::Text, 0, "Rik text", 0},
             {Cell::Type::Text, 0, "A\rB", 0},
             {Cell::Type::Text, 0, "inne", 0},
             {Cell::Type::Error, 0, {}, 0x2A},
             {Cell::Type::Boolean, 0, {}, 0}},
            {{Cell::Type::Number, 0.0015, {}, 0}, {Cell::Type::Number, -4, {}, 0}, {}, {}, {}, {}},
        };
        for (int r = 1; r <= 2; ++r) {
            for (int c = 1; c <= 6; ++c)
                QVERIFY2(data.at(r, c) == expected[r - 1][c - 1], qPrintable(data.reference(r, c)));
        }
    }

    void refused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray xlsx = bytesOf(kFormats + "mixed.xlsx");
        const auto file = [](const QString &name) { return bytesOf(kFormats + "hostile/" + name); };
        const QString tooLarge = "har celler utanför 65 536 rader och 256 kolumner";
        const std::tuple<QString, QByteArray, QString> cases[] = {
            {"zipbomb.xlsx", file("zipbomb.xlsx"), "är orimligt stor uppackad"},
            {"lyingsize.xlsx", file("lyingsize.xlsx"), "är skadad"},
            {"xmlbomb.xlsx", file("xmlbomb.xlsx"), "sheet1.xml är inte giltig XML"},
            {"nosheetpart.xlsx", file("nosheetpart.xlsx"), "sheet1.xml saknas i zip-arkivet"},
            {"millionrows.xlsx", file("millionrows.xlsx"), tooLarge},
            {"millionrows.ods", file("millionrows.ods"), tooLarge},
            {"noresult.xlsx", file("noresult.xlsx"), "cell A1 i bladet \"Blandat\" saknar sitt"},
            {"noresult.ods", file("noresult.ods"), "cell A1 i bladet \"Blad1\" saknar sitt"},
            {"halved.xlsx", xlsx.left(xlsx.size() / 2), "zip-arkivet är trasigt"},
            {"nozip.xlsx", "PK\x03\x04 not a zip", "zip-arkivet är trasigt"},
            {"text.ods", "a text", "är inte en arbetsbok i något av formaten"},
        };
        for (const auto &[name, bytes, message] : cases)
            QTest::newRow(qPrintable(name)) << name << bytes << message;
    }
    void refused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QVERIFY(!bytes.isEmpty());
        const auto read = Workbook::fromBytes(bytes, name);
        QVERIFY(!read);
        QVERIFY2(read.error().message.contains(name) && read.error().message.contains(message),
                 qPrintable(read.error().message));
    }

    // Cut anywhere, a zipped workbook is refused with its name, never read in part.
    void truncatedAnywhere()
    {
        for (const char *name : {"mixed.xlsx", "mixed.ods"}) {
            const QByteArray bytes = bytesOf(kFormats + name);
            QVERIFY(!bytes.isEmpty());
            for (qsizetype size = 0; size < bytes.size(); size += 7) {
                const auto read = Workbook::fromBytes(bytes.left(size), name);
                QVERIFY2(!read && read.error().message.contains(name),
                         qPrintable(QString::number(size)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestWorkbookFormats)
#include "tst_workbookformats.moc"
