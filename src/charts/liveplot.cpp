#include "charts/liveplot.h"

#include "platform/clock.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QColor OutsideColor(192, 192, 192); // silver
const QColor ChannelColors[LivePlot::ChannelCount] = {Qt::red, Qt::yellow, Qt::blue};

// An axis fitted to a single value (one point, or a flat trace) would have no size, which
// QCustomPlot refuses; the axis then keeps its span and centres it on the value.
void fitAxis(QCPAxis* axis, const QCPRange& fitted)
{
    if (fitted.size() > 0) {
        axis->setRange(fitted);
        return;
    }
    const double half = axis->range().size() / 2;
    axis->setRange(fitted.lower - half, fitted.lower + half);
}

} // namespace

LivePlot::LivePlot(Clock& clock, QWidget* parent)
    : QWidget(parent), m_clock(clock), m_createdAtMs(clock.elapsedMs()),
      m_plot(new QCustomPlot(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_plot);

    m_plot->setInteractions(QCP::Interactions());
    m_plot->setBackground(OutsideColor);
    m_plot->axisRect()->setBackground(Qt::black);
    // Only the newest 100 s are visible, so replot cost is bounded by the axes and text, not by
    // the history; fast polylines keep the traces cheap as well.
    m_plot->setPlottingHints(QCP::phFastPolylines | QCP::phCacheLabels);
    m_plot->setNoAntialiasingOnDrag(true);

    const QPen gridPen(QColor(140, 140, 140), 0, Qt::DotLine);
    const QPen subGridPen(QColor(90, 90, 90), 0, Qt::DotLine);
    for (QCPAxis* axis : {m_plot->xAxis, m_plot->yAxis}) {
        axis->grid()->setPen(gridPen);
        axis->grid()->setZeroLinePen(gridPen);
        axis->grid()->setSubGridPen(subGridPen);
        axis->grid()->setSubGridVisible(true);
        axis->setNumberFormat(QStringLiteral("f"));
    }
    m_plot->xAxis->setNumberPrecision(0);
    m_plot->xAxis->setRange(0, 100);
    m_plot->yAxis->setNumberPrecision(3);
    m_plot->yAxis->setRange(0, 100);

    QFont titleFont = font();
    titleFont.setBold(true);
    m_title = new QCPTextElement(m_plot, QString(), titleFont);
    m_plot->plotLayout()->insertRow(0);
    m_plot->plotLayout()->addElement(0, 0, m_title);

    for (int channel = 0; channel < ChannelCount; ++channel) {
        QCPGraph* graph = m_plot->addGraph();
        graph->setPen(QPen(ChannelColors[channel], 1));
        graph->setName(tr("Channel %1").arg(channel + 1));
        m_graphs[channel] = graph;
    }

    QCPLegend* legend = m_plot->legend;
    legend->setVisible(true);
    legend->setFillOrder(QCPLayoutGrid::foRowsFirst);
    legend->setBrush(Qt::black);
    legend->setBorderPen(QPen(OutsideColor));
    legend->setTextColor(Qt::white);

    m_autoScaleAction = new QAction(this);
    m_largePlotAction = new QAction(this);
    m_contextMenu = new QMenu(this);
    m_contextMenu->addAction(m_autoScaleAction);
    m_contextMenu->addAction(m_largePlotAction);
    connect(m_autoScaleAction, &QAction::triggered, this, &LivePlot::autoScale);
    connect(m_largePlotAction, &QAction::triggered, this, &LivePlot::largePlotRequested);

    m_plot->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_plot, &QWidget::customContextMenuRequested, this, &LivePlot::showContextMenu);
    connect(m_plot, &QCustomPlot::mouseDoubleClick, this, [this](QMouseEvent* event) {
        if (event->button() == Qt::LeftButton)
            emit largePlotRequested();
    });
}

