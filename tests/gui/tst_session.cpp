// A long random session with the real main window, offscreen: seeded random steps on every
// command, random texts in every field, files opened and saved, runs, sub-stretches, marks.
// The session does not predict the window; after each step it checks what must always hold.
//
// LUFTVAKA_SESSION_SEED   the seed (default: a new one each run; it is printed)
// LUFTVAKA_SESSION_STEPS  the number of steps (default 1500)

#include "core/calc/calculationrun.h"
#include "core/files/inputfile.h"
#include "core/results/resulttable.h"
#include "core/text/numbertext.h"
#include "gui/windowdriver.h"

#include <QPrinter>

using lv::files::InputDocument;
using lv::input::SegmentRow;
using Message = RecordingPrompts::Message;

namespace {

const QString kAppPath = QStringLiteral(LUFTVAKA_BIN_DIR);

// Every message the program may show, as "title: text".
const QRegularExpression kAllowed(
    QRegularExpression::anchoredPattern(
        "Ange indata: Ange minst ett tunnelsegment|Felaktig indata: (Välj beräkningsår!|"
        "Medelhastighet = Reshastighet, måste vara större än 0|Ogiltig längd, flöde eller "
        "hastighet. Måste vara ett positivt decimaltal.|(Ogiltigt (Segmentnummer|SPS-tal)|Ogiltig "
        "(lutning|andel dubbade personbilar|startkoordinat|slutkoordinat)|För många segment): .*|"
        "(Lutningen i segment|Tunnelns totala längd är|Resultatet blev för stort|Start- och "
        "slutkoordinaterna måste upfylla: 0 <= start < slut <=) .*|Rad \\d+ i segmentlistan "
        "\\(segment .*\\): .+ Rätta raden med Ändra...)|Indata fel: Ogiltig indatafil(: .*)?|"
        "Spara (indata|resultat): Filen .+ sparades inte[.:] .+|Skriv ut resultat: Rapporten "
        "skrevs inte ut: .*|Luftvaka: Fel i grundtabellen Rätta! .*"),
    QRegularExpression::DotMatchesEverythingOption);

// Every field of an input, the numbers as a file holds them (segment numbers are whole).
QStringList fieldsOf(const InputDocument &d)
{
    const auto number = [](const QString &text) {
        const auto value = lv::text::parseSingle(text);
        return value ? lv::text::formatGeneral(*value) : text.trimmed();
    };
    QStringList fields{d.scenario, d.year, number(d.sps), number(d.studdedShare)};
    for (const SegmentRow &row : d.rows) {
        const auto whole = lv::text::parseInt16(row.number);
        fields.append(whole ? QString::number(*whole) : row.number);
        for (const QString &cell : row.cells)
            fields.append(number(cell));
    }
    return fields;
}

class Session : public WindowFixture
{
public:
    explicit Session(quint64 seed) : WindowFixture(kAppPath), m_rng(quint32(seed)) {}

    QString failure;
    int steps = 0;

    void run()
    {
        int r = pick(100);
        for (const auto &[onInput, onResults, name, step] : m_steps) {
            if ((r -= tabs()->currentIndex() ? onResults : onInput) < 0) {
                m_step = QStringLiteral("step %1 (%2)").arg(++steps).arg(name);
                prompts.messages.clear();
                step();
                return checkInvariants();
            }
        }
    }

private:
    int pick(int n) { return int(m_rng.bounded(n)); }
    bool chance(double p) { return m_rng.generateDouble() < p; }
    void expect(bool ok, const QString &why)
    {
        if (!ok && failure.isEmpty())
            failure = m_step + ": " + why;
    }
    QString path(const QString &name) { return m_dir.filePath(name.arg(m_files++)); }

