#pragma once

#include <QDialog>

class AnalogOutput;
class QLabel;
class QPushButton;
class TLoadSource;

// The "Fill..." dialog: asks for the one value that a grid's "Fill..." writes into a column.
// Created once at start; the entry keeps its value from one use to the next.
class TFormFixedSelect : public QDialog
{
    Q_OBJECT
public:
    explicit TFormFixedSelect(const TLoadSource& texts, QWidget* parent = nullptr);

    // The value in the entry, in the unit of the column being filled.
    double value() const;
    void setValue(double value);

    void ApplyLanguageTexts();

    QLabel* TeThemeLabelFillValue = nullptr;
    AnalogOutput* iAnalogOutputFixed = nullptr;
    QPushButton* tbOk = nullptr;

private:
    const TLoadSource& m_texts;
};
