// A long random session with the real main window, offscreen: thousands of seeded random steps
// on its commands, with random texts in every field, random files opened and saved, runs,
// sub-stretches and switches of mode, every box answered by the prompts double. After every
// step the window is compared with a model that the steps keep: the segment list, the input
// fields, the result labels, the marked value and the enabled states; and every message the
// program showed must be one of its own texts, the one that step calls for.
//
// LUFTVAKA_SESSION_SEED       the seed (default: a new one each run; it is printed)
// LUFTVAKA_SESSION_STEPS      the number of steps (default 1500)
// LUFTVAKA_SESSION_LOCALE     sv_SE or en_US (default: chosen by the seed)
// LUFTVAKA_SESSION_WORKBOOKS  the program directory (default: chosen by the seed between the
//                             default workbooks and the small test workbooks)
// LUFTVAKA_SESSION_TRACE      1: print every step

#include "core/calc/calculationrun.h"
#include "core/files/inputfile.h"
#include "core/results/resulttable.h"
#include "core/text/numbertext.h"
#include "core/text/textfile.h"
#include "gui/app/mainwindow.h"
#include "gui/windowdriver.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <charconv>
#include <cmath>
#include <functional>
#include <locale.h>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

using lv::MessageIcon;

namespace {

const QString kFault = QStringLiteral("Felaktig indata");
const QString kNotPositive =
    QStringLiteral("Ogiltig längd, flöde eller hastighet. Måste vara ett positivt decimaltal.");
const QString kZeroSpeed = QStringLiteral("Medelhastighet = Reshastighet, måste vara större än 0");
const QString kTooLarge = QStringLiteral("Resultatet blev för stort för att kunna visas. "
                                         "Kontrollera segmentens längder och flöden.");
const QString kLabelWarning = QStringLiteral("Fel i grundtabellen Rätta! ");
constexpr std::size_t kMaxRows = 60;

struct Message
{
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;

    bool operator==(const Message &) const = default;
};

// Every message the program may show: its text as a pattern, its title and its icon.
struct AllowedMessage
{
    QRegularExpression text;
    QString title;
    MessageIcon icon;
};

const std::vector<AllowedMessage> &allowedMessages()
{
    const auto exact = [](const QString &text) {
        return QRegularExpression(
            QRegularExpression::anchoredPattern(QRegularExpression::escape(text)));
    };
    // The text followed by anything (a field's text may hold line breaks).
    const auto prefix = [](const QString &text) {
        return QRegularExpression(QRegularExpression::anchoredPattern(
            QRegularExpression::escape(text) + QStringLiteral("[\\s\\S]*")));
    };
    const auto pattern = [](const QString &text) {
        return QRegularExpression(QRegularExpression::anchoredPattern(text));
    };
    const MessageIcon excl = MessageIcon::Exclamation;
    static const std::vector<AllowedMessage> allowed = {
        {exact("Ange minst ett tunnelsegment"), "Ange indata", excl},
        {exact("Välj beräkningsår!"), kFault, excl},
        {prefix("Ogiltigt Segmentnummer: "), kFault, excl},
        {prefix("Ogiltig lutning: "), kFault, excl},
        {exact(kNotPositive), kFault, excl},
        {exact(kZeroSpeed), kFault, excl},
        {prefix("Ogiltigt SPS-tal: "), kFault, excl},
        {prefix("Ogiltig andel dubbade personbilar: "), kFault, excl},
        {prefix("Ogiltig startkoordinat: "), kFault, excl},
        {prefix("Ogiltig slutkoordinat: "), kFault, excl},
        {pattern("Start- och slutkoordinaterna måste upfylla: 0 <= start < slut <= "
                 "\\S+ \\(total tunnellängd\\)"),
         kFault, excl},
        {exact("Ogiltig indatafil"), "Indata fel", excl},
        {prefix("Ogiltig indatafil: "), "Indata fel", excl},
        {prefix(kLabelWarning), "Luftvaka", MessageIcon::None},
        // A slope beyond 16 bits cannot be computed: the run says so instead of stopping silently.
        {prefix("Lutningen i segment "), kFault, excl},
        {pattern("Tunnelns totala längd är \\S+ m\\. Summan av segmentens längder måste vara "
                 "större än 0\\."),
         kFault, excl},
        {exact(kTooLarge), kFault, excl},
        {prefix("För många segment: "), kFault, excl},
        {pattern("Rad \\d+ i segmentlistan \\(segment [\\s\\S]*\\): [\\s\\S]+ Rätta raden med "
                 "Ändra\\.\\.\\."),
         kFault, excl},
        {pattern("Filen [\\s\\S]+ sparades inte[.:] [\\s\\S]+"), "Spara indata", excl},
        {pattern("Filen [\\s\\S]+ sparades inte[.:] [\\s\\S]+"), "Spara resultat", excl},
        {prefix("Rapporten skrevs inte ut: "), "Skriv ut resultat", excl},
    };
    return allowed;
}

bool isAllowed(const Message &m)
{
    for (const AllowedMessage &a : allowedMessages()) {
        if (a.title == m.title && a.icon == m.icon && a.text.match(m.text).hasMatch())
            return true;
    }
    return false;
}

// A text for the log: control characters escaped, long texts cut.
QString shown(const QString &text)
{
    QString out;
    for (QChar c : text.left(48)) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f ||
            (c.unicode() >= 0x80 && c.unicode() < 0xa0))
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    if (text.size() > 48)
        out += QStringLiteral("...(%1 chars)").arg(text.size());
    return u'"' + out + u'"';
}

QString shown(const Message &m)
{
    return QStringLiteral("[%1 | %2 | icon %3]").arg(shown(m.text), m.title).arg(int(m.icon));
}

QString shown(const QList<Message> &messages)
{
    QStringList parts;
    for (const Message &m : messages)
        parts.append(shown(m));
    return QStringLiteral("{") + parts.join(QStringLiteral(", ")) + QStringLiteral("}");
}

// ------------------------------------------------------------------ what a typed text means

locale_t cLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

// A text as typed, and the number it stands for in the user's locale written as a C number
// ("-1.5e+3"), or nothing when the text is not a number. The session knows what it typed; it
// never asks the program's parser.
struct Typed
{
    QString text;
    std::optional<std::string> number;
};

