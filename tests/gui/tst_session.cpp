// A long random session with the real main window, offscreen: seeded random steps on every
// command, random texts in every field, files opened and saved, runs, sub-stretches, marks.
// The session does not predict the window; after each step it checks what must always hold.
//
// LUFTVAKA_SESSION_SEED   the seed (default: a new one each run; it is printed)
// LUFTVAKA_SESSION_STEPS  the number of steps (default 1500)

#include "core/calc/calculationrun.h"
#include "core/files/inputfile.h"
#include "core/results/resulttable.h"
#include "core/results/substretch.h"
#include "core/text/numbertext.h"
#include "core/text/textfile.h"
#include "gui/app/mainwindow.h"
#include "gui/windowdriver.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cmath>

using lv::MessageIcon;
using lv::files::InputDocument;
using lv::input::SegmentRow;
using lv::results::ResultRow;
using Message = RecordingPrompts::Message;

namespace {

const QString kAppPath = QStringLiteral(LUFTVAKA_BIN_DIR);

// Every message the program may show: title, then the text as a pattern ('.' is any character).
bool isAllowed(const Message &m)
{
    static const QList<std::pair<QString, QString>> allowed = {
        {"Ange indata", "Ange minst ett tunnelsegment"},
        {"Felaktig indata", "Välj beräkningsår!"},
        {"Felaktig indata", "Ogiltigt Segmentnummer: .*"},
        {"Felaktig indata", "Ogiltig lutning: .*"},
        {"Felaktig indata", "Ogiltig längd, flöde eller hastighet. Måste vara ett positivt "
                            "decimaltal."},
        {"Felaktig indata", "Medelhastighet = Reshastighet, måste vara större än 0"},
        {"Felaktig indata", "Ogiltigt SPS-tal: .*"},
        {"Felaktig indata", "Ogiltig andel dubbade personbilar: .*"},
        {"Felaktig indata", "Ogiltig startkoordinat: .*"},
        {"Felaktig indata", "Ogiltig slutkoordinat: .*"},
        {"Felaktig indata", "Start- och slutkoordinaterna måste upfylla: 0 <= start < slut <= "
                            "\\S+ \\(total tunnellängd\\)"},
        {"Felaktig indata", "Lutningen i segment .*"},
        {"Felaktig indata", "Tunnelns totala längd är \\S+ m. Summan av segmentens längder "
                            "måste vara större än 0."},
        {"Felaktig indata", "Resultatet blev för stort för att kunna visas. Kontrollera "
                            "segmentens längder och flöden."},
        {"Felaktig indata", "För många segment: .*"},
        {"Felaktig indata", "Rad \\d+ i segmentlistan \\(segment .*\\): .+ Rätta raden med "
                            "Ändra..."},
        {"Indata fel", "Ogiltig indatafil(: .*)?"},
        {"Spara indata", "Filen .+ sparades inte[.:] .+"},
        {"Spara resultat", "Filen .+ sparades inte[.:] .+"},
        {"Skriv ut resultat", "Rapporten skrevs inte ut: .*"},
        {"Luftvaka", "Fel i grundtabellen Rätta! .*"},
    };
    for (const auto &[title, pattern] : allowed) {
        const QRegularExpression re(QRegularExpression::anchoredPattern(pattern),
                                    QRegularExpression::DotMatchesEverythingOption);
        const auto icon = title == u"Luftvaka" ? MessageIcon::None : MessageIcon::Exclamation;
        if (m.title == title && m.icon == icon && re.match(m.text).hasMatch())
            return true;
    }
    return false;
}

bool isRed(const QVariant &colour)
{
    if (colour.userType() == QMetaType::QColor)
        return colour.value<QColor>() == QColor(Qt::red);
    return colour.userType() == QMetaType::QBrush && colour.value<QBrush>().color() == Qt::red;
}

QString cell(const QAbstractItemView *view, int row, int column)
{
    return view->model()->index(row, column).data(Qt::DisplayRole).toString();
}

QList<QStringList> rowsOf(const QAbstractItemView *view)
{
    QList<QStringList> rows;
    for (int r = 0; r < view->model()->rowCount(); ++r) {
        rows.append(QStringList());
        for (int c = 0; c < view->model()->columnCount(); ++c)
            rows.last().append(cell(view, r, c));
    }
    return rows;
}

QStringList texts(const ResultRow &row)
{
    return QStringList{row.label} + QStringList(row.values.begin(), row.values.end());
}

int selectedRow(const QAbstractItemView *view)
{
    const QModelIndexList selected = view->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

// The cells drawn red, as row * 100 + column.
QList<int> redCells(const QAbstractItemView *view)
{
    QList<int> red;
    for (int r = 0; r < view->model()->rowCount(); ++r) {
        for (int c = 0; c < view->model()->columnCount(); ++c) {
            if (isRed(view->model()->index(r, c).data(Qt::ForegroundRole)))
                red.append(r * 100 + c);
        }
    }
    return red;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return !path.isEmpty() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whether a field read back from a file stands for the number the window held.
bool sameNumber(const QString &before, const QString &after)
{
    if (before.trimmed().isEmpty() || after.isEmpty())
        return before.trimmed().isEmpty() && after.isEmpty();
    const auto a = lv::text::parseSingle(before);
    const auto b = lv::text::parseSingle(after);
    return a && b && std::fabs(*a - *b) <= 1e-6f * std::max(std::fabs(*a), std::fabs(*b));
}

class Session
{
public:
    explicit Session(quint64 seed) : m_rng(quint32(seed)), m_window(m_prompts, kAppPath)
    {
        m_window.show();
        m_prompts.onPrinter = [this](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(m_printFile);
        };
    }

    QString failure;
    QStringList recent;
    int step = 0;
    int roundTrips = 0; // input files saved and read back whole

    void run()
    {
        struct Step
        {
            int weight;
            const char *name;
            void (Session::*run)();
        };
        static const QList<Step> input = {{14, "type a field", &Session::typeField},
                                          {4, "choose a year", &Session::chooseYear},
                                          {26, "segment dialog", &Session::segment},
                                          {10, "click a segment", &Session::click},
                                          {6, "Ta bort", &Session::removeSegment},
                                          {16, "Beräkna", &Session::calculate},
                                          {3, "Rensa", &Session::clear},
                                          {6, "switch tab", &Session::switchTab},
                                          {7, "Öppna indata", &Session::openFile},
                                          {5, "Spara indata", &Session::saveInput},
                                          {1, "Spara resultat", &Session::saveResults},
                                          {2, "Skriv ut", &Session::print}};
        static const QList<Step> results = {{24, "Lägg till", &Session::subStretch},
                                            {10, "switch mode", &Session::switchMode},
                                            {18, "press a value", &Session::press},
                                            {8, "Kopiera värde", &Session::copy},
                                            {8, "Ta bort markerat", &Session::removeRow},
                                            {3, "Beräkna", &Session::calculate},
                                            {4, "Rensa", &Session::clear},
                                            {12, "switch tab", &Session::switchTab},
                                            {4, "Öppna indata", &Session::openFile},
                                            {3, "Spara indata", &Session::saveInput},
                                            {4, "Spara resultat", &Session::saveResults},
                                            {2, "Skriv ut", &Session::print}};
        const QList<Step> &steps = tabs()->currentIndex() == 0 ? input : results;
        int r = pick(100);
        for (const Step &s : steps) {
            if ((r -= s.weight) < 0) { // the weights add up to 100
                m_prompts.messages.clear();
                log(QString::fromUtf8(s.name));
                (this->*s.run)();
                break;
            }
        }
        checkInvariants();
    }

private:
    int pick(int n) { return int(m_rng.bounded(n)); }
    bool chance(double p) { return m_rng.generateDouble() < p; }

    void log(const QString &what)
    {
        recent.append(QStringLiteral("step %1: %2").arg(step).arg(what));
        if (recent.size() > 30)
            recent.removeFirst();
    }

    void expect(bool ok, const QString &why)
    {
        if (!ok && failure.isEmpty())
            failure = QStringLiteral("step %1: %2").arg(step).arg(why);
    }
    void expectQuiet() { expect(m_prompts.messages.isEmpty(), "a message"); }

    template <class T>
    T *get(const char *name)
    {
        return named<T>(m_window, QString::fromLatin1(name));
    }
    QTabWidget *tabs() { return get<QTabWidget>("tabs"); }
    QAbstractItemView *segments() { return get<QAbstractItemView>("segmentView"); }
    QAbstractItemView *results() { return get<QAbstractItemView>("resultView"); }
    QString text(const char *field) { return get<QLineEdit>(field)->text(); }
    bool enabled(const char *name) { return get<QWidget>(name)->isEnabledTo(tabs()->widget(1)); }
    lv::results::Mode mode()
    {
        return get<QRadioButton>("totalsButton")->isChecked() ? lv::results::Mode::Totals
                                                              : lv::results::Mode::PerKm;
    }

    // A number in the user's locale, or now and then anything a user might type.
    QString number(double lo, double hi, double junk = 0.1)
    {
        static const QStringList odd =
            QString::fromUtf8("| |abc|NaN|inf|1e|--5|5-|0x1A|½|1 234|12,345.6|1.234,5|1e+39|"
                              "3e+38|-3e+38|1e-50|32767|32768|-32769|2.5|2,5|-0|+7| 12 |\t5\n|"
                              "Ж|😀|\u2212|\u22124|\u22122.5|\u22122,5|\u0661\u0662|\uFF15|5\x01")
                .split(u'|') +
            QStringList{QString(10000, u'7')};
        if (chance(junk))
            return odd[pick(int(odd.size()))];
        return QString::number(lo + m_rng.generateDouble() * (hi - lo), 'f', pick(3))
            .replace(u'.', QLocale().decimalPoint());
    }

    void typeInto(const char *name, const QString &text)
    {
        get<QLineEdit>(name)->setText(text);
        expect(get<QLineEdit>(name)->text() == text, QStringLiteral("%1 refuses it").arg(name));
    }

    InputDocument windowInput()
    {
        InputDocument d{text("scenarioEdit"),
                        get<QComboBox>("yearCombo")->currentText(),
                        {},
                        text("spsEdit"),
                        text("studdedShareEdit")};
        for (const QStringList &row : rowsOf(segments()))
            d.rows.push_back(
                {row[0], {row[1], row[2], row[3], row[4], row[5], row[6], row[7], row[8]}});
        return d;
    }

    void typeField()
    {
        const QStringList scenarios = {"Södra länken", "Tab\there, €", "Жёлтый 😀", ""};
        const int f = pick(3);
        typeInto(std::array{"scenarioEdit", "spsEdit", "studdedShareEdit"}[std::size_t(f)],
                 f == 0 ? scenarios[pick(4)] : number(0, f == 1 ? 20 : 1, 0.2));
        expectQuiet();
    }

    void chooseYear()
    {
        get<QComboBox>("yearCombo")->setCurrentIndex(pick(4) - 1);
        expectQuiet();
    }

    // "Lägg till..." or "Ändra...": random texts, OK up to three times, then Avbryt.
    void segment()
    {
        const bool edit = chance(0.3);
        const QList<QStringList> before = rowsOf(segments());
        const int selected = selectedRow(segments());
        auto *button = get<QAbstractButton>(edit ? "editButton" : "addButton");
        const bool opens = button->isEnabled() && (!edit || selected >= 0);
        std::optional<QStringList> stored;
        bool opened = false;
        m_prompts.onDialog = [&](QDialog &dialog) {
            opened = true;
            const QStringList &names = segmentFieldNames();
            const auto fields = [&] {
                QStringList t;
                for (const QString &name : names)
                    t.append(named<QLineEdit>(dialog, name)->text());
                return t;
            };
            expect(fields() == (edit ? before[selected] : QStringList(9, QString())),
                   "the dialog does not open with the row");
            static const double lo[9] = {-5, 0, -10, 5, 0, 5, 0, 5, 0};
            static const double hi[9] = {75, 2000, 10, 130, 3000, 130, 3000, 130, 3000};
            for (int attempt = 0; attempt < 3; ++attempt) {
                for (int i = 0; i < 9; ++i) {
                    if ((edit || attempt > 0) && !chance(0.3))
                        continue;
                    named<QLineEdit>(dialog, names[i])
                        ->setText(i == 0 && chance(0.95) ? QString::number(pick(80) - 5)
                                                         : number(lo[i], hi[i], 0.05));
                }
                const qsizetype messages = m_prompts.messages.size();
                named<QAbstractButton>(dialog, "okButton")->click();
                if (dialog.result() == QDialog::Accepted) {
                    expect(m_prompts.messages.size() == messages, "accepted with a message");
                    stored = fields();
                    return;
                }
                expect(m_prompts.messages.size() == messages + 1, "refused without one message");
            }
            named<QAbstractButton>(dialog, "cancelButton")->click();
        };
        button->click();
        m_prompts.onDialog = nullptr;
        expect(opened == opens, QStringLiteral("the segment dialog opened: %1").arg(opened));
        const QList<QStringList> rows = rowsOf(segments());
        expect(stored ? rows.size() - before.size() <= 1 && rows.size() >= before.size() &&
                            rows.contains(*stored)
                      : rows == before,
               "the list does not hold what the dialog stored");
    }

    void click()
    {
        const int n = segments()->model()->rowCount();
        if (n == 0)
            return;
        const QModelIndex index = segments()->model()->index(pick(n), pick(9));
        segments()->scrollTo(index);
        QTest::mouseClick(segments()->viewport(), Qt::LeftButton, {},
                          segments()->visualRect(index).center());
        expect(selectedRow(segments()) == index.row(), "the row is not selected");
        expectQuiet();
    }

    void removeSegment()
    {
        QList<QStringList> rows = rowsOf(segments());
        const int selected = selectedRow(segments());
        get<QAbstractButton>("removeButton")->click();
        if (selected >= 0) {
            rows.removeAt(selected);
            expect(!get<QWidget>("removeButton")->isEnabled() && selectedRow(segments()) < 0,
                   "\"Ta bort\" left a selection or stays enabled");
        }
        expect(rowsOf(segments()) == rows, "\"Ta bort\" removed the wrong rows");
        expectQuiet();
    }

    void calculate()
    {
        const bool onInput = tabs()->currentIndex() == 0;
        const InputDocument input = windowInput();
        const QList<QStringList> before = rowsOf(results());
        get<QAbstractButton>("calculateButton")->click();
        qsizetype faults = 0; // the workbooks' label warnings do not end a run
        for (const Message &m : m_prompts.messages)
            faults += m.icon != MessageIcon::None;
        if (!onInput || faults > 0) {
            expect(onInput ? faults == 1 && tabs()->currentIndex() == 0
                           : faults == 0 && rowsOf(results()) == before,
                   "a refused run");
            return;
        }
        auto run =
            lv::calc::computeRun({input.rows, input.year, input.sps, input.studdedShare}, kAppPath);
        expect(bool(run), "the window ran what the core refuses");
        if (!run)
            return;
        m_run = std::make_shared<const lv::calc::RunState>(std::move(run).value());
        m_runShown = m_menus = true;
        m_modeChosen = false;
        expect(tabs()->currentIndex() == 1 && rowsOf(results()).size() == 1 &&
                   mode() == lv::results::Mode::PerKm && !enabled("copyValueButton") &&
                   text("startEdit").isEmpty() && text("stopEdit").isEmpty(),
               "a run shows not just its \"Totalt\" row in per-km mode");
    }

    void clear()
    {
        const bool onInput = tabs()->currentIndex() == 0;
        get<QAbstractButton>("clearButton")->click();
        m_menus = false;
        m_runShown = m_runShown && !onInput;
        expect(onInput ? windowInput() == InputDocument{} &&
                             get<QComboBox>("yearCombo")->currentIndex() == -1 &&
                             !get<QWidget>("editButton")->isEnabled() &&
                             !get<QWidget>("removeButton")->isEnabled()
                       : rowsOf(results()).isEmpty() && text("startEdit").isEmpty() &&
                             text("stopEdit").isEmpty(),
               "\"Rensa\" left something");
        expectQuiet();
    }

    void switchTab()
    {
        const int to = 1 - tabs()->currentIndex();
        QTest::mouseClick(tabs()->tabBar(), Qt::LeftButton, {},
                          tabs()->tabBar()->tabRect(to).center());
        expect(tabs()->currentIndex() == (tabs()->isTabEnabled(to) ? to : 1 - to), "the tab");
        expectQuiet();
    }

    void subStretch()
    {
        const qsizetype before = rowsOf(results()).size();
        if (!m_run || before >= 60)
            return;
        const double length = lv::results::tunnelLength(*m_run);
        if (chance(0.9)) {
            typeInto("startEdit", chance(0.2) ? "0" : number(0, length * 1.1, 0.1));
            typeInto("stopEdit", number(0, length * 1.1, 0.1));
        }
        log(text("startEdit") + " - " + text("stopEdit"));
        get<QAbstractButton>("addStretchButton")->click();
        const QList<QStringList> rows = rowsOf(results());
        static const QRegularExpression label(QStringLiteral("^\\S+ - \\S+$"));
        expect(m_prompts.messages.isEmpty()
                   ? rows.size() == before + 1 && label.match(rows.last()[0]).hasMatch() &&
                         text("startEdit").isEmpty()
                   : rows.size() == before,
               "a sub-stretch without its row, or a refused one with a row");
    }

    void switchMode()
    {
        QTest::mouseClick(get<QRadioButton>(chance(0.5) ? "totalsButton" : "perKmButton"),
                          Qt::LeftButton);
        m_modeChosen = true;
        // Switching recomputes every row from its label.
        for (const QStringList &row : rowsOf(results())) {
            const auto recomputed = lv::results::recalcRow(*m_run, row[0], mode());
            expect(!recomputed || texts(*recomputed) == row, "a row not recomputed in the mode");
        }
        expectQuiet();
    }

    void press()
    {
        QWidget *viewport = results()->viewport();
        QPoint point(pick(viewport->width()), pick(viewport->height()));
        const int n = results()->model()->rowCount();
        if (n > 0 && chance(0.8)) {
            const QModelIndex index = results()->model()->index(pick(n), pick(12));
            results()->scrollTo(index);
            point = results()->visualRect(index).center();
        }
        const QModelIndex at = results()->indexAt(point);
        const bool twice = chance(0.2);
        log(QStringLiteral("%1 %2,%3")
                .arg(twice ? "twice" : "once")
                .arg(at.row())
                .arg(at.column()));
        if (twice)
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, point);
        else
            QTest::mouseClick(viewport, chance(0.8) ? Qt::LeftButton : Qt::RightButton, {}, point);
        // Every press marks the value under it, and only that one; a label is never marked.
        const bool value = at.isValid() && at.column() >= 1;
        expect(redCells(results()) ==
                       (value ? QList<int>{at.row() * 100 + at.column()} : QList<int>{}) &&
                   (!value || enabled("copyValueButton")),
               "the pressed value is not marked, or cannot be copied");
        expectQuiet();
    }

    void copy()
    {
        // A run disables the button even where a value stays marked (an empty list is refused).
        const QList<int> red = enabled("copyValueButton") ? redCells(results()) : QList<int>{};
        const QString sentinel = QStringLiteral("before step %1").arg(step);
        QGuiApplication::clipboard()->setText(sentinel);
        get<QAbstractButton>("copyValueButton")->click();
        expect(QGuiApplication::clipboard()->text() ==
                   (red.isEmpty() ? sentinel : cell(results(), red[0] / 100, red[0] % 100)),
               "the clipboard does not hold the marked value");
        expect(red.isEmpty() || (redCells(results()).isEmpty() && !enabled("copyValueButton")),
               "the copied value stays marked");
        expectQuiet();
    }

    void removeRow()
    {
        QList<QStringList> rows = rowsOf(results());
        const int selected = selectedRow(results());
        get<QAbstractButton>("removeRowButton")->click();
        if (selected >= 0) {
            rows.removeAt(selected);
            expect(!enabled("removeRowButton"), "\"Ta bort markerat\" stays enabled");
        }
        expect(rowsOf(results()) == rows, "\"Ta bort markerat\" removed other rows");
        expectQuiet();
    }

    QString newPath(const QString &suffix)
    {
        return m_dir.filePath(QStringLiteral("f%1%2").arg(m_files++).arg(suffix));
    }

    // "Öppna indata" answered with `path`: the window shows what the file holds, or keeps its
    // input and shows the reader's message (none for a file it cannot open).
    void open(const QString &path)
    {
        const InputDocument before = windowInput();
        m_prompts.openAnswers = {path};
        get<QAction>("openAction")->trigger();
        const auto read = lv::files::readInputFile(bytesOf(path));
        if (read && m_prompts.messages.isEmpty())
            return expect(windowInput() == *read, "the window does not show the file");
        const bool readable = QFileInfo(path).isFile();
        expect(windowInput() == before && m_prompts.messages.size() == (readable ? 1 : 0) &&
                   (!readable || (!read && m_prompts.messages[0].text == read.error().message)),
               "a refused file changed the input, or not the reader's message");
    }

    void openFile()
    {
        InputDocument d{chance(0.5) ? "Tunnel A" : "Tab\tinside",
                        QString::number(2000 + 5 * pick(5)),
                        {},
                        number(0, 20, 0.2),
                        number(0, 1, 0.2)};
        for (int i = 0, n = pick(30); i < n; ++i)
            d.rows.push_back({QString::number(chance(0.8) ? i + 1 : pick(50) - 10),
                              {number(1, 900), number(-9, 9), number(5, 130), number(0, 3000),
                               number(5, 130), number(0, 3000), number(5, 130), number(0, 3000)}});
        const auto written = lv::files::writeInputFile(d, QDateTime::currentDateTime());
        QByteArray bytes = written ? *written : QByteArray("\xff\xfe");
        if (chance(0.3))
            bytes = bytes.left(pick(int(bytes.size()) + 1));
        if (chance(0.2) && !bytes.isEmpty())
            bytes[pick(int(bytes.size()))] = char(pick(256));
        QString path = newPath(QStringLiteral(".dat"));
        QFile file(path);
        expect(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "write");
        file.close();
        if (chance(0.1))
            path = chance(0.5) ? QString() : m_dir.filePath(QStringLiteral("missing/none.dat"));
        open(path);
    }

    // Where a save goes: a new or an earlier file, a folder that is not there, or cancelled.
    QString saveAnswer(const QString &suffix)
    {
        const int r = pick(10);
        if (r < 7)
            return r < 5
                       ? newPath(suffix)
                       : m_dir.filePath(QStringLiteral("f%1%2").arg(pick(m_files + 1)).arg(suffix));
        return r < 9 ? m_dir.filePath(QStringLiteral("missing/x") + suffix) : QString();
    }

    void saveInput()
    {
        const QString path = saveAnswer(QStringLiteral(".dat"));
        const QByteArray before = bytesOf(path);
        const InputDocument input = windowInput();
        m_prompts.saveAnswers = {path};
        get<QAction>("saveInputAction")->trigger();
        if (path.isEmpty() || !m_prompts.messages.isEmpty())
            return expect(bytesOf(path) == before, "a refused save changed the file");
        // Opened again, the file gives the same fields (numbers written back normalised); a text
        // that is no number is saved as it is, and refused when read back.
        open(path);
        const InputDocument after = windowInput();
        if (!m_prompts.messages.isEmpty())
            return;
        bool same = after.scenario == input.scenario && after.year == input.year &&
                    after.rows.size() == input.rows.size() && sameNumber(input.sps, after.sps) &&
                    sameNumber(input.studdedShare, after.studdedShare);
        for (std::size_t i = 0; same && i < after.rows.size(); ++i) {
            same = lv::text::parseInt16(input.rows[i].number) ==
                   lv::text::parseInt16(after.rows[i].number);
            for (std::size_t c = 0; c < 8; ++c)
                same = same && sameNumber(input.rows[i].cells[c], after.rows[i].cells[c]);
        }
        expect(same, "the input saved and opened again differs");
        ++roundTrips;
    }

    void saveResults()
    {
        const QString path = saveAnswer(QStringLiteral(".eff"));
        const QByteArray before = bytesOf(path);
        m_prompts.saveAnswers = {path};
        get<QAction>("saveResultsAction")->trigger();
        if (!m_menus || path.isEmpty() || !m_prompts.messages.isEmpty())
            return expect(bytesOf(path) == before, "an unsaved file changed");
        const QString saved = lv::text::decode1252(bytesOf(path));
        bool holdsRows = saved.startsWith(u"Emissionsberäkning tunnlar\r\n");
        for (const QStringList &row : rowsOf(results()))
            holdsRows = holdsRows && saved.contains(row[0]);
        expect(holdsRows, "the result file lacks rows");
    }

    void print()
    {
        m_prompts.printerAnswer = chance(0.6);
        m_printFile = chance(0.2) ? m_dir.filePath(QStringLiteral("missing/r.pdf"))
                                  : newPath(QStringLiteral(".pdf"));
        const int requests = m_prompts.printerRequests;
        get<QAction>("printAction")->trigger();
        expect(m_prompts.printerRequests == requests + (m_menus ? 1 : 0), "printer dialog");
        if (m_menus && m_prompts.printerAnswer && m_prompts.messages.isEmpty())
            expect(bytesOf(m_printFile).startsWith("%PDF"), "no PDF written");
    }

    void checkInvariants()
    {
        for (const Message &m : m_prompts.messages)
            expect(isAllowed(m), "not the program's message: " + m.text + " | " + m.title);
        expect(QApplication::activeModalWidget() == nullptr, "a modal window stays open");
        expect(statusText(m_window) == u"Klar", "the status is not \"Klar\"");
        expect(selectedRow(segments()) < 0 || (get<QWidget>("editButton")->isEnabled() &&
                                               get<QWidget>("removeButton")->isEnabled()),
               "a segment is selected, \"Ändra...\" or \"Ta bort\" disabled");
        expect(selectedRow(results()) < 0 || enabled("removeRowButton"),
               "a result row is selected, \"Ta bort markerat\" disabled");
        expect(tabs()->isTabEnabled(1) == m_runShown, "the result tab does not follow the runs");
        expect(get<QAction>("saveResultsAction")->isEnabled() == m_menus &&
                   get<QAction>("printAction")->isEnabled() == m_menus,
               "the result menu items do not follow the results");
        const QList<int> red = redCells(results());
        expect(red.size() <= 1 && (red.isEmpty() || red[0] % 100 >= 1), "marks");
        expect(get<QRadioButton>("perKmButton")->isChecked() !=
                   get<QRadioButton>("totalsButton")->isChecked(),
               "both modes or none");
        // "Totalt" is the run's tunnel means, or the whole tunnel summed once a mode is chosen.
        for (const QStringList &row : rowsOf(results())) {
            if (m_run && row[0] == lv::results::kTotalLabel)
                expect(row == texts(m_modeChosen ? *lv::results::recalcRow(*m_run, row[0], mode())
                                                 : lv::results::totalRow(*m_run)),
                       "\"Totalt\" is not what the run computes");
        }
    }

    QRandomGenerator m_rng;
    RecordingPrompts m_prompts;
    lv::gui::MainWindow m_window;
    QTemporaryDir m_dir;
    QString m_printFile;
    int m_files = 0;
    std::shared_ptr<const lv::calc::RunState> m_run; // the last successful run
    bool m_runShown = false;   // a run succeeded since "Rensa" on the input tab
    bool m_menus = false;      // ... and since "Rensa" on either tab
    bool m_modeChosen = false; // since the last successful run
};

// Types a segment in, chooses a year and the wear values, and presses "Beräkna".
void calculate(lv::gui::MainWindow &window, RecordingPrompts &prompts, const SegmentRow &row)
{
    addSegment(window, prompts, row);
    named<QComboBox>(window, "yearCombo")->setCurrentIndex(1);
    named<QLineEdit>(window, "spsEdit")->setText("5");
    named<QLineEdit>(window, "studdedShareEdit")->setText("0");
    named<QAbstractButton>(window, "calculateButton")->click();
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void session();
    void minusSign_data();
    void minusSign();
    void doubleClickMarks();
};

void TestSession::session()
{
    bool ok = false;
    quint64 seed = qEnvironmentVariable("LUFTVAKA_SESSION_SEED").toULongLong(&ok);
    if (!ok)
        seed = QRandomGenerator::system()->bounded(1000000000u);
    const int steps = qEnvironmentVariableIntValue("LUFTVAKA_SESSION_STEPS") > 0
                          ? qEnvironmentVariableIntValue("LUFTVAKA_SESSION_STEPS")
                          : 1500;
    QLocale::setDefault(QLocale(seed % 2 == 0 ? "sv_SE" : "en_US"));
    Session session(seed);
    for (; session.step < steps && session.failure.isEmpty(); ++session.step)
        session.run();
    if (!session.failure.isEmpty()) {
        for (const QString &line : session.recent)
            qInfo().noquote() << line;
        QFAIL(qPrintable(
            session.failure +
            QStringLiteral("\nreplay: LUFTVAKA_SESSION_SEED=%1 LUFTVAKA_SESSION_STEPS=%2")
                .arg(seed)
                .arg(session.step)));
    }
    qInfo() << "seed" << seed << ":" << steps << "steps," << session.roundTrips
            << "input files saved and read back";
}

// The typographic minus sign is a minus sign in every locale, not only in Swedish.
void TestSession::minusSign_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("slope");
    QTest::addColumn<QString>("asciiSlope");
    QTest::newRow("English") << "en_US" << u"\u22122.5"_qs << "-2.5";
    QTest::newRow("Swedish") << "sv_SE" << u"\u22122,5"_qs << "-2,5";
}

void TestSession::minusSign()
{
    QFETCH(QString, locale);
    QFETCH(QString, slope);
    QFETCH(QString, asciiSlope);
    QLocale::setDefault(QLocale(locale));
    RecordingPrompts prompts;
    lv::gui::MainWindow window(prompts, kAppPath);
    calculate(window, prompts, segment("1", "400", slope, "70", "1000", "70", "100", "70", "50"));
    QCOMPARE(prompts.messages, QList<Message>{});
    QCOMPARE(rowsOf(named<QAbstractItemView>(window, "segmentView")).value(0).value(2), slope);
    const auto run = lv::calc::computeRun(
        {{segment("1", "400", asciiSlope, "70", "1000", "70", "100", "70", "50")},
         "2010",
         "5",
         "0"},
        kAppPath);
    QVERIFY(run);
    QCOMPARE(rowsOf(named<QAbstractItemView>(window, "resultView")),
             QList<QStringList>{texts(lv::results::totalRow(*run))});
}

// A double click on a value marks it like a single press does; "Kopiera värde" copies it.
void TestSession::doubleClickMarks()
{
    RecordingPrompts prompts;
    lv::gui::MainWindow window(prompts, kAppPath);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    calculate(window, prompts, segment("1"));
    auto *results = named<QAbstractItemView>(window, "resultView");
    QCOMPARE(results->model()->rowCount(), 1);
    const auto centre = [&](int column) {
        return results->visualRect(results->model()->index(0, column)).center();
    };
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, centre(2));
    QCOMPARE(redCells(results), QList<int>{2});
    QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, centre(5));
    QCOMPARE(redCells(results), QList<int>{5});
    named<QAbstractButton>(window, "copyValueButton")->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), cell(results, 0, 5));
    QCOMPARE(redCells(results), QList<int>{});
}

QTEST_MAIN(TestSession)
#include "tst_session.moc"
