#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// A seven-segment readout of one number: a fixed count of digits, a fixed count of decimals,
// right aligned. A value too large for the digits shows as all nines (999.999 for 6 digits and
// 3 decimals), a minus sign takes one digit.
class SevenSegmentDisplay : public QWidget
{
    Q_OBJECT
public:
    explicit SevenSegmentDisplay(QWidget* parent = nullptr);

    // The value as set, unrounded; the readout rounds it to the decimals.
    double value() const { return m_value; }
    // A NaN is ignored and the last value kept.
    void setValue(double value);

    int digits() const { return m_digits; }
    // At least 1; the decimals are held below it, so a digit is always left before the point.
    void setDigits(int digits);
    int decimals() const { return m_decimals; }
    void setDecimals(int decimals);

    QColor color() const { return m_color; }
    void setColor(const QColor& color);

    // What the readout shows, without the leading blanks: "12.345", "0.000", "-1.500".
    QString text() const { return m_text; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void valueChanged(double value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refreshText();

    double m_value = 0.0;
    int m_digits = 6;
    int m_decimals = 3;
    QColor m_color = QColor(0x30, 0xff, 0x50);
    QString m_text = QStringLiteral("0.000");
};
