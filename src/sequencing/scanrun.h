#pragma once

#include <QObject>
#include <QString>

class Timer;
class TScanVoltage;
struct ScanSetting;

// What the scan control panel PanelScan shows; the main window copies it on viewChanged().
struct ScanRunView
{
    int allSteps = 0;    // "All steps": PointCount of the points built when the panel opened
    int currentStep = 1; // "Current step": number of the value last sent, from 1
    bool finishedShown = false;
    bool runVisible = true;
    bool stepVisible = true;
    bool runDown = false; // the "Run" toggle button's down state
    bool panelShown = false;
};

// The voltage scan of the selected channel: sends the scan points one after the other, each
// held for the scan delay by the scan timer, or one per "Step". Knows no widget: it asks for
// each voltage through applyVoltage() and describes its panel in view().
class ScanRun : public QObject
{
    Q_OBJECT
public:
    explicit ScanRun(Timer& timer, QObject* parent = nullptr);

    // "View Scan Panel". False, changing nothing, when setting.ScanStep is exactly 0. Otherwise
    // copies start, stop and step into points, builds them (the points are not built again
    // until the next opening) and raises a ScanDelay below 1 s to 1 s in setting. Both objects
    // stay the caller's and must outlive the open panel; the delay is read from setting at
    // each "Run". Throws VoltarisError, opening nothing, when the points cannot be built.
    bool open(ScanSetting& setting, TScanVoltage& points);
    // "Run" pressed: flips the toggle and starts a timed sweep at the first point. Ignored while
    // hidden. Throws VoltarisError, sending nothing, when the delay is no timer interval.
    void run();
    // "Step": sends the next point; after the last one it starts again at the first.
    void step();
    // "Stop": closes the panel. Sends nothing: the instrument keeps the last voltage sent.
    void stop();

    const ScanRunView& view() const { return m_view; }
    // Points sent in the current sweep (CurrentStep).
    int sentInSweep() const { return m_sent; }

signals:
    // Show v on the selected channel's voltage display and knob and send it with SetVoltageText.
    void applyVoltage(double volts);
    void viewChanged();

private:
    void tick();
    double pointAt(int index) const;

    Timer& m_timer;
    ScanSetting* m_setting = nullptr;
    TScanVoltage* m_points = nullptr;
    int m_sent = 0;
    ScanRunView m_view;
};