std::optional<double> asDouble(const Typed &t)
{
    if (!t.number)
        return std::nullopt;
    const double v = strtod_l(t.number->c_str(), nullptr, cLocale());
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<float> asSingle(const Typed &t)
{
    if (!t.number)
        return std::nullopt;
    const float v = strtof_l(t.number->c_str(), nullptr, cLocale());
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<int> asInt16(const Typed &t)
{
    const auto v = asDouble(t);
    if (!v)
        return std::nullopt;
    const double r = std::nearbyint(*v); // ties to even
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return int(r);
}

// A number text the program wrote (general form, "1,5E+08"), as a C number.
Typed writtenNumber(const QString &text, QChar decimal)
{
    std::string c;
    for (QChar ch : text) {
        if (ch == decimal)
            c += '.';
        else if (ch == u'E')
            c += 'e';
        else if ((ch >= u'0' && ch <= u'9') || ch == u'-' || ch == u'+')
            c += char(ch.unicode());
        else
            return Typed{text, std::nullopt};
    }
    if (c.empty())
        return Typed{text, std::nullopt};
    return Typed{text, c};
}

// Characters that Windows-1252 holds beside 00..7F and A0..FF (80..9F hex).
bool fitsCodePage(QChar c)
{
    static const QString high = QString::fromUtf16(
        u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152"
        u"\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122"
        u"\u0161\u203A\u0153\u009D\u017E\u0178");
    const char16_t u = c.unicode();
    return u < 0x80 || (u >= 0xA0 && u <= 0xFF) || high.contains(c);
}

// Whether a field can go into a file: no line break, no TAB unless allowed, code page only.
bool fitsFile(const QString &text, bool tabAllowed)
{
    for (QChar c : text) {
        if (c == u'\r' || c == u'\n' || (!tabAllowed && c == u'\t') || !fitsCodePage(c))
            return false;
    }
    return true;
}

// -------------------------------------------------------------------------- random texts

// GCC 12 at -O3 reports a false -Wrestrict in std::string's operator+(const char *, string &&)
// once inlined here (GCC bug 105329); the concatenations below are ordinary.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
class TextMaker
{
public:
    TextMaker(std::mt19937_64 &rng, QChar decimal, QChar otherDecimal)
        : m_rng(rng), m_decimal(decimal), m_other(otherDecimal)
    {}

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(m_rng); }
    double uniform(double lo, double hi) { return std::uniform_real_distribution<>(lo, hi)(m_rng); }
    QChar decimal() const { return m_decimal; }

    // A C number in the user's locale: the decimal separator, 'E' for the exponent.
    Typed render(const std::string &c, bool unicodeMinus = false) const
    {
        QString text;
        for (char ch : c) {
            if (ch == '.')
                text += m_decimal;
            else if (ch == 'e')
                text += u'E';
            else if (ch == '-' && unicodeMinus && text.isEmpty())
                text += QChar(0x2212);
            else
                text += QLatin1Char(ch);
        }
        return Typed{text, c};
    }

    static std::string fixed(double v, int decimals)
    {
        char buffer[400];
        const auto end =
            std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
        return std::string(buffer, end.ptr);
    }

    // The shortest C text of a single-precision value.
    static std::string shortest(float v)
    {
        char buffer[64];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, v);
        return std::string(buffer, end.ptr);
    }

    // A number between lo and hi with up to `decimals` decimals, in the user's locale.
    Typed plain(double lo, double hi, int decimals)
    {
        return render(fixed(uniform(lo, hi), pick(decimals + 1)));
    }

    // Anything a user (or a cat on the keyboard) might type into a number field.
    Typed any()
    {
        static const std::vector<std::pair<int, int>> weights = {
            {0, 30}, {1, 5},  {2, 6},  {3, 5},  {4, 3},  {5, 4},  {6, 4},  {7, 2}, {8, 6},
            {9, 3},  {10, 4}, {11, 4}, {12, 5}, {13, 4}, {14, 3}, {15, 2}, {16, 3}};
        int total = 0;
        for (const auto &w : weights)
            total += w.second;
        int r = pick(total);
        int form = 0;
        for (const auto &w : weights) {
            if (r < w.second) {
                form = w.first;
                break;
            }
            r -= w.second;
        }
        switch (form) {
        case 0: // a plain number
            return plain(0, chance(0.5) ? 100 : 5000, 3);
        case 1: { // leading zeros
            const std::string c =
                std::string(std::size_t(1 + pick(3)), '0') + fixed(uniform(0, 99), pick(3));
            return render(c);
        }
        case 2: { // negative, with the ASCII or the typographic minus
            Typed t = render('-' + fixed(uniform(0, 500), pick(3)), chance(0.3));
            return t;
        }
        case 3: { // exponent form
            const int exponent = pick(50) - 8;
            std::string c = fixed(uniform(1, 9.99), pick(3)) + 'e' + (exponent < 0 ? '-' : '+') +
                            std::to_string(std::abs(exponent));
            if (chance(0.3))
                c = '-' + c;
            return render(c);
        }
        case 4: // an explicit plus
            return withPlus(plain(0, 100, 2));
        case 5: // empty, or only blanks
            return Typed{chance(0.5) ? QString() : QString(1 + pick(4), u' '), std::nullopt};
        case 6: { // blanks around a number
            static const QString blanks = QString::fromUtf16(u" \t\u00A0\u2003\n\r\u0085");
            Typed t = plain(0, 300, 2);
            const QChar before = blanks[pick(int(blanks.size()))];
            const QChar after = blanks[pick(int(blanks.size()))];
            t.text = (chance(0.5) ? QString(before) : QString()) + t.text +
                     (chance(0.5) ? QString(after) : QString());
            return t;
        }
        case 7: // only blanks of other kinds
            return Typed{QString::fromUtf16(u"\u00A0\t "), std::nullopt};
        case 8: { // the other locale's number: a fraction, or digit grouping
            const std::string c = fixed(uniform(0, 5000), 1 + pick(3));
            QString text;
            for (char ch : c)
                text += ch == '.' ? m_other : QChar(QLatin1Char(ch));
            if (chance(0.3)) {
                static const QStringList grouped = {
                    QStringLiteral("1 234"), QString::fromUtf16(u"1\u00A0234,5"),
                    QStringLiteral("1,234.5"), QStringLiteral("1.234,5"),
                    QStringLiteral("12,345,678")};
                text = grouped[pick(int(grouped.size()))];
            }
            return Typed{text, std::nullopt};
        }
        case 9: // huge texts, 10,000 characters
            return huge();
        case 10: { // control characters
            static const std::array<char16_t, 8> controls = {0x01, 0x02, 0x07, 0x08,
                                                             0x1B, 0x1F, 0x7F, 0x9D};
            const QChar c = controls[std::size_t(pick(int(controls.size())))];
            const QString n = plain(0, 100, 1).text;
            switch (pick(3)) {
            case 0:
                return Typed{QString(c) + n, std::nullopt};
            case 1:
                return Typed{n + c, std::nullopt};
            default:
                return Typed{n.left(1) + c + n.mid(1), std::nullopt};
            }
        }
        case 11: { // characters outside Windows-1252
            switch (pick(7)) {
            case 0:
                return Typed{QStringLiteral("Ж"), std::nullopt};
            case 1:
                return Typed{QStringLiteral("😀"), std::nullopt};
            case 2:
                return Typed{QString(QChar(0x2212)), std::nullopt};
            case 3:
                return Typed{plain(0, 50, 1).text + QStringLiteral("Ж"), std::nullopt};
            case 4:
                return Typed{QString::fromUtf16(u"\u0661\u0662"), std::nullopt}; // Arabic digits
            case 5:
                return Typed{QString::fromUtf16(u"\uFF15"), std::nullopt}; // fullwidth 5
            default:
                return render('-' + fixed(uniform(0, 50), pick(2)), true);
            }
        }
        case 12: { // words and broken numbers
            const QString d = m_decimal;
            const QStringList junk = {"abc",
                                      "NaN",
                                      "nan",
                                      "inf",
                                      "-inf",
                                      "Infinity",
                                      "1e",
                                      "1E+",
                                      "e5",
                                      d,
                                      QString(m_other),
                                      "--5",
                                      "5-",
                                      "0x1A",
                                      "1" + d + "2" + d + "3",
                                      "½",
                                      "1/2",
                                      "5 5",
                                      "+-5",
                                      QStringLiteral("E"),
                                      QStringLiteral("-")};
            return Typed{junk[pick(int(junk.size()))], std::nullopt};
        }
        case 13: { // around the 16-bit limits, and halves
            static const std::vector<std::string> limits = {
                "32767",    "32768", "-32768", "-32769", "32767.5", "32766.5",
                "-32768.5", "2.5",   "3.5",    "-0.5",   "-0",      "0",
                "65536",    "1e+4",  "0.5",    "1.5",    "-2.5",    "32767.4999"};
            return render(limits[std::size_t(pick(int(limits.size())))]);
        }
        case 14: { // the largest and the tiniest single-precision numbers, and beyond
            static const std::vector<std::string> extremes = {
                "1e+39", "3e+38", "3.4e+38", "1e+38",  "-3e+38", "3.5e+38", "1e+300",
                "1e-30", "1e-45", "1e-50",   "-1e-50", "1e+39",  "1e+20",   "-1e+39"};
            return render(extremes[std::size_t(pick(int(extremes.size())))]);
        }
        case 15: // a trailing or a leading separator
            return chance(0.5) ? render(std::to_string(pick(100)) + ".")
                               : render("." + std::to_string(pick(100)));
        default: // zero, plain
            return render(chance(0.5) ? "0" : fixed(0, pick(3)));
        }
    }

    Typed withPlus(Typed t)
    {
        t.text.prepend(u'+');
        return t;
    }

    Typed huge()
    {
        constexpr int n = 10000;
        switch (pick(6)) {
        case 0: {
            const std::string c = std::string(n - 1, '0') + "7";
            return render(c);
        }
        case 1:
            return render(std::string(n, '1')); // beyond every range
        case 2:
            return Typed{QString(n, u'x'), std::nullopt};
        case 3: {
            Typed t = render("5");
            t.text += QString(n - 1, u' ');
            return t;
        }
        case 4:
            return render("0." + std::string(n - 2, '3'));
        default:
            return Typed{QStringLiteral("😀").repeated(n / 2), std::nullopt};
        }
    }

    // A valid value for a segment field most of the time, anything now and then.
    Typed segmentField(int field, double junkChance)
    {
        if (chance(junkChance))
            return any();
        switch (field) {
        case 0: { // the number: small, so that rows are overwritten and inserted between
            const int n = pick(80) - 5;
            if (chance(0.1))
                return render("0" + std::to_string(std::abs(n)));
            if (chance(0.07))
                return render(std::to_string(std::abs(n)) + ".5");
            return render(std::to_string(n));
        }
        case 1: // length
            return chance(0.03) ? render("0") : plain(1, 2000, 2);
        case 2: // slope
            return plain(-10, 10, 1);
        case 3:
        case 5:
        case 7: // speeds
            return chance(0.03) ? render("0") : plain(5, 130, 1);
        default: // flows
            return plain(0, 3000, 0);
        }
    }

private:
    std::mt19937_64 &m_rng;
    QChar m_decimal;
    QChar m_other;
};
#pragma GCC diagnostic pop

// ----------------------------------------------------------------------------- the model

// A row of the segment list: the number and the eight cells, each with what it means.
struct ModelRow
{
    std::array<Typed, 9> field;

    lv::input::SegmentRow segmentRow() const
    {
        lv::input::SegmentRow row;
        row.number = field[0].text;
        for (std::size_t c = 0; c < 8; ++c)
            row.cells[c] = field[c + 1].text;
        return row;
    }
};

// The segment dialog's checks in their order, on what the session typed.
std::optional<QString> dialogFault(const ModelRow &row)
{
    if (!asInt16(row.field[0]))
        return QStringLiteral("Ogiltigt Segmentnummer: ") + row.field[0].text;
    if (!asSingle(row.field[2]))
        return QStringLiteral("Ogiltig lutning: ") + row.field[2].text;
    constexpr std::array<std::size_t, 7> checked = {1, 3, 4, 5, 6, 7, 8};
    for (std::size_t f : checked) {
        if (!asSingle(row.field[f]))
            return kNotPositive;
    }
    for (std::size_t f : checked) {
        if (*asSingle(row.field[f]) < 0)
            return kNotPositive;
    }
    for (std::size_t f : {3, 5, 7}) {
        if (*asSingle(row.field[f]) == 0)
            return kZeroSpeed;
    }
    return std::nullopt;
}

// The insertion rule: at the first row whose number is greater or equal, overwrite it when its
// number text is identical, else insert before it; past the last row, append.
void putRow(std::vector<ModelRow> &rows, const ModelRow &row)
{
    const int number = *asInt16(row.field[0]);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (number <= *asInt16(rows[i].field[0])) {
            if (rows[i].field[0].text == row.field[0].text)
                rows[i] = row;
            else
                rows.insert(rows.begin() + std::ptrdiff_t(i), row);
            return;
        }
    }
    rows.push_back(row);
}

struct Model
{
    std::vector<ModelRow> rows;
    QString scenario;
    int year = -1; // index in the year list
    Typed sps;
    Typed share;