    // A number in the user's locale, or now and then anything a user might type.
    QString number(double lo, double hi, double junk = 0.1)
    {
        static const QStringList odd =
            QString::fromUtf8("| |abc|NaN|inf|1e|--5|5-|0x1A|½|1 234|12,345.6|1.234,5|1e+39|3e+38|"
                              "-3e+38|1e-50|32767|32768|-32769|2.5|2,5|-0|+7| 12 |\t5\n|Ж|😀|\u2212|"
                              "\u22124|\u22122.5|\u22122,5|\u0661\u0662|\uFF15|5\x01")
                .split(u'|')
            << QString(10000, u'7');
        QString text = QString::number(lo + m_rng.generateDouble() * (hi - lo), 'f', pick(3));
        return chance(junk) ? odd[pick(int(odd.size()))]
                            : text.replace(u'.', QLocale().decimalPoint());
    }

    // `row` with each field replaced by a random text with the chance p.
    SegmentRow randomRow(SegmentRow row, double p, double junk)
    {
        static const double lo[] = {0, -10, 5, 0, 5, 0, 5, 0};
        static const double hi[] = {2000, 10, 130, 3000, 130, 3000, 130, 3000};
        if (chance(p))
            row.number = chance(junk) ? number(0, 1, 1) : QString::number(pick(80) - 5);
        for (std::size_t c = 0; c < 8; ++c)
            row.cells[c] = chance(p) ? number(lo[c], hi[c], junk) : row.cells[c];
        return row;
    }

    // "Lägg till..." or "Ändra...": random texts, OK up to three times, then cancelled.
    void segmentDialog()
    {
        const bool edit = chance(0.3);
        prompts.onDialog = [&](QDialog &dialog) {
            for (int ok = 0; ok < 3 && dialog.result() != QDialog::Accepted; ++ok) {
                const SegmentRow typed = randomRow(dialogRow(dialog), edit || ok ? 0.3 : 1, .05);
                dialogRow(dialog, &typed);
            }
        };
        click(edit ? "editButton" : "addButton");
        prompts.onDialog = nullptr;
    }

    // "Beräkna" (on the input tab) runs what the core runs and refuses what it refuses; the
    // workbooks' label warnings (no icon) do not end a run.
    void calculate()
    {
        const InputDocument in = window.inputDocument();
        const bool onInput = tabs()->currentIndex() == 0;
        click("calculateButton");
        auto run = lv::calc::computeRun({in.rows, in.year, in.sps, in.studdedShare}, kAppPath);
        const auto fault = [](const Message &m) { return m.icon != lv::MessageIcon::None; };
        const bool ran = onInput && std::ranges::none_of(prompts.messages, fault);
        expect(!onInput || bool(run) == ran, "the window and the core disagree on the run");
        if (ran) {
            m_run = std::make_shared<const lv::calc::RunState>(std::move(run).value());
            m_runShown = m_menus = true;
            m_modeChosen = false;
        }
    }

    void open(const QString &path)
    {
        prompts.openAnswers = {path};
        trigger("openAction");
    }

    // Saved and opened again, the input gives the same fields; a text that is no number is
    // saved as it is, and refused when read back.
    void saveInput()
    {
        // A new file, an earlier one, a folder that is not there, none.
        const QString to = QStringList{path("f%1.dat"),
                                       m_dir.filePath(QStringLiteral("f%1.dat").arg(pick(m_files))),
                                       path("no/%1"), ""}[pick(4)];
        const QStringList saved = fieldsOf(window.inputDocument());
        prompts.saveAnswers = {to};
        trigger("saveInputAction");
        if (to.isEmpty() || !prompts.messages.isEmpty())
            return;
        open(to);
        expect(!prompts.messages.isEmpty() || fieldsOf(window.inputDocument()) == saved,
               "saved and read back, the input differs");
    }

