#include "exportprogress.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QScreen>

namespace {

constexpr int RowsPerBarMove = 256;

} // namespace

ExportProgress::ExportProgress(Kind kind) : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(300, 100);
    QFont small = font();
    small.setPointSize(9);
    setFont(small);

    // The window's own background shows only as the 2-pixel border around the panel.
    QPalette blue = palette();
    blue.setColor(QPalette::Window, QColor(0, 0, 255));
    setPalette(blue);
    setAutoFillBackground(true);

    auto* panel = new QFrame(this);
    panel->setGeometry(2, 2, 296, 96);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    QPalette plain = panel->palette();
    plain.setColor(QPalette::Window, QGuiApplication::palette().color(QPalette::Window));
    panel->setPalette(plain);
    panel->setAutoFillBackground(true);

    auto* label = new QLabel(QStringLiteral("Exporting Data,Please Wait..."), panel);
    label->move(25, 25);
    label->adjustSize();

    if (kind == Writing) {
        m_bar = new QProgressBar(panel);
        m_bar->setGeometry(20, 50, 260, 18);
        m_bar->setTextVisible(false);
        m_bar->setValue(0);
    }

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    show();
    repaint();
}

void ExportProgress::start(int maximum)
{
    // An empty range would turn the bar into a moving busy indicator; with no rows it stays at 0.
    if (m_bar)
        m_bar->setMaximum(qMax(maximum, 1));
    m_rowsSinceShown = RowsPerBarMove;
    repaint();
}

void ExportProgress::setPosition(int position, bool lastRow)
{
    if (!m_bar)
        return;
    if (!lastRow && ++m_rowsSinceShown < RowsPerBarMove)
        return;
    m_rowsSinceShown = 0;
    m_bar->setValue(qBound(m_bar->minimum(), position, m_bar->maximum()));
}
