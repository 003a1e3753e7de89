#pragma once

#include <QPointF>
#include <QStringList>
#include <QWidget>

#include <qcustomplot.h>

#include <array>

class Clock;
class QAction;
class QMenu;

// One of the main window's small live plots: three channel traces against seconds since the
// plot was created, following the newest points, with an AutoScale / LargePlot context menu.
// Keeps every point it is given; the large chart windows take the history from channelGraph().
class LivePlot : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ChannelCount = 3;

    explicit LivePlot(Clock& clock, QWidget* parent = nullptr);

    void setTitle(const QString& title);
    void setXAxisTitle(const QString& title);
    // Legend texts, Channel 1 first; missing entries leave a channel's name as it is.
    void setChannelTitles(const QStringList& titles);
    void setYRange(double lower, double upper);
    // Keeps the bottom and sets top = bottom + span; a span that is not positive is ignored.
    void setYSpan(double span);
    void setYDecimals(int decimals);

    // channel 0..2; the point's X is the clock's time since construction, in seconds.
    void addPoint(int channel, double y);
    // One reading of all three channels, at one X.
    void addPoints(double y1, double y2, double y3);
    void clearChannel(int channel);

    // Fits X and Y to the lowest and highest values of all points of all channels.
    void autoScale();

    // Renders at once instead of waiting for the queued replot of the appends.
    void replotNow();

    int pointCount(int channel) const;
    QPointF point(int channel, int index) const;
    QCPRange xRange() const;
    QCPRange yRange() const;
    QCustomPlot* plot() { return m_plot; }
    const QCPGraph* channelGraph(int channel) const;

    QAction* autoScaleAction() const { return m_autoScaleAction; }
    QAction* largePlotAction() const { return m_largePlotAction; }
    QMenu* contextMenu() const { return m_contextMenu; }

    // The tracking rules, kept apart so the large chart windows follow their points the same way.
    // Scroll smooth: the span stays; the range moves just far enough to show x. On the first point
    // of a plot an x outside the range becomes the start.
    static QCPRange scrollSmooth(const QCPRange& range, double x, bool firstPoint);
    // Scale to minimum and maximum: a value above the top raises the top (the span grows); a value
    // below the bottom becomes the bottom, keeping the span.
    static QCPRange scaleMinMax(const QCPRange& range, double y);

signals:
    void largePlotRequested();

private:
    bool isEmpty() const;
    double nowSeconds() const;
    void append(int channel, double x, double y, bool firstPoint);
    void showContextMenu(const QPoint& pos);

    Clock& m_clock;
    qint64 m_createdAtMs = 0;
    QCustomPlot* m_plot = nullptr;
    QCPTextElement* m_title = nullptr;
    std::array<QCPGraph*, ChannelCount> m_graphs{};
    QMenu* m_contextMenu = nullptr;
    QAction* m_autoScaleAction = nullptr;
    QAction* m_largePlotAction = nullptr;
};
