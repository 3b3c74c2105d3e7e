#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace lv::gui {

// The about box: icon, program title and "Version major.minor.revision" of a program version
// major.minor.0.revision.
class FrmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit FrmAbout(const QString &programVersion, QWidget *parent = nullptr);

    // "Version " and the program version without its third number ("1.2.0.4" -> "1.2.4").
    static QString versionText(const QString &programVersion);

private:
    QLabel *picIcon = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QPushButton *cmdOK = nullptr;
};

} // namespace lv::gui
