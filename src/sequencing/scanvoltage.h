#pragma once

#include <QList>
#include <QString>

struct ScanSetting;

// The voltage list of one channel's scan, built from a copy of its settings when the scan
// panel opens.
class TScanVoltage
{
public:
    double start = 0;     // V
    double step = 0;      // V; its sign is turned by BuildScanPoints to follow start → stop
    double stop = 0;      // V
    QList<double> Points; // V, in the order they are sent
    int PointCount = 0;

    // |a| + 1 points, a being (stop − start) / step rounded half to even; each point is
    // start + i × step worked out from start, and the last one is stop exactly. Returns
    // PointCount. Throws VoltarisError, leaving the points as they were, when the step gives
    // no countable number of points (a step of 0 among them).
    int BuildScanPoints();
};

// What the scan entries' change handling does with one new entry text.
struct ScanEntryResult
{
    bool ignore = false;     // the text is empty (or the tag unknown): nothing to do
    QString replacementText; // when not empty, the entry's text becomes this (the maximum)
    double storedValue = 0;  // the value for the setting the tag names
};

// Entry tags: 0 "StartValue", 1 "StopValue", 2 "VoltageStep" (all V, bounded above by
// maxVoltage), 3 "Delay" (s, not bounded). A text with no digit, such as "." on the way to a
// number, stores 0. Throws VoltarisError quoting the text when its whole part is too large.
ScanEntryResult scanEntryChanged(int tag, const QString& text, double maxVoltage);

// Stores value in the field of setting that the entry tag names; other tags change nothing.
void storeScanEntry(ScanSetting& setting, int tag, double value);
