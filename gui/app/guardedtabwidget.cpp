#include "gui/app/guardedtabwidget.h"

namespace lv::gui {

GuardedTabBar::GuardedTabBar(QWidget *parent) : QTabBar(parent)
{
    // As QTabWidget sets up its own bar.
    setObjectName(QStringLiteral("qt_tabwidget_tabbar"));
    setDrawBase(false);
    connect(this, &QTabBar::currentChanged, this, &GuardedTabBar::barChanged);
}

void GuardedTabBar::barChanged(int index)
{
    if (m_turningBack)
        return; // the way back to the tab that stayed current: nothing changed
    if (index >= 0 && !isTabEnabled(index) && index != m_current && m_current >= 0 &&
        m_current < count() && isTabEnabled(m_current)) {
        m_turningBack = true;
        setCurrentIndex(m_current);
        m_turningBack = false;
        return;
    }
    m_current = index;
    emit currentChanged(index);
}

// Inserting and removing tabs can move the current tab's index without a signal.
void GuardedTabBar::tabInserted(int index)
{
    QTabBar::tabInserted(index);
    m_current = currentIndex();
}

void GuardedTabBar::tabRemoved(int index)
{
    QTabBar::tabRemoved(index);
    m_current = currentIndex();
}

GuardedTabWidget::GuardedTabWidget(QWidget *parent) : QTabWidget(parent)
{
    setTabBar(new GuardedTabBar(this));
}

} // namespace lv::gui
