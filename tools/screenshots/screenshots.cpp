// Grabs the README's pictures of the main window: the example tunnel on the input tab, the
// result tab after a calculation run, and the tab along the tunnel. Run by tools/screenshots.sh
// under Xvfb.
//
// usage: luftvaka-screenshots EXAMPLE.dat OUTPUT_DIR

#include "core/files/inputfile.h"
#include "core/text/textfile.h"
#include "gui/app/appicon.h"
#include "gui/app/mainwindow.h"
#include "gui/prompts/prompts.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLocale>
#include <QTabWidget>
#include <QTextStream>

#include <deque>
#include <utility>

namespace {

// Types the queued segments into the segment dialog; any message is a failure.
class ScriptedPrompts final : public lv::gui::Prompts
{
public:
    std::deque<lv::input::SegmentRow> rows;
    QStringList messages;

    void message(const QString &text, const QString &title, lv::MessageIcon) override
    {
        messages.append(title + QStringLiteral(": ") + text);
    }
    QString openFileName(QWidget *, const QString &, const QString &) override { return {}; }
    QString savePath; // the answer of the next save dialog
    QString saveFileName(QWidget *, const QString &, const QString &) override
    {
        return std::exchange(savePath, QString());
    }
    bool choosePrinter(QWidget *, QPrinter &) override { return false; }
    int runDialog(QDialog &dialog) override
    {
        if (rows.empty())
            return QDialog::Rejected;
        const lv::input::SegmentRow row = rows.front();
        rows.pop_front();
        const QStringList names = {"lengthEdit",  "slopeEdit",  "pbSpeedEdit",  "pbFlowEdit",
                                   "lbSpeedEdit", "lbFlowEdit", "lbsSpeedEdit", "lbsFlowEdit"};
        dialog.findChild<QLineEdit *>(QStringLiteral("numberEdit"))->setText(row.number);
        for (int i = 0; i < names.size(); ++i)
            dialog.findChild<QLineEdit *>(names[i])->setText(row.cells[std::size_t(i)]);
        dialog.findChild<QAbstractButton *>(QStringLiteral("okButton"))->click();
        return dialog.result();
    }
};

void settle()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

template <class T>
T *child(QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s in the window", name);
    return found;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(lv::gui::appIcon());
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: luftvaka-screenshots EXAMPLE.dat OUTPUT_DIR\n";
        return 2;
    }
    // The example is written with a decimal comma.
    QLocale::setDefault(QLocale(QStringLiteral("sv_SE")));

    const auto bytes = lv::text::readWholeFile(QString::fromLocal8Bit(argv[1]));
    if (!bytes) {
        err << bytes.error().message << '\n';
        return 1;
    }
    const auto document = lv::files::readInputFile(*bytes);
    if (!document) {
        err << document.error().message << '\n';
        return 1;
    }

    // Taken before the window makes the program's directory the current one.
    const QDir out(QDir(QString::fromLocal8Bit(argv[2])).absolutePath());
    ScriptedPrompts prompts;
    lv::gui::MainWindow window(prompts);
    window.resize(1000, 560);
    window.show();
    child<QLineEdit>(window, "scenarioEdit")->setText(document->scenario);
    auto *years = child<QComboBox>(window, "yearCombo");
    years->setCurrentIndex(years->findText(document->year));
    prompts.rows.assign(document->rows.begin(), document->rows.end());
    while (!prompts.rows.empty())
        child<QAbstractButton>(window, "addButton")->click();
    child<QLineEdit>(window, "spsEdit")->setText(document->sps);
    child<QLineEdit>(window, "studdedShareEdit")->setText(document->studdedShare);
    settle();

    const auto save = [&](const QString &name) {
        const bool saved = window.grab().save(out.filePath(name));
        if (!saved)
            err << "could not write " << out.filePath(name) << '\n';
        return saved;
    };
    if (!save(QStringLiteral("screenshot-indata.png")))
        return 1;

    child<QAbstractButton>(window, "calculateButton")->click();
    if (!prompts.messages.isEmpty() || child<QTabWidget>(window, "tabs")->currentIndex() != 1) {
        err << "the calculation run failed: " << prompts.messages.join(QStringLiteral("; "))
            << '\n';
        return 1;
    }
    settle();
    if (!save(QStringLiteral("screenshot-resultat.png")))
        return 1;

    // The tab along the tunnel: NOx over the chainage, with the uphill stretch added to the
    // result list shaded.
    child<QLineEdit>(window, "startEdit")->setText(QStringLiteral("1350"));
    child<QLineEdit>(window, "stopEdit")->setText(QStringLiteral("1800"));
    child<QAbstractButton>(window, "addStretchButton")->click();
    child<QTabWidget>(window, "tabs")->setCurrentIndex(2);
    child<QComboBox>(window, "quantityCombo")->setCurrentIndex(1);
    settle();
    if (!save(QStringLiteral("screenshot-langs-tunneln.png")))
        return 1;

    // The printed report as "Spara som PDF..." writes it; tools/screenshots.sh makes its first
    // page a picture.
    prompts.savePath = out.filePath(QStringLiteral("utskrift.pdf"));
    child<QAction>(window, "savePdfAction")->trigger();
    return prompts.messages.isEmpty() ? 0 : 1;
}
