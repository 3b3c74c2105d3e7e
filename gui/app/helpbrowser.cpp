#include "gui/app/helpbrowser.h"

#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace lv::gui {

HelpBrowser::HelpBrowser(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpBrowser"));
    setWindowTitle(QStringLiteral("Användarhandbok – Luftvaka"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpText"));
    // Links to other pages would open in a program the user did not ask for; the guide has
    // only anchors within itself.
    m_browser->setOpenExternalLinks(false);
    m_browser->setSource(QUrl(QStringLiteral("qrc:/luftvaka/help/anvandarhandbok.html")));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);

    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    resize(620, 640);
}

HelpBrowser *showUserGuide(QWidget *parent)
{
    auto *guide = parent->findChild<HelpBrowser *>(QString(), Qt::FindDirectChildrenOnly);
    if (!guide)
        guide = new HelpBrowser(parent);
    guide->show();
    guide->raise();
    guide->activateWindow();
    return guide;
}

} // namespace lv::gui
