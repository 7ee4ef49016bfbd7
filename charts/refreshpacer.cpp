#include "charts/refreshpacer.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

#include <qwt_plot.h>

#include <algorithm>

RefreshPacer::RefreshPacer(QWidget *view, std::function<void()> refresh, int intervalMs)
    : QObject(view), m_view(view), m_refresh(std::move(refresh)), m_intervalMs(intervalMs)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RefreshPacer::run);
    view->installEventFilter(this);
}

void RefreshPacer::request()
{
    m_stale = true;
    if (!m_view->isVisible() || m_timer.isActive())
        return;
    const qint64 interval = std::max<qint64>(m_intervalMs, 20 * m_lastCostMs);
    const qint64 since = m_sinceRefresh.isValid() ? m_sinceRefresh.elapsed() : interval;
    m_timer.start(int(std::max<qint64>(0, interval - since)));
}

void RefreshPacer::followChart(QwtPlot *chart)
{
    m_canvases.append(chart->canvas());
    chart->canvas()->installEventFilter(this);
}

bool RefreshPacer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view) {
        if (event->type() == QEvent::Show && m_stale)
            m_timer.start(0);   // once the view has its size
    } else if (m_canvases.contains(watched)) {
        switch (event->type()) {
        case QEvent::MouseMove:
            if (static_cast<QMouseEvent *>(event)->buttons() != Qt::NoButton)
                request();
            break;
        case QEvent::Wheel:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Resize:
            request();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void RefreshPacer::run()
{
    if (!m_view->isVisible())
        return;
    m_stale = false;
    m_sinceRefresh.start();
    m_refresh();
    m_lastCostMs = m_sinceRefresh.elapsed();
}
