// Parameter files: Save, Open, and AllParam.Par at close and at start.
#include "mainform.h"

#include "charts/liveplot.h"
#include "platform/errors.h"
#include "platform/programfolder.h"
#include "settings/parameterfile.h"

#include <QCloseEvent>
#include <QToolButton>

namespace {

const QString parameterFilter = "Param files (*.Par)";

} // namespace

void TFormmain::LoadAllParamFromFile(const QString& path)
{
    // The whole file is read before anything held is replaced, so a file that cannot be read
    // leaves the lists as they were.
    const ParameterSet set = loadParameterFile(path);
    FastKeys = set.block.FastKeys;
    ScanSettings = set.block.ScanSettings;
    RunTimesMode = set.block.RunTimesMode;
    RunTimesPadding = set.block.Padding;
    RunTimesCount = set.block.RunTimesCount;
    Reserved = set.block.Spare;
    ProgramLists = set.programLists;
    GoNgLists = set.goNgLists;
    for (int i = 0; i < 10; ++i)
        tbFastKey[i]->setText(set.captions[i]);
}

void TFormmain::SaveAllParamToFile(const QString& path)
{
    TakeProgramGrid();
    TakeGoNgGrid();
    ParameterSet set;
    set.block.FastKeys = FastKeys;
    set.block.ScanSettings = ScanSettings;
    set.block.RunTimesMode = RunTimesMode;
    set.block.Padding = RunTimesPadding;
    set.block.RunTimesCount = RunTimesCount;
    set.block.Spare = Reserved;
    set.programLists = ProgramLists;
    set.goNgLists = GoNgLists;
    for (int i = 0; i < 10; ++i)
        set.captions[i] = tbFastKey[i]->text();
    saveParameterFile(path, set);
}

void TFormmain::tbSaveClick()
{
    const QString path = m_deps.chooseSaveFile(programFolder(), parameterFilter);
    if (!path.isEmpty()) {
        try {
            SaveAllParamToFile(path);
        } catch (const VoltarisError& error) {
            showError(error.message());
        }
    }
    iPlotVoltage->setFocus();
}

void TFormmain::tbOpenClick()
{
    const QString path = m_deps.chooseOpenFile(programFolder(), parameterFilter);
    if (!path.isEmpty()) {
        try {
            LoadAllParamFromFile(path);
            LoadChannelSettings();
        } catch (const VoltarisError& error) {
            showError(error.message());
        }
    }
    iPlotVoltage->setFocus();
}

void TFormmain::closeEvent(QCloseEvent* event)
{
    try {
        SaveAllParamToFile(programFile("AllParam.Par"));
        event->accept();
    } catch (const VoltarisError& error) {
        // The operator decides: stay open (and perhaps free the disk or the folder), or close
        // and lose this session's parameters.
        if (m_deps.confirmCloseUnsaved(error.message()))
            event->accept();
        else
            event->ignore();
    }
}
