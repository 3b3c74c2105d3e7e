#include "gui/app/frmmain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    lv::gui::FrmMain window;
    window.show();
    return app.exec();
}
