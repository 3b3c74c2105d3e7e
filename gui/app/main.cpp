#include "gui/app/appicon.h"
#include "gui/app/mainwindow.h"
#include "gui/app/translations.h"
#include "gui/prompts/qtprompts.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    // The default locale stays the system's: numbers are read and written as the user writes
    // them. Only the language is fixed: Qt's own texts are Swedish like the program's.
    QApplication app(argc, argv);
    lv::gui::installSwedishTranslations(app);
    QApplication::setOrganizationName(QStringLiteral("Luftvaka"));
    QApplication::setApplicationName(QStringLiteral("Luftvaka"));
    QApplication::setApplicationVersion(QStringLiteral(LUFTVAKA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("luftvaka"));
    QApplication::setWindowIcon(lv::gui::appIcon());

    lv::gui::QtPrompts prompts;
    lv::gui::MainWindow window(prompts);
    window.show();
    // `luftvaka FILE.dat`, as the desktop passes a file: a relative name is the caller's, and
    // the working directory is still the caller's here.
    if (const QStringList args = QApplication::arguments(); args.size() > 1)
        window.openInputPath(QFileInfo(args.at(1)).absoluteFilePath());
    return app.exec();
}
