#include "gui/app/frmmain.h"

namespace lv::gui {

FrmMain::FrmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName("FrmMain");
    setWindowTitle("Effektberäkning: Luftvaka");
}

} // namespace lv::gui
