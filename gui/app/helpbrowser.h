#pragma once

#include <QWidget>

class QTextBrowser;

namespace lv::gui {

// The user's guide: a short Swedish page from the program's resources in a window of its own,
// so it can stay open beside the main window while the user works.
class HelpBrowser : public QWidget
{
    Q_OBJECT

public:
    explicit HelpBrowser(QWidget *parent = nullptr);

    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser = nullptr;
};

// Shows the guide as a window owned by parent, raising the one already open rather than
// opening a second.
HelpBrowser *showUserGuide(QWidget *parent);

} // namespace lv::gui