    void checkInvariants()
    {
        for (const Message &m : prompts.messages) {
            expect(m.icon == (m.title == u"Luftvaka" ? lv::MessageIcon::None
                                                     : lv::MessageIcon::Exclamation) &&
                       kAllowed.match(m.title + ": " + m.text).hasMatch(),
                   m.title + ": " + m.text);
        }
        // The commands' states follow the lists and the runs.
        expect(!QApplication::activeModalWidget() && statusText(window) == u"Klar" &&
                   (!segments()->selectionModel()->hasSelection() ||
                    (get("editButton")->isEnabled() && get("removeButton")->isEnabled())) &&
                   (!results()->selectionModel()->hasSelection() ||
                    get("removeRowButton")->isEnabledTo(tabs()->widget(1))) &&
                   tabs()->isTabEnabled(1) == m_runShown &&
                   get<QAction>("saveResultsAction")->isEnabled() == m_menus &&
                   get<QAction>("printAction")->isEnabled() == m_menus,
               "a command's state");
        const QStringList red = marked();
        expect(red.size() <= 1 && !red.value(0).endsWith(",0"), "more than one mark");
        // Every row is what the last run computes for its label in the mode shown; "Totalt"
        // shows the run's tunnel means until a mode is chosen.
        using namespace lv::results;
        const Mode mode =
            get<QRadioButton>("totalsButton")->isChecked() ? Mode::Totals : Mode::PerKm;
        QStringList expected;
        for (const QString &label : texts(*results(), -1, 0)) {
            const ResultRow row =
                (!m_modeChosen && label == kTotalLabel ? std::optional(totalRow(*m_run))
                                                       : recalcRow(*m_run, label, mode))
                    .value_or(ResultRow{});
            expected << row.label << QStringList(row.values.begin(), row.values.end());
        }
        expect(texts(*results()) == expected, "a result row is not what the run computes");
    }

    // Each step's weight on the input tab and on the result tab; each column adds up to 100.
    const std::vector<std::tuple<int, int, const char *, std::function<void()>>> m_steps = {
        {18, 0, "type a field or choose a year",
         [this] {
             static const char *const fields[] = {"scenarioEdit", "spsEdit", "studdedShareEdit"};
             static const QStringList scenarios = {"Södra länken", "Tab\t€", "Жёлтый 😀", ""};
             if (const int f = pick(4); f < 3)
                 setText(fields[f], f ? number(0, f == 1 ? 20 : 1, 0.2) : scenarios[pick(4)]);
             else
                 get<QComboBox>("yearCombo")->setCurrentIndex(pick(4) - 1);
         }},
        {26, 0, "segment dialog", [this] { segmentDialog(); }},
        {10, 0, "click a segment",
         [this] {
             if (const int n = segments()->model()->rowCount())
                 QTest::mouseClick(segments()->viewport(), Qt::LeftButton, {},
                                   centre(segments(), pick(n), pick(9)));
         }},
        {6, 0, "Ta bort", [this] { click("removeButton"); }},
        {16, 3, "Beräkna", [this] { calculate(); }},
        {3, 4, "Rensa",
         [this] {
             m_runShown = m_runShown && tabs()->currentIndex() != 0;
             m_menus = false;
             click("clearButton");
         }},
        {6, 12, "switch tab",
         [this] {
             QTest::mouseClick(tabs()->tabBar(), Qt::LeftButton, {},
                               tabs()->tabBar()->tabRect(1 - tabs()->currentIndex()).center());
         }},
        {7, 4, "Öppna indata",
         [this] { // the input with a random row
             InputDocument d = window.inputDocument();
             d.rows.push_back(randomRow({}, 1, 0.2));
             QFile file(path("f%1.dat"));
             const auto bytes = lv::files::writeInputFile(d, QDateTime::currentDateTime());
             if (bytes && file.open(QIODevice::WriteOnly) && file.write(*bytes) && file.flush())
                 open(chance(0.9) ? file.fileName() : path("no/%1.dat"));
         }},
        {5, 3, "Spara indata", [this] { saveInput(); }},
        {3, 6, "Spara resultat or Skriv ut",
         [this] {
             prompts.saveAnswers = {path(chance(0.8) ? "f%1.eff" : "no/%1.eff")};
             prompts.printerAnswer = chance(0.6);
             const QString pdf = path(chance(0.8) ? "f%1.pdf" : "no/%1.pdf");
             prompts.onPrinter = [pdf](QPrinter &printer) { printer.setOutputFileName(pdf); };
             trigger(chance(0.4) ? "saveResultsAction" : "printAction");
         }},
        {0, 24, "Lägg till",
         [this] {
             setText("startEdit", chance(0.2) ? "0" : number(0, 5000));
             setText("stopEdit", number(0, 5000));
             if (resultCount() < 60)
                 click("addStretchButton");
         }},
        {0, 10, "switch mode",
         [this] {
             QTest::mouseClick(get<QRadioButton>(chance(0.5) ? "totalsButton" : "perKmButton"),
                               Qt::LeftButton);
             m_modeChosen = true;
         }},
        {0, 18, "press a value or anywhere, now and then twice",
         [this] {
             const int n = resultCount();
             const QPoint at = n && chance(0.8) ? centre(results(), pick(n), pick(12))
                                                : QPoint(pick(400), pick(200));
             const auto button = chance(0.8) ? Qt::LeftButton : Qt::RightButton;
             if (chance(0.2))
                 QTest::mouseDClick(results()->viewport(), button, {}, at);
             else
                 QTest::mouseClick(results()->viewport(), button, {}, at);
         }},
        {0, 8, "Kopiera värde", [this] { click("copyValueButton"); }},
        {0, 8, "Ta bort markerat", [this] { click("removeRowButton"); }}};

