#include "gui/along/alongchartwidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace lv::gui {

AlongChartWidget::AlongChartWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("alongChart"));
    setAccessibleName(QStringLiteral("Diagram längs tunneln"));
    setMouseTracking(true);
    setMinimumHeight(200);
}

void AlongChartWidget::setData(render::ChartData data)
{
    m_data = std::move(data);
    update();
}

QString AlongChartWidget::readoutAt(const QPointF &point) const
{
    const auto hit = render::chartHitAt(m_data, QRectF(rect()), point);
    return hit ? render::chartReadout(m_data, *hit) : QString();
}

QSize AlongChartWidget::sizeHint() const
{
    return QSize(900, 320);
}

void AlongChartWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    render::paintChart(painter, QRectF(rect()), m_data);
}

void AlongChartWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QString text = readoutAt(event->position());
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), text, this);
    emit readoutChanged(text);
}

void AlongChartWidget::leaveEvent(QEvent *)
{
    emit readoutChanged(QString());
}

} // namespace lv::gui
