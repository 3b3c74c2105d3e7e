#pragma once

#include <QTabBar>
#include <QTabWidget>

namespace lv::gui {

// The tab bar of GuardedTabWidget. QTabBar::setCurrentIndex, which code and an accessibility
// client's "press" call, makes a disabled tab current (mouse, keys and wheel skip it). This bar
// turns such a change back at once, and only the changes that stand reach its own
// currentChanged, the one the tab widget listens to: the page of a disabled tab never shows.
class GuardedTabBar : public QTabBar
{
    Q_OBJECT

public:
    explicit GuardedTabBar(QWidget *parent = nullptr);

signals:
    // Hides QTabBar::currentChanged: QTabWidget connects to the signal by its name, and so gets
    // this one.
    void currentChanged(int index);

protected:
    void tabInserted(int index) override;
    void tabRemoved(int index) override;

private:
    void barChanged(int index);

    int m_current = -1; // the current tab as last announced
    bool m_turningBack = false;
};

// A tab widget whose disabled tabs cannot become current by any path.
class GuardedTabWidget : public QTabWidget
{
    Q_OBJECT

public:
    explicit GuardedTabWidget(QWidget *parent = nullptr);
};

} // namespace lv::gui