void LivePlot::setTitle(const QString& title)
{
    m_title->setText(title);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void LivePlot::setXAxisTitle(const QString& title)
{
    m_plot->xAxis->setLabel(title);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void LivePlot::setChannelTitles(const QStringList& titles)
{
    for (int channel = 0; channel < ChannelCount && channel < titles.size(); ++channel)
        m_graphs[channel]->setName(titles.at(channel));
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void LivePlot::setYRange(double lower, double upper)
{
    m_plot->yAxis->setRange(lower, upper);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void LivePlot::setYSpan(double span)
{
    if (!(span > 0) || !std::isfinite(span))
        return;
    const double lower = m_plot->yAxis->range().lower;
    m_plot->yAxis->setRange(lower, lower + span);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void LivePlot::setYDecimals(int decimals)
{
    m_plot->yAxis->setNumberPrecision(decimals);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void LivePlot::addPoint(int channel, double y)
{
    if (channel < 0 || channel >= ChannelCount)
        return;
    append(channel, nowSeconds(), y, isEmpty());
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void LivePlot::addPoints(double y1, double y2, double y3)
{
    const double x = nowSeconds();
    const bool first = isEmpty();
    append(0, x, y1, first);
    append(1, x, y2, false);
    append(2, x, y3, false);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void LivePlot::clearChannel(int channel)
{
    if (channel < 0 || channel >= ChannelCount)
        return;
    m_graphs[channel]->data()->clear();
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void LivePlot::autoScale()
{
    bool anyKeys = false;
    bool anyValues = false;
    QCPRange keys;
    QCPRange values;
    for (const QCPGraph* graph : m_graphs) {
        bool found = false;
        const QCPRange graphKeys = graph->getKeyRange(found);
        if (found) {
            keys = anyKeys ? QCPRange(qMin(keys.lower, graphKeys.lower),
                                      qMax(keys.upper, graphKeys.upper))
                           : graphKeys;
            anyKeys = true;
        }
        const QCPRange graphValues = graph->getValueRange(found);
        if (found) {
            values = anyValues ? QCPRange(qMin(values.lower, graphValues.lower),
                                          qMax(values.upper, graphValues.upper))
                               : graphValues;
            anyValues = true;
        }
    }
    if (anyKeys)
        fitAxis(m_plot->xAxis, keys);
    if (anyValues)
        fitAxis(m_plot->yAxis, values);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void LivePlot::replotNow()
{
    m_plot->replot(QCustomPlot::rpImmediateRefresh);
}

int LivePlot::pointCount(int channel) const
{
    if (channel < 0 || channel >= ChannelCount)
        return 0;
    return m_graphs[channel]->dataCount();
}

QPointF LivePlot::point(int channel, int index) const
{
    if (index < 0 || index >= pointCount(channel))
        return {};
    const auto it = m_graphs[channel]->data()->at(index);
    return {it->key, it->value};
}

QCPRange LivePlot::xRange() const
{
    return m_plot->xAxis->range();
}

QCPRange LivePlot::yRange() const
{
    return m_plot->yAxis->range();
}

const QCPGraph* LivePlot::channelGraph(int channel) const
{
    if (channel < 0 || channel >= ChannelCount)
        return nullptr;
    return m_graphs[channel];
}

QCPRange LivePlot::scrollSmooth(const QCPRange& range, double x, bool firstPoint)
{
    if (!std::isfinite(x))
        return range;
    const double span = range.size();
    if (x < range.lower || (firstPoint && x > range.upper))
        return QCPRange(x, x + span);
    if (x > range.upper)
        return QCPRange(x - span, x);
    return range;
}

QCPRange LivePlot::scaleMinMax(const QCPRange& range, double y)
{
    if (!std::isfinite(y))
        return range;
    if (y > range.upper)
        return QCPRange(range.lower, y);
    if (y < range.lower)
        return QCPRange(y, y + range.size());
    return range;
}

bool LivePlot::isEmpty() const
{
    for (const QCPGraph* graph : m_graphs) {
        if (!graph->data()->isEmpty())
            return false;
    }
    return true;
}

double LivePlot::nowSeconds() const
{
    return (m_clock.elapsedMs() - m_createdAtMs) / 1000.0;
}

// Tracking is applied per point so a burst of readings ends in the same view as one at a time.
void LivePlot::append(int channel, double x, double y, bool firstPoint)
{
    m_graphs[channel]->addData(x, y);
    m_plot->xAxis->setRange(scrollSmooth(m_plot->xAxis->range(), x, firstPoint));
    m_plot->yAxis->setRange(scaleMinMax(m_plot->yAxis->range(), y));
}

void LivePlot::showContextMenu(const QPoint& pos)
{
    m_contextMenu->popup(m_plot->mapToGlobal(pos));
}
