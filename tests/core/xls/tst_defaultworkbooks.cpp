#include "core/text/numbertext.h"
#include "core/text/textfile.h"
#include "core/xls/workbook.h"

#include <QLocale>
#include <QTest>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <optional>
#include <utility>
#include <vector>

using lv::xls::Cell;
using lv::xls::Sheet;
using lv::xls::Workbook;

namespace {

// One cell of a workbook source (format described in tools/make-workbook.py).
struct SourceCell
{
    enum class Kind { Number, Formula, Text };
    Kind kind = Kind::Text;
    double number = 0;
    QString text;
};

// One sheet of a source, in sheet coordinates (row and column from 1).
struct SourceSheet
{
    QString name;
    int rowOffset = 0;
    int columnOffset = 0;
    int nextRow = 1;            // sheet row of the next source row
    int width = 0;              // the most fields of any row: how far a '.' row reaches
    std::vector<int> blankRows; // sheet rows written as '.'
    std::map<std::pair<int, int>, SourceCell> cells;
};

QString dataPath(const QString &relative)
{
    return QStringLiteral(LUFTVAKA_SOURCE_DIR "/data/") + relative;
}

bool hasBlank(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

SourceCell parseField(const QString &field)
{
    SourceCell cell;
    // The source's numbers are C-locale floats without blanks; the test runs under the C
    // locale, so parseDouble reads them the same way.
    if (!hasBlank(field)) {
        if (const auto value = lv::text::parseDouble(field)) {
            cell.kind = SourceCell::Kind::Number;
            cell.number = *value;
            return cell;
        }
    }
    if (field.startsWith(u'=')) {
        cell.kind = SourceCell::Kind::Formula;
        cell.text = field;
    } else {
        cell.text = field.startsWith(u'\'') ? field.mid(1) : field;
    }
    return cell;
}

// Reads a workbook source; a malformed line fails the calling test.
std::vector<SourceSheet> readSource(const QString &path, QString *error)
{
    std::vector<SourceSheet> sheets;
    const auto bytes = lv::text::readWholeFile(path);
    if (!bytes) {
        *error = bytes.error().message;
        return {};
    }
    const QStringList lines = lv::text::splitLines(QString::fromUtf8(*bytes));
    const QString sheetPrefix = QStringLiteral("== SHEET: ");
    const QString offsetPrefix = QStringLiteral("== OFFSET:");
    for (const QString &line : lines) {
        if (line.startsWith(u'#'))
            continue;
        if (line.startsWith(sheetPrefix)) {
            sheets.push_back({});
            sheets.back().name = line.mid(sheetPrefix.size());
            continue;
        }
        if (sheets.empty()) {
            if (!line.isEmpty())
                *error = QStringLiteral("row before the first sheet: ") + line;
            continue;
        }
        SourceSheet &sheet = sheets.back();
        if (line.startsWith(offsetPrefix)) {
            const QStringList parts = line.mid(offsetPrefix.size()).split(u' ', Qt::SkipEmptyParts);
            const auto row = parts.size() == 2 ? lv::text::parseInt16(parts[0]) : std::nullopt;
            const auto column = parts.size() == 2 ? lv::text::parseInt16(parts[1]) : std::nullopt;
            if (!row || !column || sheet.nextRow != 1) {
                *error = QStringLiteral("bad offset line: ") + line;
                continue;
            }
            sheet.rowOffset = *row - 1;
            sheet.columnOffset = *column - 1;
            continue;
        }
        const int row = sheet.rowOffset + sheet.nextRow++;
        if (line == QStringLiteral(".")) {
            sheet.blankRows.push_back(row);
            continue;
        }
        const QStringList fields = lv::text::splitFields(line);
        sheet.width = std::max(sheet.width, int(fields.size()));
        for (int i = 0; i < fields.size(); ++i) {
            if (!fields[i].isEmpty())
                sheet.cells[{row, sheet.columnOffset + i + 1}] = parseField(fields[i]);
        }
    }
    return sheets;
}

// The used range a source gives: every cell, and '.' rows across the sheet's width.
struct Range
{
    int firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
};

Range usedRange(const SourceSheet &sheet)
{
    Range r{INT_MAX, 0, INT_MAX, 0};
    auto take = [&r](int row, int column) {
        r.firstRow = std::min(r.firstRow, row);
        r.lastRow = std::max(r.lastRow, row);
        r.firstColumn = std::min(r.firstColumn, column);
        r.lastColumn = std::max(r.lastColumn, column);
    };
    for (const auto &[at, cell] : sheet.cells)
        take(at.first, at.second);
    for (int row : sheet.blankRows) {
        take(row, sheet.columnOffset + 1);
        take(row, sheet.columnOffset + std::max(sheet.width, 1));
    }
    return r;
}

std::optional<Workbook> openWorkbook(const QString &file)
{
    auto workbook = Workbook::open(dataPath(file));
    if (!workbook) {
        qWarning("%s", qPrintable(workbook.error().message));
        return std::nullopt;
    }
    return std::move(workbook).value();
}

bool isNumber(const Sheet &sheet, int row, int column)
{
    return sheet.contains(row, column) && sheet.at(row, column).type == Cell::Type::Number;
}

double number(const Sheet &sheet, int row, int column)
{
    return isNumber(sheet, row, column) ? sheet.at(row, column).number : 0;
}

// Column-3 key as the calculation tests it: empty, or the empty text, ends a block.
bool emptyKey(const Sheet &sheet, int row)
{
    const Cell &cell = sheet.at(row, 3);
    return cell.type == Cell::Type::Empty || (cell.type == Cell::Type::Text && cell.text.isEmpty());
}

bool mentionsDemonstration(const Sheet &sheet)
{
    for (int row = 1; row <= sheet.rowCount(); ++row) {
        for (int column = 1; column <= sheet.columnCount(); ++column) {
            const Cell &cell = sheet.at(row, column);
            if (cell.type == Cell::Type::Text &&
                cell.text.contains(QStringLiteral("Demonstrationsvärden")))
                return true;
        }
    }
    return false;
}

QString sheetName(const char *prefix, int slope)
{
    // Non-negative slopes have a blank where the minus sign would be.
    return QString::fromLatin1(prefix) + (slope < 0 ? QStringLiteral(" -") : QStringLiteral("  ")) +
           QString::number(std::abs(slope)) + u'%';
}

const int slopes[] = {-7, -5, -3, 0, 3, 5, 7};

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
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("workbook");
        for (const char *name : {"pb_bara_glid_data", "lb_bara_glid_data", "faktorer"}) {
            QTest::newRow(name) << QStringLiteral("src/%1.txt").arg(QLatin1String(name))
                                << QStringLiteral("%1.xls").arg(QLatin1String(name));
        }
    }

