#pragma once

#include <QString>
#include <QWidget>

class Clock;

// A rotary set-point knob turned by the operator with the arrow and page keys, Home/End, the
// mouse wheel and by dragging around its centre. OnPositionChange follows every change, also the
// program's; OnPositionChangeFinished marks the end of an operator action that left the knob
// somewhere new, which is when the caller sends the position on.
class Knob : public QWidget
{
    Q_OBJECT
public:
    explicit Knob(QWidget* parent = nullptr);

    double position() const { return m_position; }
    // A program change: bounded to the limits; never raises OnPositionChangeFinished, and the
    // next operator action is judged against the position it leaves.
    void setPosition(double position);

    double positionMin() const { return m_positionMin; }
    double positionMax() const { return m_positionMax; }
    // Raising the minimum above the maximum (or the reverse) drags the other limit along.
    void setPositionMin(double positionMin);
    void setPositionMax(double positionMax);

    // Position units per key press or wheel notch.
    double keyArrowStepSize() const { return m_keyArrowStepSize; }
    void setKeyArrowStepSize(double step) { m_keyArrowStepSize = step; }
    double keyPageStepSize() const { return m_keyPageStepSize; }
    void setKeyPageStepSize(double step) { m_keyPageStepSize = step; }
    double mouseWheelStepSize() const { return m_mouseWheelStepSize; }
    void setMouseWheelStepSize(double step) { m_mouseWheelStepSize = step; }

    QString unit() const { return m_unit; }
    void setUnit(const QString& unit);
    // Decimals of the position shown on the knob; a drag moves in steps of the last one.
    int decimals() const { return m_decimals; }
    void setDecimals(int decimals);
    // The position as shown on the knob, e.g. "12.50 V".
    QString positionText() const;

    // Paces the wheel (one step per 30 ms); null restores the wall clock.
    void setClock(Clock* clock);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void OnPositionChange();
    void OnPositionChangeFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class KnobAccessible;

    // Moves the knob as the operator does; returns whether the position changed.
    bool moveTo(double position);
    // The end of an operator action: raises OnPositionChangeFinished if the knob moved since the
    // last one (or since the last program change).
    void finishAction();
    void endHeldActions();
    double pointerAngleDegrees(QPointF point) const;

    double m_position = 0.0;
    double m_positionMin = 0.0;
    double m_positionMax = 10.0;
    double m_keyArrowStepSize = 0.1;
    double m_keyPageStepSize = 1.0;
    double m_mouseWheelStepSize = 0.1;
    QString m_unit;
    int m_decimals = 2;
    Clock* m_clock = nullptr;

    double m_finishedPosition = 0.0;
    bool m_keyHeld = false;

    bool m_dragging = false;
    double m_dragAngleDegrees = 0.0;
    double m_dragPosition = 0.0; // unrounded, so slow drags add up below the shown decimals

    int m_wheelRemainder = 0; // angleDelta units short of a full notch
    bool m_wheelStepped = false;
    qint64 m_lastWheelStepMs = 0;
};
