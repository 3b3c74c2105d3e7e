// Grabs the README's pictures of the main window: the example tunnel on the input tab, the
// result tab after a calculation run, and the tab along the tunnel. Run by tools/screenshots.sh
// under Xvfb.
//
// usage: luftvaka-screenshots EXAMPLE.dat OUTPUT_DIR

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
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
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
    lv::SaveAnswer askSave(const QString &, const QString &) override
    {
        return lv::SaveAnswer::Discard;
    }
    bool askYesNo(const QString &, const QString &) override { return true; }
    QString savePath; // the answer of the next save dialog
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override
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
    // A window as at a first start, whatever settings (size, recent files) a user has kept.
    QStandardPaths::setTestModeEnabled(true);
    QSettings().clear();
    QApplication::setWindowIcon(lv::gui::appIcon());
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: luftvaka-screenshots EXAMPLE.dat OUTPUT_DIR\n";
        return 2;
    }
    // Numbers shown as on a Swedish system, with a decimal comma.
    QLocale::setDefault(QLocale(QStringLiteral("sv_SE")));

    // Taken before anything else reads the current directory.
    const QDir out(QDir(QString::fromLocal8Bit(argv[2])).absolutePath());
    ScriptedPrompts prompts;
    lv::gui::MainWindow window(prompts); // at the size of a first start
    window.show();
    // Opened as the user opens it, so that the title and the result tab name the file.
    if (!window.openInputPath(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath())) {
        err << "cannot open " << argv[1] << ": " << prompts.messages.join(QStringLiteral("; "))
            << '\n';
        return 1;
    }
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

    // The air demand of the whole tunnel and of the uphill stretch, at a cross-section of 60 m².
    child<QTabWidget>(window, "tabs")->setCurrentIndex(3);
    child<QLineEdit>(window, "areaEdit")->setText(QStringLiteral("60"));
    settle();
    if (!save(QStringLiteral("screenshot-luftbehov.png")))
        return 1;

    // The printed report as "Spara som PDF..." writes it; tools/screenshots.sh makes its first
    // page a picture.
    prompts.savePath = out.filePath(QStringLiteral("utskrift.pdf"));
    child<QAction>(window, "savePdfAction")->trigger();
    return prompts.messages.isEmpty() ? 0 : 1;
}
