#include "core/text/numbertext.h"
#include "core/text/textfile.h"
#include "core/xls/workbook.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>
#include <map>
#include <optional>

using lv::xls::Cell;
using lv::xls::Sheet;
using lv::xls::Workbook;

namespace {

// One sheet of a workbook source (format in tools/make-workbook.py): the cell each field gives,
// by sheet row and column from 1. A formula gives a number of any value, written as NaN.
struct SourceSheet
{
    QString name;
    std::map<std::pair<int, int>, Cell> cells;
};

// Reads a workbook source; what the shipped sources do not use (offsets, '.' rows) is refused.
std::vector<SourceSheet> readSource(const QString &path, QString &error)
{
    const auto bytes = lv::text::readWholeFile(QStringLiteral(LUFTVAKA_SOURCE_DIR "/data/") + path);
    if (!bytes) {
        error = bytes.error().message;
        return {};
    }
    std::vector<SourceSheet> sheets;
    int row = 0;
    for (const QString &line : lv::text::splitLines(QString::fromUtf8(*bytes))) {
        if (line.startsWith(u'#') || (sheets.empty() && line.isEmpty()))
            continue;
        if (line.startsWith(u"== SHEET: ")) {
            sheets.push_back({line.mid(10), {}});
            row = 0;
            continue;
        }
        if (sheets.empty() || line.startsWith(u"==") || line == u".") {
            error = QStringLiteral("not read here: ") + line;
            return {};
        }
        ++row;
        const QStringList fields = lv::text::splitFields(line);
        for (int column = 1; column <= fields.size(); ++column) {
            // Numbers are C-locale floats without blanks; the test runs under the C locale.
            const QString &field = fields[column - 1];
            if (field.isEmpty())
                continue;
            const auto value =
                field == field.trimmed() ? lv::text::parseDouble(field) : std::nullopt;
            Cell &cell = sheets.back().cells[{row, column}];
            if (value)
                cell = Cell{Cell::Type::Number, *value, {}, 0};
            else if (field.startsWith(u'='))
                cell = Cell{Cell::Type::Number, std::numeric_limits<double>::quiet_NaN(), {}, 0};
            else
                cell = Cell{Cell::Type::Text, 0, field.startsWith(u'\'') ? field.mid(1) : field, 0};
        }
    }
    return sheets;
}

std::optional<Workbook> openWorkbook(const QString &file)
{
    auto workbook = Workbook::open(QStringLiteral(LUFTVAKA_SOURCE_DIR "/data/") + file);
    if (!workbook) {
        qWarning("%s", qPrintable(workbook.error().message));
        return std::nullopt;
    }
    return std::move(workbook).value();
}

double number(const Sheet &sheet, int row, int column)
{
    return sheet.contains(row, column) && sheet.at(row, column).type == Cell::Type::Number
               ? sheet.at(row, column).number
               : std::numeric_limits<double>::quiet_NaN();
}

// Column-3 key as the calculation tests it: empty, or the empty text, ends a block.
bool emptyKey(const Sheet &sheet, int row)
{
    const Cell &cell = sheet.at(row, 3);
    return cell.type == Cell::Type::Empty || (cell.type == Cell::Type::Text && cell.text.isEmpty());
}

} // namespace

