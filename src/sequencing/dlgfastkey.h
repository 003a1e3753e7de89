#pragma once

#include "sequencing/steps.h"

#include <QDialog>
#include <QString>

class AnalogOutput;
class QLabel;
class QPushButton;
class TLoadSource;

// The "HotKey" dialog that edits one hotkey's voltage/current pair. The caller loads the
// button's caption, runs the dialog modally and, on "Ok", takes caption() and pair().
class TFormFastKey : public QDialog
{
    Q_OBJECT
public:
    explicit TFormFastKey(const TLoadSource& texts, QWidget* parent = nullptr);

    // Decimal places of both entries, 0 to 15; 4 until a power type is applied.
    void setPrecision(int decimals);
    // Upper bounds of the entries, in V and A (channel 1's maxima).
    void setLimits(double maxVoltage, double maxCurrent);

    // The text before the first "/" into the voltage entry, the text after it into the current
    // entry; a caption without "/" (a hotkey never edited shows "0") gives 0 and 0. A part that
    // is no number also gives 0, so nothing of an earlier edit shows through.
    void loadCaption(const QString& caption);
    // The caption for the button: the two entries' texts joined by "/", no blanks.
    QString caption() const;
    // The entries' values: Voltage in V, Current in A.
    FastKey pair() const;

    QLabel* StaticText7 = nullptr; // "Voltage(V)"
    AnalogOutput* iAnalogOutput1 = nullptr;
    QLabel* StaticText1 = nullptr; // "Current(A)"
    AnalogOutput* iAnalogOutput2 = nullptr;
    QPushButton* tbOk = nullptr;

private:
    void ApplyLanguageTexts(const TLoadSource& texts);
};
