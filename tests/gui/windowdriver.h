#pragma once

#include "gui/app/mainwindow.h"
#include "gui/recordingprompts.h"

#include <QtTest>
#include <QtWidgets>

// Helpers that drive the windows through their object names, as a user would.

// The child with this object name; a missing name is a broken window, not a failed check.
template <class T = QWidget>
T *named(const QObject &root, const QString &name)
{
    T *child = root.findChild<T *>(name);
    if (!child)
        qFatal("no child named %s under %s", qPrintable(name), qPrintable(root.objectName()));
    return child;
}

// A segment from its nine texts, or a plain valid one with just its number.
template <class... Cells>
lv::input::SegmentRow segment(const QString &number, const Cells &...cells)
{
    if constexpr (sizeof...(cells) == 0)
        return segment(number, "100", "0", "70", "1000", "70", "100", "70", "50");
    else
        return {number, {QString(cells)...}};
}

inline const QStringList kSegmentFields = {"numberEdit",  "lengthEdit",   "slopeEdit",
                                           "pbSpeedEdit", "pbFlowEdit",   "lbSpeedEdit",
                                           "lbFlowEdit",  "lbsSpeedEdit", "lbsFlowEdit"};

// The segment dialog's fields as a row; with `typed`, typed in first and OK pressed.
inline lv::input::SegmentRow dialogRow(QDialog &dialog, const lv::input::SegmentRow *typed = {})
{
    QStringList f;
    for (int i = 0; i < 9; ++i) {
        auto *edit = named<QLineEdit>(dialog, kSegmentFields[i]);
        if (typed)
            edit->setText(i ? typed->cells[std::size_t(i - 1)] : typed->number);
        f.append(edit->text());
    }
    if (typed)
        named<QAbstractButton>(dialog, "okButton")->click();
    return segment(f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8]);
}

// The texts of a list's cells: one row (column -1), one column (row -1), or all, row by row.
inline QStringList texts(const QAbstractItemView &list, int row = -1, int column = -1)
{
    QStringList texts;
    for (int r = 0; r < list.model()->rowCount(); ++r) {
        for (int c = 0; c < list.model()->columnCount(); ++c) {
            if ((row < 0 || r == row) && (column < 0 || c == column))
                texts.append(list.model()->index(r, c).data().toString());
        }
    }
    return texts;
}

// A file's bytes; a file that cannot be read equals no expected contents.
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline QString headerText(const QAbstractItemView &list, int column)
{
    return list.model()->headerData(column, Qt::Horizontal).toString();
}

// Ctrl+C on a list with one row selected: the clipboard's text, split at `lineEnd`.
inline QStringList copyRow(QTableView *list, int row, const QString &lineEnd = "\n")
{
    list->selectRow(row);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    return QGuiApplication::clipboard()->text().split(lineEnd);
}

inline QString statusText(const QWidget &window)
{
    return named<QLabel>(*named<QStatusBar>(window, "statusBar"), "statusText")->text();
}

// The rows of a data-driven test from a table of cases, each named by its first member.
template <class Case, std::size_t N>
void addCases(const Case (&cases)[N])
{
    QTest::addColumn<Case>("c");
    for (const Case &c : cases)
        QTest::newRow(c.name) << c;
}

// Settings (window geometry, recent files, the dialogs' folder) in a test folder of their own,
// empty for each window, so that no test reads what another or the user left.
struct IsolatedSettings
{
    IsolatedSettings()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
    }
};

// The main window on a program directory, shown, with its prompts recorded.
struct WindowFixture
{
    IsolatedSettings settings;
    RecordingPrompts prompts;
    lv::gui::MainWindow window;

    explicit WindowFixture(const QString &appPath) : window(prompts, appPath)
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("main window not exposed");
    }

    template <class T = QWidget>
    T *get(const QString &name)
    {
        return named<T>(window, name);
    }
    void click(const QString &name) { get<QAbstractButton>(name)->click(); }
    void trigger(const QString &name) { get<QAction>(name)->trigger(); }
    // Whether a menu item or a control can be used.
    bool enabled(const QString &name)
    {
        const QAction *action = window.findChild<QAction *>(name);
        return action ? action->isEnabled() : get(name)->isEnabled();
    }
    void setText(const QString &name, const QString &text) { get<QLineEdit>(name)->setText(text); }
    QString text(const QString &name) { return get<QLineEdit>(name)->text(); }
    QAbstractItemView *segments() { return get<QAbstractItemView>("segmentView"); }
    QAbstractItemView *results() { return get<QAbstractItemView>("resultView"); }
    QTabWidget *tabs() { return get<QTabWidget>("tabs"); }
    int resultCount() { return results()->model()->rowCount(); }
    QString result(int row, int column) { return texts(*results(), row, column).value(0); }
    // "Lägg till" on the result tab with the stretch "start:stop".
    void addStretch(const QString &stretch)
    {
        setText("startEdit", stretch.section(':', 0, 0));
        setText("stopEdit", stretch.section(':', 1));
        click("addStretchButton");
    }

    // Where a cell of a list is on the screen, scrolled into view.
    QPoint centre(QAbstractItemView *view, int row, int column)
    {
        const QModelIndex index = view->model()->index(row, column);
        view->scrollTo(index);
        return view->visualRect(index).center();
    }
    // The result cells the model gives red text, as "row,column".
    QStringList marked()
    {
        QStringList cells;
        for (int i = 0; i < resultCount() * 12; ++i) {
            const QVariant brush =
                results()->model()->index(i / 12, i % 12).data(Qt::ForegroundRole);
            if (brush.value<QBrush>().color() == Qt::red)
                cells.append(QStringLiteral("%1,%2").arg(i / 12).arg(i % 12));
        }
        return cells;
    }

    // "Lägg till...", with the segment typed into the dialog.
    void add(const lv::input::SegmentRow &row)
    {
        prompts.onDialog = [&row](QDialog &dialog) { dialogRow(dialog, &row); };
        click("addButton");
        prompts.onDialog = nullptr;
    }

    // Types the input into the input tab, cleared first, as a user would.
    void type(const lv::files::InputDocument &input)
    {
        tabs()->setCurrentIndex(0);
        click("clearButton");
        setText("scenarioEdit", input.scenario);
        for (const lv::input::SegmentRow &row : input.rows)
            add(row);
        get<QComboBox>("yearCombo")->setCurrentText(input.year);
        setText("spsEdit", input.sps);
        setText("studdedShareEdit", input.studdedShare);
    }

    // The small test workbooks' tunnel: 400 m at 0 % (50 km/h) and then `secondLength` m at 3 %
    // (80 km/h), Pb/Lb/Lbs 100, 10 and 1 vehicles per hour, year 2005, SPS 10, no studded tyres;
    // computed, or a fatal error.
    void runTestTunnel(const QString &scenario, const QString &secondLength = "600")
    {
        type({scenario,
              "2005",
              {segment("1", "400", "0", "50", "100", "50", "10", "50", "1"),
               segment("2", secondLength, "3", "80", "100", "80", "10", "80", "1")},
              "10",
              "0"});
        if (!run())
            qFatal("the test run failed");
    }

    // "Beräkna"; true when the run succeeded with at most label warnings, which are cleared.
    bool run()
    {
        click("calculateButton");
        for (const RecordingPrompts::Message &message : prompts.messages) {
            if (message.title != "Luftvaka")
                return false;
        }
        prompts.messages.clear();
        return window.runState() != nullptr;
    }
};