// The workbooks shipped in data/: generated from data/src/ and shaped as the calculation
// reads them.
class TestDefaultWorkbooks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void cellsMatchSource_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"pb_bara_glid_data", "lb_bara_glid_data", "faktorer"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    // Every cell of the generated workbook is the one its source describes (a regenerated source
    // must be committed together with its workbook), and every sheet says that its values are
    // for demonstration.
    void cellsMatchSource()
    {
        QFETCH(QString, name);
        QString error;
        const std::vector<SourceSheet> sheets = readSource("src/" + name + ".txt", error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const auto book = openWorkbook(name + ".xls");
        QVERIFY(book);
        QCOMPARE(book->sheetCount(), int(sheets.size()));
        QStringList mismatches;
        for (int i = 0; i < int(sheets.size()); ++i) {
            const SourceSheet &expected = sheets[std::size_t(i)];
            const Sheet &sheet = **book->sheet(i + 1);
            QCOMPARE(sheet.name(), expected.name);
            QRect range; // columns x, rows y, from 1
            for (const auto &at : expected.cells)
                range |= QRect(at.first.second, at.first.first, 1, 1);
            QCOMPARE(QRect(sheet.firstColumn() + 1, sheet.firstRow() + 1, sheet.columnCount(),
                           sheet.rowCount()),
                     range);
            bool demonstration = false;
            for (int row = 1; row <= sheet.rowCount(); ++row) {
                for (int column = 1; column <= sheet.columnCount(); ++column) {
                    const Cell &cell = sheet.at(row, column);
                    const auto at =
                        expected.cells.find({row + range.y() - 1, column + range.x() - 1});
                    const Cell want = at == expected.cells.end() ? Cell() : at->second;
                    const bool formula = want.type == Cell::Type::Number && std::isnan(want.number);
                    if (!(cell == want || (formula && cell.type == Cell::Type::Number)) &&
                        mismatches.size() < 20)
                        mismatches << expected.name + u'!' + sheet.reference(row, column);
                    demonstration |= cell.text.contains(QStringLiteral("Demonstrationsvärden"));
                }
            }
            QVERIFY2(demonstration, qPrintable(expected.name));
        }
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(u' ')));
    }

    void profiles_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::newRow("PB") << QStringLiteral("PB");
        QTest::newRow("LB") << QStringLiteral("LB");
    }

    // What the speed search relies on: label row 22, blocks from rows 2 (ending by row 21) and
    // 23 with numeric ascending keys, each closed by an empty key inside the used range. And the
    // demonstration tables keep the shape a user expects: at every speed fuel never falls as the
    // slope rises, and rises strictly from 0 % up (downhill it may rest on the idle floor); a
    // truck with trailer uses more than a truck.
    void profiles()
    {
        QFETCH(QString, prefix);
        const auto book = openWorkbook(prefix.toLower() + "_bara_glid_data.xls");
        QVERIFY(book);
        const Sheet *lower = nullptr;
        for (int slope : {-7, -5, -3, 0, 3, 5, 7}) {
            // Non-negative slopes have a blank where the minus sign would be.
            const QString name =
                prefix + (slope < 0 ? " -" : "  ") + QString::number(std::abs(slope)) + u'%';
            const auto found = book->sheet(name);
            QVERIFY2(found, qPrintable(name));
            const Sheet &sheet = **found;
            QCOMPARE(sheet.name(), name); // the exact name, not just one equal but for case
            QCOMPARE(QPoint(sheet.firstColumn(), sheet.firstRow()), QPoint(0, 0));
            QVERIFY(sheet.columnCount() >= 8 && sheet.rowCount() >= 23);
            QVERIFY(sheet.at(22, 1).text.contains(QStringLiteral("Körprofil")));
            for (int start : {2, 23}) {
                int row = start;
                for (; sheet.contains(row + 1, 3) && !emptyKey(sheet, row); ++row) {
                    const QString where = name + u' ' + sheet.reference(row, 3);
                    for (int column = 3; column <= 8; ++column)
                        QVERIFY2(number(sheet, row, column) >= 0, qPrintable(where));
                    QVERIFY2(number(sheet, row, 4) > 0, qPrintable(where));
                    QVERIFY2(row == start || number(sheet, row, 3) > number(sheet, row - 1, 3),
                             qPrintable(where));
                    if (lower) {
                        QCOMPARE(number(sheet, row, 3), number(*lower, row, 3));
                        QVERIFY2(slope > 0 ? number(sheet, row, 4) > number(*lower, row, 4)
                                           : number(sheet, row, 4) >= number(*lower, row, 4),
                                 qPrintable(where));
                    }
                    if (prefix == "LB" && start == 23) {
                        QCOMPARE(number(sheet, row, 3), number(sheet, row - 21, 3));
                        QVERIFY2(number(sheet, row, 4) > number(sheet, row - 21, 4),
                                 qPrintable(where));
                    }
                }
                QVERIFY2(row - start >= 2, "a block needs two speeds to interpolate");
                QVERIFY2(emptyKey(sheet, row), "no empty key inside the used range after a block");
                QVERIFY(start == 23 || row <= 22);
            }
            lower = &sheet;
        }
    }

    // Every cell the class weighting and the segment emissions read holds a number (no label
    // strayed into one), and the fleet shares of each class and year add up to 1.
    void factorSheet()
    {
        const auto book = openWorkbook(QStringLiteral("faktorer.xls"));
        QVERIFY(book);
        const Sheet &sheet = **book->sheet(1);
        QCOMPARE(QPoint(sheet.firstColumn(), sheet.firstRow()), QPoint(0, 0));
        std::vector<std::pair<int, int>> read = {{44, 2}, {45, 2}};
        for (int j = 4; j <= 8; ++j) {
            for (int m = 0; m < 6; ++m) {
                for (int column : {2, 3, 4, 6, 7, 8})
                    read.emplace_back(3 + 8 * (j - 4) + m, column);
                if (j == 5)
                    read.emplace_back(3 + 8 + m, 16);
            }
            read.emplace_back(j + 26, 11);
        }
        for (int row = 49; row <= 57; ++row) {
            read.emplace_back(row, 3);
            QVERIFY2(number(sheet, row, 3) <= 1, qPrintable(sheet.reference(row, 3)));
        }
        for (int o : {0, 9, 18}) {
            for (int column : {11, 12, 13}) {
                double sum = 0;
                for (int m = 1; m <= 6; ++m) {
                    read.emplace_back(o + 2 + m, column);
                    sum += number(sheet, o + 2 + m, column);
                }
                QVERIFY2(std::abs(sum - 1) < 1e-12, qPrintable(sheet.reference(o + 3, column)));
            }
        }
        for (const auto &[row, column] : read)
            QVERIFY2(number(sheet, row, column) >= 0, qPrintable(sheet.reference(row, column)));
    }
};

QTEST_GUILESS_MAIN(TestDefaultWorkbooks)
#include "tst_defaultworkbooks.moc"
