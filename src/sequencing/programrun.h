#pragma once

#include "sequencing/steps.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class Timer;

// What the program control panel PanelProgram shows; the main window copies it into its labels
// and buttons on every viewChanged().
struct ProgramRunView
{
    int allSteps = 0;    // "All steps": the step count N taken when the panel opened
    int currentStep = 1; // "Current step": number of the step last sent, from 1
    int runTimes = 1;    // "Run Times": number of the pass in progress, from 1
    bool finishedShown = false;
    bool runEnabled = true;
    bool stepEnabled = true;
    bool runDown = false; // the "Run" toggle button's down state
    int gridRow = 0; // the program grid's current row, 1-based; 0 while the run has not moved it
    bool panelShown = false;
};

// The "RunTimes" choice, as the radio group's item index and RunTimesMode store it.
enum RunTimesChoice : int
{
    RunTimesOnce = 0,
    RunTimesRepeat = 1,
    RunTimesCustom = 2
};

// The program run of the selected channel: sends the steps of a program list one after the
// other, each held for its own Delay by the program timer, for one pass, repeatedly or a set
// number of passes; or one step per "Step". Knows no widget: it asks for each step through
// applyStep() and describes its panel in view().
class ProgramRun : public QObject
{
    Q_OBJECT
public:
    explicit ProgramRun(Timer& timer, QObject* parent = nullptr);

    // Read when a pass ends, so a choice made during a run counts for that run: the RunTimes
    // item (RunTimesChoice) and the custom count entry's value. Unset means "Once".
    std::function<int()> runTimesMode;
    std::function<int()> customCount;

    // "View Test Control Panel". The list stays the caller's and must outlive the open panel;
    // its size at this moment is the N of the whole run. False, changing nothing, when empty.
    bool open(const QList<ProgramStep>* steps);
    // "Run" pressed: flips the toggle and starts a timed pass at step 1. Ignored while disabled.
    // Throws VoltarisError, sending nothing, when step 1's delay is no timer interval.
    void run();
    // "Step": sends the next step without the timer; past the last step it starts again at
    // step 1 as a further pass. Ignored while disabled.
    void step();
    // "Stop": closes the panel. Sends nothing: the instrument keeps the last step sent.
    void stop();

    const ProgramRunView& view() const { return m_view; }
    // Steps sent in the current pass (CurrentStep); 0 when the panel opens and after a finish.
    int sentInPass() const { return m_sent; }

signals:
    // Set the selected channel's knobs and displays to the step and send it with
    // SetVoltageCurrentText.
    void applyStep(const ProgramStep& step);
    void viewChanged();
    // A timer tick could not go on (a delay that is no timer interval); the timer is stopped.
    void failed(const QString& message);

private:
    void tick();
    void startPass();
    void finish();
    const ProgramStep& stepAt(int index) const;
    int choice() const;

    Timer& m_timer;
    const QList<ProgramStep>* m_steps = nullptr;
    int m_sent = 0;
    ProgramRunView m_view;
};
