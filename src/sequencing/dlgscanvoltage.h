#pragma once

#include <QDialog>

class Clock;
class LivePlot;
class QPushButton;
class QToolBar;
class QAction;
class TLoadSource;

// The scan "Plot" window: the three channels' measured voltages against time while it is
// shown. Created once at start and shown non-modally; "Cancel" only hides it.
class TFormScanVoltage : public QDialog
{
    Q_OBJECT
public:
    TFormScanVoltage(Clock& clock, const TLoadSource& texts, QWidget* parent = nullptr);

    // One voltages reply: channels 1 to 3, in V, at the clock's present time.
    void addVoltages(double v1, double v2, double v3);
    // Height of the voltage axis in V, from its present bottom; not positive is ignored.
    void setYSpan(double volts);

    LivePlot* iPlotScanVoltage = nullptr;
    QToolBar* toolBar = nullptr;
    QAction* autoScaleAction = nullptr;  // "Auto scale"
    QPushButton* cancelButton = nullptr; // "Cancel"

private:
    void ApplyLanguageTexts(const TLoadSource& texts);
};
