#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace lv::gui {

// The about box: icon, program title and "Version major.minor.revision" of a program version
// major.minor.0.revision.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(const QString &programVersion, QWidget *parent = nullptr);

    // "Version " and the program version without its third number ("1.2.0.4" -> "1.2.4").
    static QString versionText(const QString &programVersion);

private:
    QLabel *m_iconLabel = nullptr;
    QLabel *m_titleLabel = nullptr;
    QLabel *m_versionLabel = nullptr;
    QPushButton *m_okButton = nullptr;
};

} // namespace lv::gui
