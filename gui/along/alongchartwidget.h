#pragma once

#include "render/chart.h"

#include <QWidget>

namespace lv::gui {

// The chart along the tunnel on screen, painted by the same code as on paper and in files.
// Under the mouse it tells segment, chainage and value (tooltip and readoutChanged).
class AlongChartWidget : public QWidget
{
    Q_OBJECT

public:
    explicit AlongChartWidget(QWidget *parent = nullptr);

    const render::ChartData &data() const { return m_data; }
    void setData(render::ChartData data);

    // The readout for a point of the widget, or empty outside the plots.
    QString readoutAt(const QPointF &point) const;

    QSize sizeHint() const override;

signals:
    void readoutChanged(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    render::ChartData m_data;
};

} // namespace lv::gui