    QRandomGenerator m_rng;
    QTemporaryDir m_dir;
    QString m_step;
    int m_files = 0;
    std::shared_ptr<const lv::calc::RunState> m_run; // the last successful run
    bool m_runShown = false;   // a run succeeded since "Rensa" on the input tab
    bool m_menus = false;      // ... and since "Rensa" on either tab
    bool m_modeChosen = false; // since the last successful run
};

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void session()
    {
        const QString random = QString::number(QRandomGenerator::system()->bounded(1000000000u));
        const quint64 seed = qEnvironmentVariable("LUFTVAKA_SESSION_SEED", random).toULongLong();
        const int steps = qEnvironmentVariable("LUFTVAKA_SESSION_STEPS", "1500").toInt();
        QLocale::setDefault(QLocale(seed % 2 == 0 ? "sv_SE" : "en_US"));
        Session s(seed);
        while (s.steps < steps && s.failure.isEmpty())
            s.run();
        qInfo() << "LUFTVAKA_SESSION_SEED=" << seed << "LUFTVAKA_SESSION_STEPS=" << s.steps;
        QVERIFY2(s.failure.isEmpty(), qPrintable(s.failure));
    }

    // The typographic minus sign is a minus sign in every locale, not only in Swedish.
    void minusSign()
    {
        const auto shown = [](const QString &slope) {
            WindowFixture f(kAppPath);
            SegmentRow row = segment("1");
            row.cells[SegmentRow::Slope] = slope + QLocale().decimalPoint() + u'5';
            f.type({"", "2010", {row}, "5", "0"});
            return f.run() ? texts(*f.results()) : QStringList();
        };
        for (const char *locale : {"en_US", "sv_SE"}) {
            QLocale::setDefault(QLocale(locale));
            const QStringList ascii = shown("-2");
            QCOMPARE(ascii.size(), 12);
            QCOMPARE(shown(u"\u22122"_qs), ascii);
        }
    }

    // A double click on a value marks it like a single press does; "Kopiera värde" copies it.
    void doubleClickMarks()
    {
        WindowFixture f(LUFTVAKA_TEST_DATA "/calc");
        f.runTestTunnel("");
        QTest::mouseClick(f.results()->viewport(), Qt::LeftButton, {}, f.centre(f.results(), 0, 2));
        QCOMPARE(f.marked(), QStringList{"0,2"});
        QTest::mouseDClick(f.results()->viewport(), Qt::LeftButton, {},
                           f.centre(f.results(), 0, 5));
        QCOMPARE(f.marked(), QStringList{"0,5"});
        f.click("copyValueButton");
        QCOMPARE(QGuiApplication::clipboard()->text(), f.result(0, 5));
    }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
