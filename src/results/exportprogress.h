#pragma once

#include <QWidget>

class QProgressBar;

// The small borderless window shown while an export runs: a blue-framed panel with the waiting
// text and, while rows are written, a progress bar. Never modal; the export blocks the event loop,
// so the window paints only when told to.
class ExportProgress : public QWidget
{
    Q_OBJECT
public:
    enum Kind
    {
        Connecting,
        Writing
    };

    explicit ExportProgress(Kind kind);

    // Sets the bar's maximum and paints the window once before the rows are walked.
    void start(int maximum);
    // Positions beyond the bar's range are held at its end. The bar moves only every few hundred
    // rows, and on the last row, because each move repaints it while the export holds the thread.
    void setPosition(int position, bool lastRow);

    // Null for the connecting window.
    QProgressBar* bar() const { return m_bar; }

private:
    QProgressBar* m_bar = nullptr;
    int m_rowsSinceShown = 0;
};