    // Every cell of the generated workbook is the one its source describes: a regenerated
    // source must be committed together with its workbook.
    void cellsMatchSource()
    {
        QFETCH(QString, source);
        QFETCH(QString, workbook);
        QString error;
        const std::vector<SourceSheet> sheets = readSource(dataPath(source), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const auto book = openWorkbook(workbook);
        QVERIFY(book);
        QCOMPARE(book->sheetCount(), int(sheets.size()));

        QStringList mismatches;
        for (int i = 0; i < int(sheets.size()); ++i) {
            const SourceSheet &expected = sheets[std::size_t(i)];
            const auto found = book->sheet(i + 1);
            QVERIFY(found);
            const Sheet &sheet = **found;
            QCOMPARE(sheet.name(), expected.name);
            const Range range = usedRange(expected);
            QCOMPARE(sheet.firstRow() + 1, range.firstRow);
            QCOMPARE(sheet.firstColumn() + 1, range.firstColumn);
            QCOMPARE(sheet.rowCount(), range.lastRow - range.firstRow + 1);
            QCOMPARE(sheet.columnCount(), range.lastColumn - range.firstColumn + 1);

            for (int row = 1; row <= sheet.rowCount(); ++row) {
                for (int column = 1; column <= sheet.columnCount(); ++column) {
                    const Cell &cell = sheet.at(row, column);
                    const auto at = expected.cells.find(
                        {row + range.firstRow - 1, column + range.firstColumn - 1});
                    bool same = false;
                    if (at == expected.cells.end()) {
                        same = cell.type == Cell::Type::Empty;
                    } else if (at->second.kind == SourceCell::Kind::Number) {
                        same = cell.type == Cell::Type::Number && cell.number == at->second.number;
                    } else if (at->second.kind == SourceCell::Kind::Formula) {
                        same = cell.type == Cell::Type::Number;
                    } else {
                        same = cell.type == Cell::Type::Text && cell.text == at->second.text;
                    }
                    if (!same && mismatches.size() < 20)
                        mismatches << expected.name + u'!' + sheet.reference(row, column);
                }
            }
        }
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(u' ')));
    }

    void profileSheet_data()
    {
        QTest::addColumn<QString>("workbook");
        QTest::addColumn<QString>("name");
        for (const char *prefix : {"PB", "LB"}) {
            const QString file =
                QStringLiteral("%1_bara_glid_data.xls").arg(QString::fromLatin1(prefix).toLower());
            for (int slope : slopes) {
                const QString name = sheetName(prefix, slope);
                QTest::newRow(qPrintable(name)) << file << name;
            }
        }
    }

    // What the speed search relies on: label row 22, blocks from rows 2 and 23 with numeric
    // ascending keys, each closed by an empty key inside the used range.
    void profileSheet()
    {
        QFETCH(QString, workbook);
        QFETCH(QString, name);
        const auto book = openWorkbook(workbook);
        QVERIFY(book);
        const auto found = book->sheet(name);
        QVERIFY2(found, qPrintable(name));
        const Sheet &sheet = **found;
        QCOMPARE(sheet.name(), name); // the exact name, not just one equal but for case
        QCOMPARE(sheet.firstRow(), 0);
        QCOMPARE(sheet.firstColumn(), 0);
        QVERIFY(sheet.columnCount() >= 8);
        QVERIFY(sheet.rowCount() >= 23);
        QCOMPARE(sheet.at(22, 1).type, Cell::Type::Text);
        QVERIFY(sheet.at(22, 1).text.contains(QStringLiteral("Körprofil")));
        QVERIFY(mentionsDemonstration(sheet));

        for (int start : {2, 23}) {
            int row = start;
            for (; sheet.contains(row + 1, 3) && !emptyKey(sheet, row); ++row) {
                for (int column = 3; column <= 8; ++column)
                    QVERIFY2(isNumber(sheet, row, column),
                             qPrintable(sheet.reference(row, column)));
                QVERIFY(number(sheet, row, 4) > 0);
                if (row > start)
                    QVERIFY2(number(sheet, row, 3) > number(sheet, row - 1, 3),
                             qPrintable(sheet.reference(row, 3)));
            }
            QVERIFY2(row - start >= 2, "a block needs two speeds to interpolate");
            QVERIFY2(emptyKey(sheet, row), "no empty key inside the used range after a block");
            if (start == 2)
                QVERIFY(row <= 22);
        }
    }

    void profileShape_data()
    {
        QTest::addColumn<QString>("workbook");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("PB") << QStringLiteral("pb_bara_glid_data.xls") << QStringLiteral("PB");
        QTest::newRow("LB") << QStringLiteral("lb_bara_glid_data.xls") << QStringLiteral("LB");
    }

    // The demonstration tables keep the shape a user expects: at every speed fuel never falls
    // as the slope rises and rises strictly from 0 % up (downhill it may rest on the idle
    // floor), and a truck with trailer uses more than a truck.
    void profileShape()
    {
        QFETCH(QString, workbook);
        QFETCH(QString, prefix);
        const auto book = openWorkbook(workbook);
        QVERIFY(book);
        std::vector<const Sheet *> sheets;
        for (int slope : slopes) {
            const auto sheet = book->sheet(sheetName(qPrintable(prefix), slope));
            QVERIFY(sheet);
            sheets.push_back(*sheet);
        }
        for (int start : {2, 23}) {
            for (int row = start; !emptyKey(*sheets[0], row); ++row) {
                for (std::size_t s = 1; s < sheets.size(); ++s) {
                    QCOMPARE(number(*sheets[s], row, 3), number(*sheets[0], row, 3));
                    const double lower = number(*sheets[s - 1], row, 4);
                    const double upper = number(*sheets[s], row, 4);
                    QVERIFY2(slopes[s] > 0 ? upper > lower : upper >= lower,
                             qPrintable(sheets[s]->name() + u' ' + sheets[s]->reference(row, 4)));
                }
            }
        }
        if (prefix == QStringLiteral("LB")) {
            for (const Sheet *sheet : sheets) {
                for (int row = 2; !emptyKey(*sheet, row); ++row) {
                    QCOMPARE(number(*sheet, row + 21, 3), number(*sheet, row, 3));
                    QVERIFY(number(*sheet, row + 21, 4) > number(*sheet, row, 4));
                }
            }
        }
    }

    // Every cell the class weighting and the segment emissions read holds a number (no label
    // strayed into one), and the fleet shares of each class and year add up to 1.
    void factorSheet()
    {
        const auto book = openWorkbook(QStringLiteral("faktorer.xls"));
        QVERIFY(book);
        const auto found = book->sheet(1);
        QVERIFY(found);
        const Sheet &sheet = **found;
        QCOMPARE(sheet.firstRow(), 0);
        QCOMPARE(sheet.firstColumn(), 0);
        QVERIFY(mentionsDemonstration(sheet));

        std::vector<std::pair<int, int>> read;
        for (int j = 4; j <= 8; ++j) {
            const int b = 3 + 8 * (j - 4);
            for (int m = 0; m < 6; ++m) {
                for (int column : {2, 3, 4, 6, 7, 8})
                    read.emplace_back(b + m, column);
                if (j == 5)
                    read.emplace_back(b + m, 16);
            }
            read.emplace_back(j + 26, 11);
        }
        for (int o : {0, 9, 18}) {
            for (int m = 1; m <= 6; ++m) {
                for (int column : {11, 12, 13})
                    read.emplace_back(o + 2 + m, column);
            }
        }
        read.emplace_back(44, 2);
        read.emplace_back(45, 2);
        for (int row = 49; row <= 57; ++row)
            read.emplace_back(row, 3);
        for (const auto &[row, column] : read) {
            QVERIFY2(isNumber(sheet, row, column), qPrintable(sheet.reference(row, column)));
            QVERIFY2(number(sheet, row, column) >= 0, qPrintable(sheet.reference(row, column)));
        }
        for (int row = 49; row <= 57; ++row)
            QVERIFY2(number(sheet, row, 3) <= 1, qPrintable(sheet.reference(row, 3)));

        for (int o : {0, 9, 18}) {
            for (int column : {11, 12, 13}) {
                double sum = 0;
                for (int m = 1; m <= 6; ++m)
                    sum += number(sheet, o + 2 + m, column);
                QVERIFY2(std::abs(sum - 1) < 1e-12, qPrintable(sheet.reference(o + 3, column)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestDefaultWorkbooks)
#include "tst_defaultworkbooks.moc"
