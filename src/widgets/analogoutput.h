#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;

// A numeric entry field with a unit suffix. The operator may type "." or "," as the decimal
// separator; a typed value is taken at the shown decimals and bounded to the limits.
class AnalogOutput : public QWidget
{
    Q_OBJECT
public:
    explicit AnalogOutput(QWidget* parent = nullptr);

    // A value set by the program is held exactly (only the text is rounded), so a setting read
    // in and confirmed unedited is written back unchanged. NaN is ignored.
    double value() const { return m_value; }
    void setValue(double value);

    // Decimals shown, 0 to 15.
    int precision() const { return m_precision; }
    void setPrecision(int decimals);

    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    // Raising the minimum above the maximum (or the reverse) drags the other limit along;
    // the value is bounded to the new limits.
    void setMinimum(double minimum);
    void setMaximum(double maximum);

    QString unit() const { return m_unit; }
    void setUnit(const QString& unit);

    // The shown text, e.g. "12.50".
    QString text() const;
    // Takes text as if the operator had typed it. Returns false, keeping the value, when the
    // text is not a plain decimal number.
    bool setText(const QString& text);

signals:
    void valueChanged(double value);

private:
    void commitEditedText();
    void showValue();
    bool take(double value);

    QLineEdit* m_edit = nullptr;
    QLabel* m_unitLabel = nullptr;
    double m_value = 0.0;
    int m_precision = 2;
    double m_minimum = -1e9;
    double m_maximum = 1e9;
    QString m_unit;
};