    int tab = 0;
    bool resultTabEnabled = false;
    bool resultMenus = false;
    bool andra = false;
    bool taBort = false;

    // The rows the result list must show: labels as the session computes them, values from
    // the core on the tables of the last successful run (the window only wires them up).
    std::vector<lv::results::ResultRow> resultRows;
    std::shared_ptr<const lv::calc::RunState> run;
    bool perKm = true;
    bool co2Colon = false;
    Typed start;
    Typed stop;
    std::optional<std::pair<int, int>> mark; // row, column of the red value
    bool copyEnabled = true;
    std::optional<float> runLength; // T of the last successful run
};

// ------------------------------------------------------------------------- the prompts

class SessionPrompts final : public lv::gui::Prompts
{
public:
    QList<Message> messages;
    QStringList fileDialogs; // titles
    QString openAnswer;
    QString saveAnswer;
    int printerDialogs = 0;
    bool printerAnswer = false;
    QString printerFile;
    QStringList dialogsShown;
    std::function<void(QDialog &)> onSegmentDialog;

    void message(const QString &text, const QString &title, MessageIcon icon) override
    {
        messages.append(Message{text, title, icon});
    }
    QString openFileName(QWidget *, const QString &title, const QString &filter) override
    {
        fileDialogs.append(title + u'|' + filter);
        return openAnswer;
    }
    QString saveFileName(QWidget *, const QString &title, const QString &filter) override
    {
        fileDialogs.append(title + u'|' + filter);
        return saveAnswer;
    }
    bool choosePrinter(QWidget *, QPrinter &printer) override
    {
        ++printerDialogs;
        if (!printerAnswer)
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printerFile);
        return true;
    }
    int runDialog(QDialog &dialog) override
    {
        dialogsShown.append(dialog.objectName());
        dialog.setResult(QDialog::Rejected);
        if (dialog.objectName() == u"SegmentDialog" && onSegmentDialog)
            onSegmentDialog(dialog);
        else if (dialog.objectName() == u"AboutDialog")
            named<QAbstractButton>(dialog, "okButton")->click();
        return dialog.result();
    }
};

// ------------------------------------------------------------------------- the session

class Session
{
public:
    Session(quint64 seed, const QString &appPath, QChar decimal, QChar otherDecimal)
        : m_rng(seed), m_make(m_rng, decimal, otherDecimal), m_window(m_prompts, appPath)
    {
        m_window.show();
        if (!QTest::qWaitForWindowExposed(&m_window))
            qFatal("main window not exposed");
        m_topLevels = QApplication::topLevelWidgets().size();
        m_trace = qEnvironmentVariableIntValue("LUFTVAKA_SESSION_TRACE") != 0;
        checkState();
    }

    const QString &failure() const { return m_failure; }
    int stepNumber() const { return m_step; }
    QStringList recentSteps() const { return m_log; }
    const std::map<QString, int> &counts() const { return m_counts; }

    void step(int number)
    {
        m_step = number;
        m_prompts.messages.clear();
        // Steps of the tab that is showing, and the commands outside the tabs.
        using Step = void (Session::*)();
        static const std::vector<std::pair<int, Step>> inputSteps = {
            {10, &Session::typeInputField}, {4, &Session::chooseYear},
            {22, &Session::addSegment},     {8, &Session::editSegment},
            {8, &Session::clickSegmentRow}, {4, &Session::taBort},
            {14, &Session::berakna},        {2, &Session::rensa},
            {5, &Session::switchTab},       {6, &Session::openFile},
            {3, &Session::saveInput},       {1, &Session::saveResults},
            {1, &Session::print},           {1, &Session::about}};
        static const std::vector<std::pair<int, Step>> resultSteps = {
            {22, &Session::subStretch}, {10, &Session::switchMode},     {16, &Session::pressResult},
            {6, &Session::copyValue},   {6, &Session::removeResultRow}, {2, &Session::berakna},
            {3, &Session::rensa},       {10, &Session::switchTab},      {3, &Session::openFile},
            {2, &Session::saveInput},   {4, &Session::saveResults},     {2, &Session::print},
            {1, &Session::about}};
        const auto &steps = m_model.tab == 0 ? inputSteps : resultSteps;
        int total = 0;
        for (const auto &s : steps)
            total += s.first;
        int r = m_make.pick(total);
        for (const auto &[weight, run] : steps) {
            if (r < weight) {
                (this->*run)();
                break;
            }
            r -= weight;
        }
        checkAllMessagesAllowed();
        checkState();
    }

private:
    // ------------------------------------------------------------------ log and failures

    void log(const QString &what)
    {
        const QString line = QStringLiteral("step %1: %2").arg(m_step).arg(what);
        m_log.append(line);
        if (m_log.size() > 40)
            m_log.removeFirst();
        if (m_trace)
            qInfo().noquote() << line;
    }

    void count(const QString &what) { ++m_counts[what]; }

    void fail(const QString &why)
    {
        if (m_failure.isEmpty())
            m_failure = QStringLiteral("step %1: %2").arg(m_step).arg(why);
    }

    void expect(bool ok, const QString &why)
    {
        if (!ok)
            fail(why);
    }

    // The messages of this step, without the workbooks' label warnings (allowed during a run).
    QList<Message> stepMessages(bool labelWarningsAllowed = false) const
    {
        QList<Message> out;
        for (const Message &m : m_prompts.messages) {
            if (labelWarningsAllowed && m.text.startsWith(kLabelWarning))
                continue;
            out.append(m);
        }
        return out;
    }

    void expectMessages(const QList<Message> &expected, bool labelWarningsAllowed = false)
    {
        const QList<Message> got = stepMessages(labelWarningsAllowed);
        if (got != expected)
            fail(QStringLiteral("messages %1, expected %2").arg(shown(got), shown(expected)));
    }

    void expectNoMessage() { expectMessages({}); }

    void checkAllMessagesAllowed()
    {
        for (const Message &m : m_prompts.messages) {
            if (!isAllowed(m))
                fail(QStringLiteral("a message that is not one of the program's: ") + shown(m));
        }
    }

    // ------------------------------------------------------------------------ the window

    template <class T>
    T *get(const char *name)
    {
        return named<T>(m_window, QString::fromLatin1(name));
    }
    QTreeWidget *segments() { return get<QTreeWidget>("segmentView"); }
    QTreeWidget *results() { return get<QTreeWidget>("resultView"); }
    QTabWidget *tabs() { return get<QTabWidget>("tabs"); }
    void click(const char *button) { get<QAbstractButton>(button)->click(); }

