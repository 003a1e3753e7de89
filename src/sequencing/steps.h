#pragma once

#include <QtGlobal>

// One step of a channel's program list: a set-point held for Delay seconds.
struct ProgramStep
{
    double Voltage = 0;  // V
    double Current = 0;  // A
    double Delay = 1.0;  // s
    quint8 Reserved = 0;
};

// One step of a channel's GO/NG list: Setting is applied for Delay seconds and the measured
// current is judged against Min..Max. Real and Pass hold the last judgement.
struct GoNgStep
{
    double Setting = 0;  // V
    double Max = 0;      // A
    double Min = 0;      // A
    double Delay = 1.0;  // s
    double Real = 0;     // A
    quint8 Pass = 0;     // 1 passed, 0 failed or not judged
};

// One hotkey: the set-point pair applied to the selected channel by a click.
struct FastKey
{
    double Voltage = 0;  // V
    double Current = 0;  // A
};

// The voltage scan settings of one channel.
struct ScanSetting
{
    double ScanStart = 0;  // V
    double ScanStop = 0;   // V
    double ScanStep = 0;   // V
    double ScanDelay = 0;  // s
};
