#pragma once

#include "sequencing/steps.h"

#include <QList>
#include <QObject>
#include <QString>

class Timer;

// The latest GO/NG verdict: Pass shows text 59 in green (0, 255, 0), Fail text 60 in red
// (255, 0, 0); None only while the panel has never been opened.
enum class GoNgVerdict
{
    None,
    Pass,
    Fail
};

// What the GO/NG control panel PanelGoNG shows; the main window copies it on viewChanged().
struct GoNgRunView
{
    int allSteps = 0;    // "All steps": the step count N taken when the panel opened
    int currentStep = 1; // "Current step": number of the step last sent, from 1
    GoNgVerdict verdict = GoNgVerdict::None;
    bool finishedShown = false;
    bool runVisible = true;
    bool stepVisible = true;
    int gridRow = 0; // the GO/NG grid's current row, 1-based; 0 while the run has not moved it
    bool panelShown = false;
};

// The GO/NG run of the selected channel: sends each step's Setting for its Delay by the GO/NG
// timer, or one per "Step", and judges the step last sent on every currents reply. Knows no
// widget: it asks for each voltage through applySetting() and describes its panel in view().
class GoNgRun : public QObject
{
    Q_OBJECT
public:
    explicit GoNgRun(Timer& timer, QObject* parent = nullptr);

    // "View Test Control Panel", after the record name was composed and the grid read back.
    // Clears Real and Pass of every step. The list stays the caller's and must outlive the open
    // panel; its size at this moment is the N of the whole run. False, changing nothing, when
    // empty.
    bool open(QList<GoNgStep>* steps);
    // "Run": one timed pass from step 1, keeping the results of earlier passes until each step
    // is judged again. Ignored while hidden. Throws VoltarisError, sending nothing, when step
    // 1's delay is no timer interval.
    void run();
    // "Step": sends the next step; after the last one it starts again at step 1. Stores nothing.
    void step();
    // "Stop": closes the panel and stores nothing. The instrument keeps the last voltage sent.
    void stop();

    // A currents reply while the panel is shown: measuredCurrent (A) is the selected channel's
    // current that reply put on its readout. Judges the step last sent (step 1 before any was
    // sent): Pass when Min <= measured <= Max. Ignored while the panel is hidden.
    void judge(double measuredCurrent);

    const GoNgRunView& view() const { return m_view; }
    // Steps sent in the current pass (CurrentStep); stays N after a timed run has ended.
    int sentInPass() const { return m_sent; }

signals:
    // Show the voltage on the selected channel's voltage knob and display and send it with
    // SetVoltageText; the current set-point is not touched.
    void applySetting(double volts);
    // The step at this list index got a new Real and Pass; its grid row needs refreshing.
    void stepJudged(int index);
    // A timed run has sent and held its last step; the timer is already stopped and the
    // finished state not yet shown. The place to record the run. Emitted once per timed run.
    void timedRunCompleted();
    void viewChanged();
    // A timer tick could not go on: a delay that is no timer interval, or recording the run
    // failed (the message is the recorder's). The timer is stopped.
    void failed(const QString& message);

private:
    void tick();
    const GoNgStep& stepAt(int index) const;

    Timer& m_timer;
    QList<GoNgStep>* m_steps = nullptr;
    int m_sent = 0;
    GoNgRunView m_view;
};
