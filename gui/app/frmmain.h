#pragma once

#include <QMainWindow>

namespace lv::gui {

// The main window. A placeholder until the window's own work lands.
class FrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit FrmMain(QWidget *parent = nullptr);
};

} // namespace lv::gui
