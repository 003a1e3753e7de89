#pragma once

#include <QWidget>

// An on/off lever switch. The operator's click toggles it on the release of the left button;
// every button released over it is reported, with the state as it is after that release.
class SwitchToggle : public QWidget
{
    Q_OBJECT
public:
    explicit SwitchToggle(QWidget* parent = nullptr);

    bool isOn() const { return m_on; }
    // A program change: emits nothing.
    void setOn(bool on);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void released(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class SwitchToggleAccessible;

    // What a left click does, also for Space, Return and the accessible toggle action.
    void click();

    bool m_on = false;
};