    int selectedIndex(QTreeWidget *list)
    {
        const QList<QTreeWidgetItem *> selected = list->selectedItems();
        return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.first());
    }

    void typeInto(QLineEdit *field, const Typed &t)
    {
        // Short printable texts are typed key by key, the rest is pasted in whole.
        bool printable = t.text.size() <= 12 && !t.text.isEmpty();
        for (QChar c : t.text)
            printable = printable && c.unicode() > 0x20 && c.unicode() < 0x7f;
        if (printable && m_make.chance(0.3)) {
            field->setFocus();
            field->selectAll();
            QTest::keyClicks(field, t.text);
        } else {
            field->setText(t.text);
        }
        expect(field->text() == t.text,
               QStringLiteral("%1 holds %2 after typing %3")
                   .arg(field->objectName(), shown(field->text()), shown(t.text)));
    }

    Typed randomWearText(bool share)
    {
        if (m_make.chance(0.85)) {
            if (share)
                return m_make.chance(0.1) ? m_make.render(m_make.chance(0.5) ? "1" : "0")
                                          : m_make.plain(0, 1, 3);
            return m_make.plain(0, 20, 2);
        }
        if (m_make.chance(0.2))
            return m_make.render(share ? "1.01" : "-0.1");
        return m_make.any();
    }

    // ------------------------------------------------------------------------- the steps

    void typeInputField()
    {
        if (m_model.tab != 0)
            return switchTab();
        switch (m_make.pick(3)) {
        case 0: {
            QString scenario;
            switch (m_make.pick(5)) {
            case 0:
                scenario = QStringLiteral("Södra länken ") + QString::number(m_make.pick(100));
                break;
            case 1:
                scenario = QStringLiteral("Tab\there, €, Ærø");
                break;
            case 2:
                scenario = m_make.any().text;
                break;
            case 3:
                scenario = QString();
                break;
            default:
                scenario = QStringLiteral("Жёлтый тоннель 😀");
                break;
            }
            log(QStringLiteral("type scenario ") + shown(scenario));
            auto *field = get<QLineEdit>("scenarioEdit");
            typeInto(field, Typed{scenario, std::nullopt});
            m_model.scenario = field->text();
            break;
        }
        case 1: {
            const Typed t = randomWearText(false);
            log(QStringLiteral("type SPS ") + shown(t.text));
            typeInto(get<QLineEdit>("spsEdit"), t);
            m_model.sps = t;
            break;
        }
        default: {
            const Typed t = randomWearText(true);
            log(QStringLiteral("type studded share ") + shown(t.text));
            typeInto(get<QLineEdit>("studdedShareEdit"), t);
            m_model.share = t;
            break;
        }
        }
        count(QStringLiteral("type a field"));
        expectNoMessage();
    }

    void chooseYear()
    {
        if (m_model.tab != 0)
            return switchTab();
        const int index = m_make.chance(0.15) ? -1 : m_make.pick(3);
        log(QStringLiteral("choose year index %1").arg(index));
        get<QComboBox>("yearCombo")->setCurrentIndex(index);
        m_model.year = index;
        count(QStringLiteral("choose a year"));
        expectNoMessage();
    }

    void addSegment() { segmentDialog(false); }
    void editSegment() { segmentDialog(true); }

    // "Lägg till..." or "Ändra...": fill the dialog with random texts, OK (again), or Avbryt.
    void segmentDialog(bool edit)
    {
        if (m_model.tab != 0)
            return switchTab();
        auto *button = get<QAbstractButton>(edit ? "editButton" : "addButton");
        const int selected = selectedIndex(segments());
        log(QStringLiteral("%1 (enabled %2, selected row %3)")
                .arg(edit ? "Ändra..." : "Lägg till...")
                .arg(button->isEnabled())
                .arg(selected));
        if (!button->isEnabled())
            return;

        ModelRow start;
        if (edit) {
            if (selected < 0) {
                // Nothing to edit: the dialog must not open.
                const int shownBefore = int(m_prompts.dialogsShown.size());
                button->click();
                expect(m_prompts.dialogsShown.size() == shownBefore,
                       QStringLiteral("\"Ändra...\" without a selected row opened a dialog"));
                expectNoMessage();
                return;
            }
            start = m_model.rows[std::size_t(selected)];
        }

        std::optional<ModelRow> stored;
        QList<Message> expected;
        bool opened = false;
        m_prompts.onSegmentDialog = [&](QDialog &dialog) {
            opened = true;
            const QStringList &names = segmentFieldNames();
            std::array<QLineEdit *, 9> fields{};
            for (int i = 0; i < 9; ++i)
                fields[std::size_t(i)] = named<QLineEdit>(dialog, names[i]);
            ModelRow typed = start;
            for (std::size_t i = 0; i < 9; ++i) {
                expect(
                    fields[i]->text() == start.field[i].text,
                    QStringLiteral("the dialog opens with %1 = %2, expected %3")
                        .arg(names[int(i)], shown(fields[i]->text()), shown(start.field[i].text)));
            }
            expect(dialog.windowTitle() == u"Lägg till tunnelsegment",
                   QStringLiteral("dialog title ") + dialog.windowTitle());
            const bool full = m_model.rows.size() >= kMaxRows;
            const int attempts = 1 + m_make.pick(3);
            for (int attempt = 0; attempt < attempts; ++attempt) {
                // The first filling of a new segment types all nine fields, later ones (and
                // editing) change some of them.
                const bool all = !edit && attempt == 0;
                const double junk = m_make.chance(0.3) ? 0.3 : 0.04;
                QStringList typedLog;
                for (std::size_t i = 0; i < 9; ++i) {
                    if (!all && !m_make.chance(0.3))
                        continue;
                    if (i == 0 && full) {
                        // The list is long enough: the number is one that is there already.
                        if (edit)
                            continue;
                        typed.field[0] =
                            m_model.rows[std::size_t(m_make.pick(int(m_model.rows.size())))]
                                .field[0];
                    } else {
                        typed.field[i] = m_make.segmentField(int(i), junk);
                    }
                    typeInto(fields[i], typed.field[i]);
                    typedLog.append(names[int(i)] + u'=' + shown(typed.field[i].text));
                }
                if (m_make.chance(0.1)) {
                    // Neither key is bound to a button: the dialog stays, nothing is checked.
                    const Qt::Key key = m_make.chance(0.5) ? Qt::Key_Return : Qt::Key_Escape;
                    bool finished = false;
                    const auto connection =
                        QObject::connect(&dialog, &QDialog::finished, [&] { finished = true; });
                    const qsizetype messages = m_prompts.messages.size();
                    QTest::keyClick(fields[std::size_t(m_make.pick(9))], key);
                    QObject::disconnect(connection);
                    expect(!finished && m_prompts.messages.size() == messages,
                           QStringLiteral("%1 in the segment dialog closed it or checked it")
                               .arg(key == Qt::Key_Return ? "Enter" : "Escape"));
                    typedLog.append(key == Qt::Key_Return ? QStringLiteral("<Enter>")
                                                          : QStringLiteral("<Escape>"));
                }
                if (m_make.chance(0.08)) {
                    log(QStringLiteral("  typed %1, closed the dialog").arg(typedLog.join(u' ')));
                    return; // the close box: rejected
                }
                const std::optional<QString> fault = dialogFault(typed);
                log(QStringLiteral("  typed %1, OK (expected: %2)")
                        .arg(typedLog.join(u' '),
                             fault ? shown(*fault) : QStringLiteral("stored")));
                if (fault)
                    expected.append(Message{*fault, kFault, MessageIcon::Exclamation});
                named<QAbstractButton>(dialog, "okButton")->click();
                if (dialog.result() == QDialog::Accepted) {
                    expect(!fault, QStringLiteral("the dialog accepted a segment although: ") +
                                       (fault ? *fault : QString()));
                    stored = typed;
                    return;
                }
                expect(fault.has_value(), QStringLiteral("the dialog refused a valid segment"));
                if (m_make.chance(0.4))
                    break;
            }
            log(QStringLiteral("  Avbryt"));
            named<QAbstractButton>(dialog, "cancelButton")->click();
        };
        button->click();
        m_prompts.onSegmentDialog = nullptr;
        expect(opened, QStringLiteral("the segment dialog did not open"));
        expectMessages(expected);
        if (stored) {
            // An edit that keeps the number text goes back into the row it came from.
            if (edit && stored->field[0].text == start.field[0].text)
                m_model.rows[std::size_t(selected)] = *stored;
            else
                putRow(m_model.rows, *stored);
            count(edit ? QStringLiteral("segment changed") : QStringLiteral("segment added"));
        } else {
            count(QStringLiteral("segment dialog without change"));
        }
    }

    void clickSegmentRow()
    {
        if (m_model.tab != 0)
            return switchTab();
        QTreeWidget *list = segments();
        const int n = list->topLevelItemCount();
        if (n == 0 || m_make.chance(0.1)) {
            // Below the rows (when there is room) or on an empty list.
            const QPoint point(m_make.pick(list->viewport()->width()),
                               list->viewport()->height() - 1 - m_make.pick(3));
            const bool onRow = list->itemAt(point) != nullptr;
            log(QStringLiteral("click the segment list at %1,%2 (on a row: %3)")
                    .arg(point.x())
                    .arg(point.y())
                    .arg(onRow));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, point);
            if (onRow) {
                m_model.andra = m_model.taBort = true;
            }
            expectNoMessage();
            return;
        }
        const int row = m_make.pick(n);
        QTreeWidgetItem *item = list->topLevelItem(row);
        list->scrollToItem(item);
        const QRect rect = list->visualItemRect(item);
        const QPoint point(std::clamp(rect.left() + m_make.pick(std::max(1, rect.width())), 0,
                                      list->viewport()->width() - 1),
                           rect.center().y());
        const bool ctrl = m_make.chance(0.05);
        const bool wasSelected = selectedIndex(list) == row;
        log(QStringLiteral("%1click segment row %2").arg(ctrl ? "Ctrl+" : "").arg(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton,
                          ctrl ? Qt::ControlModifier : Qt::KeyboardModifiers(), point);
        if (ctrl && wasSelected) {
            expect(selectedIndex(list) == -1, QStringLiteral("Ctrl+click kept the selection"));
        } else {
            expect(selectedIndex(list) == row, QStringLiteral("row %1 clicked, row %2 selected")
                                                   .arg(row)
                                                   .arg(selectedIndex(list)));
            m_model.andra = m_model.taBort = true;
        }
        count(QStringLiteral("click a segment row"));
        expectNoMessage();
    }

    void taBort()
    {
        if (m_model.tab != 0)
            return switchTab();
        auto *button = get<QAbstractButton>("removeButton");
        const int selected = selectedIndex(segments());
        log(QStringLiteral("Ta bort (enabled %1, selected row %2)")
                .arg(button->isEnabled())
                .arg(selected));
        if (!button->isEnabled())
            return;
        button->click();
        if (selected >= 0) {
            m_model.rows.erase(m_model.rows.begin() + selected);
            m_model.taBort = false;
            count(QStringLiteral("segment removed"));
        }
        expectNoMessage();
    }

    void rensa()
    {
        log(QStringLiteral("Rensa on tab %1").arg(m_model.tab));
        click("clearButton");
        if (m_model.tab == 0) {
            m_model.scenario.clear();
            m_model.rows.clear();
            m_model.sps = Typed{};
            m_model.share = Typed{};
            m_model.resultMenus = false;
            m_model.andra = m_model.taBort = false;
            m_model.resultTabEnabled = false;
            m_model.year = -1;
            count(QStringLiteral("Rensa input"));
        } else {
            m_model.resultRows.clear();
            m_model.start = m_model.stop = Typed{};
            m_model.resultMenus = false;
            m_model.mark.reset();
            count(QStringLiteral("Rensa results"));
        }
        expectNoMessage();
    }

    void switchTab()
    {
        const int to = 1 - m_model.tab;
        QTabBar *bar = tabs()->tabBar();
        log(QStringLiteral("click tab %1 (enabled %2)").arg(to).arg(m_model.resultTabEnabled));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(to).center());
        if (to == 0 || m_model.resultTabEnabled)
            m_model.tab = to;
        count(QStringLiteral("switch tab"));
        expectNoMessage();
    }

    // The run's checks in their order; the message of the first that fails, or nothing.
    struct RunExpectation
    {
        std::optional<Message> message;
        bool mayBeTooLarge = false; // some values are beyond any tunnel and may overflow
        float length = 0;
    };

    RunExpectation expectedRun() const
    {
        const auto fault = [](const QString &text) {
            return Message{text, kFault, MessageIcon::Exclamation};
        };
        RunExpectation e;
        if (m_model.year < 0) {
            e.message = fault(QStringLiteral("Välj beräkningsår!"));
            return e;
        }
        for (const ModelRow &row : m_model.rows) {
            if (!asInt16(row.field[2])) {
                e.message = fault(QStringLiteral("Lutningen i segment %1 kan inte beräknas "
                                                 "(högst ±32767 %): %2")
                                      .arg(row.field[0].text, row.field[2].text));
                return e;
            }
        }
        const auto sps = asSingle(m_model.sps);
        if (!sps || *sps < 0) {
            e.message = fault(QStringLiteral("Ogiltigt SPS-tal: ") + m_model.sps.text);
            return e;
        }
        const auto share = asSingle(m_model.share);
        if (!share || *share < 0 || *share > 1) {
            e.message =
                fault(QStringLiteral("Ogiltig andel dubbade personbilar: ") + m_model.share.text);
            return e;
        }
        // Rows from a file may hold what the dialog refuses: a negative length, speed or flow,
        // or a zero speed whose class has traffic (a speed is followed by its flow).
        static const std::array<QString, 9> names = {{{},
                                                      "Längd",
                                                      {},
                                                      "Pb, Medelhastighet",
                                                      "Pb, Flöde",
                                                      "Lb, Medelhastighet",
                                                      "Lb, Flöde",
                                                      "Lbs, Medelhastighet",
                                                      "Lbs, Flöde"}};
        for (std::size_t i = 0; i < m_model.rows.size(); ++i) {
            const ModelRow &row = m_model.rows[i];
            const QString where = QStringLiteral("Rad %1 i segmentlistan (segment %2): ")
                                      .arg(QString::number(i + 1), row.field[0].text);
            for (std::size_t f : {1, 3, 4, 5, 6, 7, 8}) {
                QString what;
                if (*asSingle(row.field[f]) < 0) {
                    what = names[f] + " är mindre än 0 (" + row.field[f].text + ").";
                } else if ((f == 3 || f == 5 || f == 7) && *asSingle(row.field[f]) == 0 &&
                           *asSingle(row.field[f + 1]) > 0) {
                    what = names[f] + " är 0 men " + names[f + 1] + " är " + row.field[f + 1].text +
                           "; hastigheten måste vara större än 0.";
                }
                if (!what.isEmpty()) {
                    e.message = fault(where + what + " Rätta raden med Ändra...");
                    return e;
                }
            }
        }
        float total = 0;
        e.mayBeTooLarge = *sps > 1e6f;
        for (const ModelRow &row : m_model.rows) {
            total += *asSingle(row.field[1]);
            for (std::size_t f = 1; f < 9; ++f) {
                if (std::fabs(*asSingle(row.field[f])) > 1e6f)
                    e.mayBeTooLarge = true;
            }
        }
        e.length = total;
        if (!(total > 0)) {
            e.message = fault(QStringLiteral("Tunnelns totala längd är %1 m. Summan av segmentens "
                                             "längder måste vara större än 0.")
                                  .arg(lv::text::formatGeneral(total)));
        }
        return e;
    }

    void berakna()
    {
        log(QStringLiteral("Beräkna on tab %1 with %2 segments")
                .arg(m_model.tab)
                .arg(m_model.rows.size()));
        if (m_model.tab != 0) {
            click("calculateButton");
            expectNoMessage();
            count(QStringLiteral("Beräkna on the result tab"));
            return;
        }
        m_model.copyEnabled = false;
        if (m_model.rows.empty()) {
            click("calculateButton");
            expectMessages({Message{QStringLiteral("Ange minst ett tunnelsegment"),
                                    QStringLiteral("Ange indata"), MessageIcon::Exclamation}});
            count(QStringLiteral("run without segments"));
            return;
        }
        const RunExpectation e = expectedRun();
        click("calculateButton");
        m_model.resultRows.clear();
        m_model.start = m_model.stop = Typed{};
        m_model.perKm = true;
        m_model.co2Colon = true;
        m_model.mark.reset();
        const QList<Message> got = stepMessages(true);
        log(QStringLiteral("  messages %1 (expected %2%3)")
                .arg(shown(m_prompts.messages),
                     e.message ? shown(*e.message) : QStringLiteral("none"),
                     e.mayBeTooLarge ? QStringLiteral(", may be too large") : QString()));
        if (e.message) {
            expectMessages({*e.message}, true);
            count(QStringLiteral("run refused"));
        } else if (got.isEmpty()) {
            m_model.resultTabEnabled = true;
            m_model.tab = 1;
            m_model.resultMenus = true;
            m_model.runLength = e.length;
            lv::calc::RunInput input;
            for (const ModelRow &row : m_model.rows)
                input.rows.push_back(row.segmentRow());
            input.yearText = get<QComboBox>("yearCombo")->currentText();
            input.spsText = m_model.sps.text;
            input.shareText = m_model.share.text;
            auto run = lv::calc::computeRun(input, m_window.appPath());
            if (!run)
                return fail(QStringLiteral("the core refuses the run: ") + run.error().message);
            m_model.run = std::make_shared<const lv::calc::RunState>(std::move(run).value());
            m_model.resultRows = {lv::results::totalRow(*m_model.run)};
            count(QStringLiteral("run succeeded"));
        } else if (e.mayBeTooLarge &&
                   got == QList<Message>{Message{kTooLarge, kFault, MessageIcon::Exclamation}}) {
            count(QStringLiteral("run too large"));
        } else {
            fail(QStringLiteral("run: messages %1, expected none").arg(shown(got)));
        }
    }

    // A coordinate for a sub-stretch: inside the tunnel mostly, at its ends, or anything.
    Typed coordinate(float length)
    {
        switch (m_make.pick(10)) {
        case 0:
            return m_make.render("0");
        case 1:
            return m_make.render(TextMaker::shortest(length));
        case 2:
            return m_make.any();
        case 3:
            return m_make.render(TextMaker::fixed(double(length) * m_make.uniform(1, 2) + 1, 1));
        default:
            return m_make.render(
                TextMaker::fixed(double(length) * m_make.uniform(0, 1), m_make.pick(3)));
        }
    }

    void subStretch()
    {
        if (m_model.tab != 1)
            return switchTab();
        auto *startField = get<QLineEdit>("startEdit");
        auto *stopField = get<QLineEdit>("stopEdit");
        if (!m_model.runLength)
            return fail(QStringLiteral("the result tab is open before a successful run"));
        const float length = *m_model.runLength;
        if (m_make.chance(0.85)) {
            Typed start = coordinate(length);
            Typed stop = coordinate(length);
            if (asSingle(start) && asSingle(stop) && *asSingle(stop) < *asSingle(start) &&
                m_make.chance(0.7)) {
                std::swap(start, stop);
            }
            typeInto(startField, start);
            typeInto(stopField, stop);
            m_model.start = start;
            m_model.stop = stop;
        }
        log(QStringLiteral("Lägg till %1 - %2 (T %3)")
                .arg(shown(m_model.start.text), shown(m_model.stop.text))
                .arg(double(length)));
        const bool full = m_model.resultRows.size() >= kMaxRows;
        if (full)
            return;
        click("addStretchButton");
        const auto fault = [](const QString &text) {
            return Message{text, kFault, MessageIcon::Exclamation};
        };
        const auto start = asSingle(m_model.start);
        const auto stop = asSingle(m_model.stop);
        if (!start) {
            expectMessages(
                {fault(QStringLiteral("Ogiltig startkoordinat: ") + m_model.start.text)});
        } else if (!stop) {
            expectMessages({fault(QStringLiteral("Ogiltig slutkoordinat: ") + m_model.stop.text)});
        } else if (!(*start >= 0 && *start < *stop && *stop >= 0 && *start <= length &&
                     *stop <= length)) {
            expectMessages(
                {fault(QStringLiteral("Start- och slutkoordinaterna måste upfylla: 0 <= start < "
                                      "slut <= ") +
                       lv::text::formatGeneral(length) + QStringLiteral(" (total tunnellängd)"))});
            count(QStringLiteral("sub-stretch refused"));
        } else {
            expectNoMessage();
            const QString label = lv::text::formatGeneral(*start) + QStringLiteral(" - ") +
                                  lv::text::formatGeneral(*stop);
            const auto row = lv::results::addSubStretch(*m_model.run, m_model.start.text,
                                                        m_model.stop.text, mode());
            if (!row)
                return fail(QStringLiteral("the core refuses the sub-stretch"));
            expect(row->label == label, QStringLiteral("the core labels the stretch ") +
                                            shown(row->label) + " for " + shown(label));
            m_model.resultRows.push_back(*row);
            m_model.start = m_model.stop = Typed{};
            count(QStringLiteral("sub-stretch added"));
        }
    }

    lv::results::Mode mode() const
    {
        return m_model.perKm ? lv::results::Mode::PerKm : lv::results::Mode::Totals;
    }

    void switchMode()
    {
        if (m_model.tab != 1)
            return switchTab();
        const bool perKm = m_make.chance(0.5);
        log(QStringLiteral("choose %1").arg(perKm ? "Effekter/km" : "Totala effekter"));
        QTest::mouseClick(get<QRadioButton>(perKm ? "perKmButton" : "totalsButton"),
                          Qt::LeftButton);
        m_model.perKm = perKm;
        m_model.co2Colon = true;
        if (m_model.run)
            lv::results::recomputeRows(*m_model.run, m_model.resultRows, mode());
        count(QStringLiteral("switch mode"));
        expectNoMessage();
    }

    void pressResult()
    {
        if (m_model.tab != 1)
            return switchTab();
        QTreeWidget *list = results();
        QWidget *viewport = list->viewport();
        QPoint point(m_make.pick(viewport->width()), m_make.pick(viewport->height()));
        const int n = list->topLevelItemCount();
        if (n > 0 && m_make.chance(0.8)) {
            QTreeWidgetItem *item = list->topLevelItem(m_make.pick(n));
            list->scrollToItem(item);
            const QRect rect = list->visualItemRect(item);
            point.setY(rect.top() + m_make.pick(std::max(1, rect.height())));
        }
        const QModelIndex index = list->indexAt(point);
        const Qt::MouseButton button = std::array{Qt::LeftButton, Qt::LeftButton, Qt::RightButton,
                                                  Qt::MiddleButton}[std::size_t(m_make.pick(4))];
        const bool twice = m_make.chance(0.05);
        log(QStringLiteral("%1 button %2 on the result list at %3,%4 (row %5, column %6)")
                .arg(twice ? "double-click" : "press")
                .arg(int(button))
                .arg(point.x())
                .arg(point.y())
                .arg(index.row())
                .arg(index.column()));
        if (twice)
            QTest::mouseDClick(viewport, button, {}, point);
        else
            QTest::mouseClick(viewport, button, {}, point);
        m_model.mark.reset();
        if (index.isValid() && index.column() >= 1) {
            m_model.mark = std::pair{index.row(), index.column()};
            m_model.copyEnabled = true;
        }
        count(QStringLiteral("press on the result list"));
        expectNoMessage();
    }

    void copyValue()
    {
        if (m_model.tab != 1)
            return switchTab();
        log(QStringLiteral("Kopiera värde (enabled %1, marked %2)")
                .arg(m_model.copyEnabled)
                .arg(
                    m_model.mark
                        ? QStringLiteral("%1,%2").arg(m_model.mark->first).arg(m_model.mark->second)
                        : QStringLiteral("none")));
        QString text;
        if (m_model.mark)
            text = results()->topLevelItem(m_model.mark->first)->text(m_model.mark->second);
        const QString sentinel = QStringLiteral("clipboard before step %1").arg(m_step);
        QGuiApplication::clipboard()->setText(sentinel);
        click("copyValueButton");
        if (m_model.copyEnabled && m_model.mark) {
            expect(QGuiApplication::clipboard()->text() == text,
                   QStringLiteral("clipboard %1, expected %2")
                       .arg(shown(QGuiApplication::clipboard()->text()), shown(text)));
            m_model.mark.reset();
            m_model.copyEnabled = false;
            count(QStringLiteral("value copied"));
        } else {
            expect(
                QGuiApplication::clipboard()->text() == sentinel,
                QStringLiteral("\"Kopiera värde\" without a marked value changed the clipboard"));
        }
        expectNoMessage();
    }

    void removeResultRow()
    {
        if (m_model.tab != 1)
            return switchTab();
        auto *button = get<QAbstractButton>("removeRowButton");
        const int selected = selectedIndex(results());
        log(QStringLiteral("Ta bort markerat (enabled %1, selected row %2)")
                .arg(button->isEnabled())
                .arg(selected));
        const bool enabled = button->isEnabled();
        button->click();
        if (enabled && selected >= 0) {
            m_model.resultRows.erase(m_model.resultRows.begin() + selected);
            if (m_model.mark && m_model.mark->first == selected)
                m_model.mark.reset();
            else if (m_model.mark && m_model.mark->first > selected)
                --m_model.mark->first;
            expect(!button->isEnabled(), QStringLiteral("\"Ta bort markerat\" stays enabled"));
            count(QStringLiteral("result row removed"));
        }
        expectNoMessage();
    }

    // ----------------------------------------------------------------------------- files

    QString newPath(const QString &suffix)
    {
        return m_dir.filePath(QStringLiteral("f%1%2").arg(m_fileNo++).arg(suffix));
    }

    // A random input document, as texts in this locale (or now and then the other one).
    lv::files::InputDocument randomDocument(bool otherLocale)
    {
        lv::files::InputDocument document;
        static const QStringList scenarios = {
            QString(), QStringLiteral("Tunnel A"), QStringLiteral("Tab\tinside"),
            QStringLiteral("Ærø € ‰ \x01"), QStringLiteral("  blanks  ")};
        document.scenario = scenarios[m_make.pick(int(scenarios.size()))];
        static const QStringList years = {QString(), QStringLiteral("2005"), QStringLiteral("2010"),
                                          QStringLiteral("2020"), QStringLiteral("2015")};
        document.year = years[m_make.chance(0.05) ? 4 : m_make.pick(4)];
        const int n = m_make.chance(0.1) ? 0 : 1 + m_make.pick(40);
        // Now and then a file with values the dialog would refuse, or beyond any tunnel.
        const bool odd = m_make.chance(0.2);
        const auto text = [&](const Typed &t) {
            QString s = t.text;
            if (otherLocale)
                s.replace(m_make.decimal(), m_decimalOther);
            return s;
        };
        for (int i = 0; i < n; ++i) {
            lv::input::SegmentRow row;
            // Out of order, repeated and odd values: the file is taken as it is.
            row.number = QString::number(m_make.chance(0.8) ? i + 1 : m_make.pick(50) - 10);
            for (int c = 0; c < 8; ++c) {
                Typed t = m_make.segmentField(c + 1, 0);
                if (odd && m_make.chance(0.03))
                    t = m_make.render(m_make.chance(0.5) ? "-5" : "0");
                if (odd && m_make.chance(0.01))
                    t = m_make.render("3e+38");
                row.cells[std::size_t(c)] = text(t);
            }
            document.rows.push_back(row);
        }
        document.sps = m_make.chance(0.1) ? QString() : text(m_make.plain(0, 20, 2));
        document.studdedShare = m_make.chance(0.1) ? QString() : text(m_make.plain(0, 1, 2));
        return document;
    }

    QByteArray randomFileBytes(QString &kind)
    {
        const QByteArray valid =
            *lv::files::writeInputFile(randomDocument(false), QDateTime::currentDateTime());
        switch (m_make.pick(8)) {
        case 0:
            kind = QStringLiteral("valid, other locale");
            return *lv::files::writeInputFile(randomDocument(true), QDateTime::currentDateTime());
        case 1:
            kind = QStringLiteral("truncated");
            return valid.left(m_make.pick(int(valid.size()) + 1));
        case 2: {
            kind = QStringLiteral("bytes changed");
            QByteArray bytes = valid;
            for (int i = 0, n = 1 + m_make.pick(4); i < n && !bytes.isEmpty(); ++i)
                bytes[m_make.pick(int(bytes.size()))] = char(m_make.pick(256));
            return bytes;
        }
        case 3: {
            kind = QStringLiteral("wrong first line");
            static const std::vector<QByteArray> headings = {
                "Emissionsber\xe4kning tunnlar: Indata ",
                "Emissionsber\xe4kning tunnlar: indata",
                "Emissionsberäkning tunnlar: Indata", // UTF-8
                "",
                "Emissionsber\xe4kning tunnlar",
                "\xef\xbb\xbf"
                "Emissionsber\xe4kning tunnlar: "
                "Indata"};
            const qsizetype end = valid.indexOf("\r\n");
            return headings[std::size_t(m_make.pick(int(headings.size())))] + valid.mid(end);
        }
        case 4: {
            kind = QStringLiteral("random bytes");
            QByteArray bytes;
            for (int i = 0, n = m_make.pick(3000); i < n; ++i)
                bytes.append(char(m_make.pick(256)));
            return bytes;
        }
        case 5: {
            kind = QStringLiteral("lines removed or doubled");
            QList<QByteArray> lines = valid.split('\n');
            const int at = m_make.pick(int(lines.size()));
            if (m_make.chance(0.5))
                lines.removeAt(at);
            else
                lines.insert(at, lines[at]);
            return lines.join('\n');
        }
        case 6: {
            kind = QStringLiteral("count changed");
            QList<QByteArray> lines = valid.split('\n');
            static const std::vector<QByteArray> counts = {
                " 99999 \r", " -1 \r", " 2,5 \r", " 2.5 \r", "x\r", " 40 \r", "\r", " 0 \r"};
            if (lines.size() > 5)
                lines[5] = counts[std::size_t(m_make.pick(int(counts.size())))];
            return lines.join('\n');
        }
        default:
            kind = QStringLiteral("LF only");
            return QByteArray(valid).replace("\r\n", "\n");
        }
    }

    void openFile()
    {
        QString answer;
        QString kind;
        const int r = m_make.pick(100);
        if (r < 35) {
            kind = QStringLiteral("valid");
            answer = newPath(QStringLiteral(".dat"));
            QFile file(answer);
            const bool written = file.open(QIODevice::WriteOnly) &&
                                 file.write(*lv::files::writeInputFile(
                                     randomDocument(false), QDateTime::currentDateTime())) >= 0;
            expect(written, QStringLiteral("cannot write ") + answer);
        } else if (r < 45 && !m_saved.isEmpty()) {
            kind = QStringLiteral("saved before");
            answer = m_saved[m_make.pick(int(m_saved.size()))];
        } else if (r < 75) {
            answer = newPath(QStringLiteral(".dat"));
            QFile file(answer);
            const QByteArray bytes = randomFileBytes(kind);
            expect(file.open(QIODevice::WriteOnly) && file.write(bytes) >= 0,
                   QStringLiteral("cannot write ") + answer);
        } else if (r < 82) {
            kind = QStringLiteral("missing");
            answer = m_dir.filePath(QStringLiteral("missing/none.dat"));
        } else if (r < 85) {
            kind = QStringLiteral("a directory");
            answer = m_dir.path();
        } else {
            kind = QStringLiteral("cancelled");
        }
        log(QStringLiteral("Öppna indata: %1 %2").arg(kind, QFileInfo(answer).fileName()));

        m_prompts.openAnswer = answer;
        const qsizetype dialogs = m_prompts.fileDialogs.size();
        get<QAction>("openAction")->trigger();
        expect(m_prompts.fileDialogs.size() == dialogs + 1 &&
                   m_prompts.fileDialogs.last() ==
                       u"Öppna indata|Indata, emissionsberäkning (*.dat)",
               QStringLiteral("open dialog: ") + m_prompts.fileDialogs.join(u';'));

        QFile file(answer.isEmpty() ? m_dir.filePath(QStringLiteral("none")) : answer);
        if (answer.isEmpty() || QFileInfo(answer).isDir() || !file.open(QIODevice::ReadOnly)) {
            expectNoMessage();
            count(QStringLiteral("open: nothing read"));
            return;
        }
        const lv::Expected<lv::files::InputDocument> document =
            lv::files::readInputFile(file.readAll());
        if (!document) {
            expectMessages({Message{document.error().message, QStringLiteral("Indata fel"),
                                    MessageIcon::Exclamation}});
            count(QStringLiteral("open: refused"));
            return;
        }
        expectNoMessage();
        m_model.rows.clear();
        for (const lv::input::SegmentRow &row : document->rows) {
            ModelRow m;
            m.field[0] = writtenNumber(row.number, m_make.decimal());
            for (std::size_t c = 0; c < 8; ++c)
                m.field[c + 1] = writtenNumber(row.cells[c], m_make.decimal());
            m_model.rows.push_back(m);
        }
        m_model.scenario = document->scenario;
        static const QStringList years = {"2005", "2010", "2020"};
        m_model.year = int(years.indexOf(document->year));
        m_model.sps = writtenNumber(document->sps, m_make.decimal());
        m_model.share = writtenNumber(document->studdedShare, m_make.decimal());
        count(QStringLiteral("open: read"));
    }

    // Where a save goes: a new or an existing file, a folder that is not there, or cancelled.
    QString saveAnswer(const QString &suffix, QString &kind)
    {
        const int r = m_make.pick(100);
        if (r < 40) {
            kind = QStringLiteral("new file");
            return newPath(suffix);
        }
        if (r < 55 && m_fileNo > 0) {
            kind = QStringLiteral("over a file");
            return m_dir.filePath(QStringLiteral("f%1%2").arg(m_make.pick(m_fileNo)).arg(suffix));
        }
        if (r < 65) {
            kind = QStringLiteral("missing folder");
            return m_dir.filePath(QStringLiteral("missing/x") + suffix);
        }
        kind = QStringLiteral("cancelled");
        return QString();
    }

    static QByteArray bytesOf(const QString &path)
    {
        if (path.isEmpty())
            return QByteArray();
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void saveInput()
    {
        QString kind;
        const QString path = saveAnswer(QStringLiteral(".dat"), kind);
        log(QStringLiteral("Spara indata: %1 %2").arg(kind, QFileInfo(path).fileName()));
        const QByteArray before = bytesOf(path);
        const bool existed = QFileInfo::exists(path);
        m_prompts.saveAnswer = path;
        get<QAction>("saveInputAction")->trigger();
        expect(m_prompts.fileDialogs.last() == u"Spara indata|Indata, emissionsberäkning (*.dat)",
               QStringLiteral("save dialog: ") + m_prompts.fileDialogs.last());
        if (path.isEmpty()) {
            expectNoMessage();
            return;
        }
        bool fits = fitsFile(m_model.scenario, true) &&
                    fitsFile(get<QComboBox>("yearCombo")->currentText(), false) &&
                    fitsFile(m_model.sps.text, false) && fitsFile(m_model.share.text, false);
        for (const ModelRow &row : m_model.rows) {
            for (const Typed &t : row.field)
                fits = fits && fitsFile(t.text, false);
        }
        const QList<Message> got = stepMessages();
        const QString name = QFileInfo(path).fileName();
        if (!fits || kind == u"missing folder") {
            const QString start = fits ? QStringLiteral("Filen %1 sparades inte: ").arg(name)
                                       : QStringLiteral("Filen %1 sparades inte. ").arg(name);
            expect(got.size() == 1 && got[0].text.startsWith(start) &&
                       got[0].title == u"Spara indata",
                   QStringLiteral("save input: messages %1, expected one beginning %2")
                       .arg(shown(got), shown(start)));
            expect(bytesOf(path) == before && QFileInfo::exists(path) == existed,
                   QStringLiteral("a refused save changed ") + name);
            count(QStringLiteral("save input refused"));
            return;
        }
        expectNoMessage();
        // The file holds the fields exactly as the window shows them.
        const QStringList lines = lv::text::splitLines(lv::text::decode1252(bytesOf(path)));
        const qsizetype n = qsizetype(m_model.rows.size());
        bool same = lines.size() == 11 + n && lines[0] == lv::files::kInputFileHeading &&
                    lines[3] == m_model.scenario &&
                    lines[4] == get<QComboBox>("yearCombo")->currentText() &&
                    lines[5] == QStringLiteral(" %1 ").arg(n) &&
                    lines[10 + n] == m_model.sps.text + u'\t' + m_model.share.text;
        for (qsizetype i = 0; same && i < n; ++i) {
            QStringList fields;
            for (const Typed &t : m_model.rows[std::size_t(i)].field)
                fields.append(t.text);
            same = lines[8 + i] == fields.join(u'\t');
        }
        expect(same, QStringLiteral("the saved input file does not hold the window's input: ") +
                         shown(lines.join(QStringLiteral(" | "))));
        m_saved.append(path);
        count(QStringLiteral("save input"));
    }

    void saveResults()
    {
        auto *action = get<QAction>("saveResultsAction");
        QString kind;
        const QString path = saveAnswer(QStringLiteral(".eff"), kind);
        log(QStringLiteral("Spara resultat (enabled %1): %2 %3")
                .arg(action->isEnabled())
                .arg(kind, QFileInfo(path).fileName()));
        const qsizetype dialogs = m_prompts.fileDialogs.size();
        m_prompts.saveAnswer = path;
        action->trigger();
        if (!m_model.resultMenus) {
            expect(m_prompts.fileDialogs.size() == dialogs,
                   QStringLiteral("\"Spara resultat...\" asked for a file while disabled"));
            expectNoMessage();
            return;
        }
        expect(m_prompts.fileDialogs.size() == dialogs + 1 &&
                   m_prompts.fileDialogs.last() == u"Spara resultat|Emissions effekter (*.eff)",
               QStringLiteral("result save dialog: ") + m_prompts.fileDialogs.join(u';'));
        if (path.isEmpty()) {
            expectNoMessage();
            return;
        }
        const QList<Message> got = stepMessages();
        if (!fitsFile(m_model.scenario, true) || kind == u"missing folder") {
            expect(
                got.size() == 1 && got[0].title == u"Spara resultat" &&
                    got[0].text.startsWith(
                        QStringLiteral("Filen %1 sparades inte").arg(QFileInfo(path).fileName())),
                QStringLiteral("save results: messages ") + shown(got));
            count(QStringLiteral("save results refused"));
            return;
        }
        expectNoMessage();
        const QStringList lines = lv::text::splitLines(lv::text::decode1252(bytesOf(path)));
        expect(!lines.isEmpty() && lines[0] == u"Emissionsberäkning tunnlar" &&
                   lines.size() >= 7 + qsizetype(m_model.resultRows.size()),
               QStringLiteral("the result file: ") + shown(lines.join(QStringLiteral(" | "))));
        count(QStringLiteral("save results"));
    }

    void print()
    {
        auto *action = get<QAction>("printAction");
        const int r = m_make.pick(10);
        m_prompts.printerAnswer = r >= 4;
        m_prompts.printerFile = r >= 8 ? m_dir.filePath(QStringLiteral("missing/r.pdf"))
                                       : newPath(QStringLiteral(".pdf"));
        log(QStringLiteral("Skriv ut resultat (enabled %1): %2")
                .arg(action->isEnabled())
                .arg(m_prompts.printerAnswer ? QFileInfo(m_prompts.printerFile).filePath()
                                             : QStringLiteral("cancelled")));
        const int dialogs = m_prompts.printerDialogs;
        action->trigger();
        if (!m_model.resultMenus) {
            expect(m_prompts.printerDialogs == dialogs,
                   QStringLiteral("\"Skriv ut resultat...\" asked for a printer while disabled"));
            expectNoMessage();
            return;
        }
        expect(m_prompts.printerDialogs == dialogs + 1, QStringLiteral("no printer dialog"));
        if (!m_prompts.printerAnswer) {
            expectNoMessage();
            return;
        }
        if (r >= 8) {
            const QList<Message> got = stepMessages();
            expect(got.size() == 1 && got[0].title == u"Skriv ut resultat" &&
                       got[0].text.startsWith(u"Rapporten skrevs inte ut: "),
                   QStringLiteral("print: messages ") + shown(got));
            count(QStringLiteral("print refused"));
            return;
        }
        expectNoMessage();
        expect(bytesOf(m_prompts.printerFile).startsWith("%PDF"),
               QStringLiteral("no PDF written to ") + m_prompts.printerFile);
        count(QStringLiteral("print"));
    }

    void about()
    {
        log(QStringLiteral("Om..."));
        const qsizetype shownBefore = m_prompts.dialogsShown.size();
        get<QAction>("aboutAction")->trigger();
        expect(m_prompts.dialogsShown.size() == shownBefore + 1 &&
                   m_prompts.dialogsShown.last() == u"AboutDialog",
               QStringLiteral("the about box did not open"));
        count(QStringLiteral("about box"));
        expectNoMessage();
    }

    // ------------------------------------------------------------------- the invariants

    void checkState()
    {
        const auto where = [](const QString &what, const QString &got, const QString &expected) {
            return QStringLiteral("%1 is %2, expected %3").arg(what, got, expected);
        };
        expect(QApplication::activeModalWidget() == nullptr,
               QStringLiteral("a modal window stays open"));
        expect(QApplication::topLevelWidgets().size() == m_topLevels,
               QStringLiteral("%1 top-level windows, there were %2")
                   .arg(QApplication::topLevelWidgets().size())
                   .arg(m_topLevels));
        expect(statusText(m_window) == u"Klar",
               where("the status bar", statusText(m_window), "Klar"));

        // The segment list, row by row.
        QTreeWidget *list = segments();
        if (list->topLevelItemCount() != int(m_model.rows.size())) {
            fail(QStringLiteral("the segment list has %1 rows, expected %2")
                     .arg(list->topLevelItemCount())
                     .arg(m_model.rows.size()));
        } else {
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                const QStringList row = rowTexts(*list, i);
                QStringList expected;
                for (const Typed &t : m_model.rows[std::size_t(i)].field)
                    expected.append(t.text);
                if (row != expected) {
                    fail(QStringLiteral("segment row %1 is %2, expected %3")
                             .arg(i)
                             .arg(shown(row.join(u'|')), shown(expected.join(u'|'))));
                    break;
                }
            }
        }

        // The input fields and the year.
        const auto field = [this](const char *name) { return get<QLineEdit>(name)->text(); };
        expect(field("scenarioEdit") == m_model.scenario,
               where("scenarioEdit", shown(field("scenarioEdit")), shown(m_model.scenario)));
        expect(field("spsEdit") == m_model.sps.text,
               where("spsEdit", shown(field("spsEdit")), shown(m_model.sps.text)));
        expect(
            field("studdedShareEdit") == m_model.share.text,
            where("studdedShareEdit", shown(field("studdedShareEdit")), shown(m_model.share.text)));
        const int year = get<QComboBox>("yearCombo")->currentIndex();
        expect(year == m_model.year,
               where("the year index", QString::number(year), QString::number(m_model.year)));
        expect(get<QComboBox>("yearCombo")->count() == 3, QStringLiteral("the year list changed"));

        // Tabs, menus and buttons.
        expect(tabs()->currentIndex() == m_model.tab,
               where("the tab", QString::number(tabs()->currentIndex()),
                     QString::number(m_model.tab)));
        expect(tabs()->isTabEnabled(1) == m_model.resultTabEnabled,
               where("the result tab enabled", QString::number(tabs()->isTabEnabled(1)),
                     QString::number(m_model.resultTabEnabled)));
        for (const char *item : {"saveResultsAction", "printAction"}) {
            expect(get<QAction>(item)->isEnabled() == m_model.resultMenus,
                   where(QString::fromLatin1(item) + " enabled",
                         QString::number(get<QAction>(item)->isEnabled()),
                         QString::number(m_model.resultMenus)));
        }
        expect(get<QAction>("openAction")->isEnabled() &&
                   get<QAction>("saveInputAction")->isEnabled(),
               QStringLiteral("an input file command is disabled"));
        expect(get<QAbstractButton>("editButton")->isEnabled() == m_model.andra,
               where("m_editButton enabled",
                     QString::number(get<QAbstractButton>("editButton")->isEnabled()),
                     QString::number(m_model.andra)));
        expect(get<QAbstractButton>("removeButton")->isEnabled() == m_model.taBort,
               where("m_removeButton enabled",
                     QString::number(get<QAbstractButton>("removeButton")->isEnabled()),
                     QString::number(m_model.taBort)));
        expect(get<QAbstractButton>("addButton")->isEnabled(),
               QStringLiteral("\"Lägg till...\" is disabled"));

        // The result list: labels, the one red value, the switch and its headers.
        QTreeWidget *res = results();
        if (res->topLevelItemCount() != int(m_model.resultRows.size())) {
            fail(QStringLiteral("the result list has %1 rows, expected %2")
                     .arg(res->topLevelItemCount())
                     .arg(m_model.resultRows.size()));
        } else {
            for (int i = 0; i < res->topLevelItemCount(); ++i) {
                const lv::results::ResultRow &row = m_model.resultRows[std::size_t(i)];
                QStringList expected = {row.label};
                for (const QString &value : row.values)
                    expected.append(value);
                const QStringList shownRow = rowTexts(*res, i);
                if (shownRow != expected) {
                    fail(where(QStringLiteral("result row %1").arg(i), shown(shownRow.join(u'|')),
                               shown(expected.join(u'|'))));
                    break;
                }
            }
        }
        std::vector<std::pair<int, int>> red;
        for (int i = 0; i < res->topLevelItemCount(); ++i) {
            for (int c = 0; c < res->columnCount(); ++c) {
                const QVariant colour = res->topLevelItem(i)->data(c, Qt::ForegroundRole);
                if (colour.isValid() && colour.value<QBrush>().color() == QColor(Qt::red))
                    red.emplace_back(i, c);
            }
        }
        const auto cells = [](const std::vector<std::pair<int, int>> &list) {
            QStringList out;
            for (const auto &[r, c] : list)
                out.append(QStringLiteral("%1,%2").arg(r).arg(c));
            return out.join(u' ');
        };
        std::vector<std::pair<int, int>> expectedRed;
        if (m_model.mark)
            expectedRed.push_back(*m_model.mark);
        expect(red == expectedRed, where("the red values", cells(red), cells(expectedRed)));
        // Enabled in the tab, which is itself disabled before the first run.
        const auto enabledInTab = [&](const char *name) {
            return get<QWidget>(name)->isEnabledTo(res->parentWidget());
        };
        expect(enabledInTab("copyValueButton") == m_model.copyEnabled,
               where("m_copyValueButton enabled", QString::number(enabledInTab("copyValueButton")),
                     QString::number(m_model.copyEnabled)));
        if (selectedIndex(res) >= 0) {
            expect(enabledInTab("removeRowButton"),
                   QStringLiteral("a result row is selected and \"Ta bort markerat\" is disabled"));
        }
        expect(get<QRadioButton>("perKmButton")->isChecked() == m_model.perKm &&
                   get<QRadioButton>("totalsButton")->isChecked() == !m_model.perKm,
               QStringLiteral("the normalisation switch does not show %1")
                   .arg(m_model.perKm ? "Effekter/km" : "Totala effekter"));
        const QStringList headers = headerTexts(*res);
        const QString fuel =
            m_model.perKm ? QStringLiteral("Bränsle: [l/km]") : QStringLiteral("Bränsle: [l]");
        const QString co2 = !m_model.perKm     ? QStringLiteral("CO2: [kg]")
                            : m_model.co2Colon ? QStringLiteral("CO2: [kg/km]")
                                               : QStringLiteral("CO2 [kg/km]");
        expect(headers.size() == 12 && headers[1] == fuel && headers[11] == co2,
               where("the result headers", shown(headers.join(u'|')), fuel + " ... " + co2));
        expect(field("startEdit") == m_model.start.text && field("stopEdit") == m_model.stop.text,
               where("the sub-stretch fields",
                     shown(field("startEdit")) + " - " + shown(field("stopEdit")),
                     shown(m_model.start.text) + " - " + shown(m_model.stop.text)));
    }

    std::mt19937_64 m_rng;
    TextMaker m_make;
    QChar m_decimalOther = m_make.decimal() == u',' ? u'.' : u',';
    SessionPrompts m_prompts;
    lv::gui::MainWindow m_window;
    Model m_model;
    QTemporaryDir m_dir;
    int m_fileNo = 0;
    QStringList m_saved;
    qsizetype m_topLevels = 0;
    int m_step = 0;
    bool m_trace = false;
    QString m_failure;
    QStringList m_log;
    std::map<QString, int> m_counts;
};

