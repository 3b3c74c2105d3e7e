#include "gui/app/appicon.h"
#include "gui/app/frmmain.h"
#include "gui/prompts/qtprompts.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Luftvaka"));
    QApplication::setApplicationVersion(QStringLiteral(LUFTVAKA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("luftvaka"));
    QApplication::setWindowIcon(lv::gui::appIcon());

    // Numbers are read and written in the user's own locale (Qt's default is the system's).
    lv::gui::QtPrompts prompts;
    lv::gui::FrmMain window(prompts);
    window.show();
    return app.exec();
}
