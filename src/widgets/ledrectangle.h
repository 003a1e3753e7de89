#pragma once

#include <QColor>
#include <QWidget>

// A rectangular lamp, lit or dark; the traffic indicators toggle it to show activity.
class LedRectangle : public QWidget
{
    Q_OBJECT
public:
    explicit LedRectangle(QWidget* parent = nullptr);

    bool isActive() const { return m_active; }
    void setActive(bool active);
    void toggle() { setActive(!m_active); }

    // The lit colour; the dark state is drawn as a deep shade of it.
    QColor color() const { return m_color; }
    void setColor(const QColor& color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_active = false;
    QColor m_color = QColor(0x20, 0xe0, 0x40);
};