quint64 sessionSeed()
{
    bool ok = false;
    const quint64 seed = qEnvironmentVariable("LUFTVAKA_SESSION_SEED").toULongLong(&ok);
    if (ok)
        return seed;
    return QRandomGenerator::system()->generate() % 1000000000;
}

int sessionSteps()
{
    const int steps = qEnvironmentVariableIntValue("LUFTVAKA_SESSION_STEPS");
    return steps > 0 ? steps : 1500;
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        // A long session outlasts the test library's five minutes per test function.
        if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT")) {
            const qint64 ms = 300000 + qint64(sessionSteps()) * 20;
            qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(ms));
        }
    }
    void session();
};

void TestSession::session()
{
    const quint64 seed = sessionSeed();
    const int steps = sessionSteps();
    QString localeName = qEnvironmentVariable("LUFTVAKA_SESSION_LOCALE");
    if (localeName.isEmpty())
        localeName = seed % 2 == 0 ? QStringLiteral("sv_SE") : QStringLiteral("en_US");
    QString appPath = qEnvironmentVariable("LUFTVAKA_SESSION_WORKBOOKS");
    if (appPath.isEmpty()) {
        appPath = seed / 2 % 2 == 0 ? QStringLiteral(LUFTVAKA_BIN_DIR)
                                    : QStringLiteral(LUFTVAKA_TEST_DATA "/calc");
    }
    QLocale::setDefault(QLocale(localeName));
    const QString replay =
        QStringLiteral("LUFTVAKA_SESSION_SEED=%1 LUFTVAKA_SESSION_STEPS=%2").arg(seed).arg(steps);
    qInfo().noquote() << replay << "locale" << localeName << "workbooks" << appPath;

    const QChar decimal = QLocale().decimalPoint().at(0);
    Session session(seed, appPath, decimal, decimal == u',' ? u'.' : u',');
    for (int i = 0; i < steps && session.failure().isEmpty(); ++i)
        session.step(i);
    if (!session.failure().isEmpty()) {
        for (const QString &line : session.recentSteps())
            qInfo().noquote() << line;
        QFAIL(qPrintable(
            session.failure() +
            QStringLiteral("\nreplay: LUFTVAKA_SESSION_SEED=%1 LUFTVAKA_SESSION_STEPS=%2")
                .arg(seed)
                .arg(session.stepNumber() + 1)));
    }
    QStringList counts;
    for (const auto &[what, n] : session.counts())
        counts.append(QStringLiteral("%1 %2").arg(what).arg(n));
    qInfo().noquote() << steps << "steps:" << counts.join(QStringLiteral(", "));
}

QTEST_MAIN(TestSession)
#include "tst_session.moc"
