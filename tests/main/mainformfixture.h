#pragma once

#include "testsupport.h"

#include "link/amperoocx.h"
#include "link/porttable.h"
#include "link/recordinglink.h"
#include "main/mainform.h"
#include "platform/clock.h"
#include "platform/portprobe.h"
#include "platform/programfolder.h"
#include "sequencing/dlgfastkey.h"
#include "sequencing/dlgfixedselect.h"
#include "sequencing/dlgscanvoltage.h"
#include "settings/dlgconfigsys.h"
#include "settings/loadsource.h"
#include "settings/powertypes.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Ports for tests: a set of existing ports, some of them busy.
class FakePorts : public PortProbe
{
public:
    QList<int> existing{1, 2, 3};
    QList<int> busy;
    bool portExists(int n) const override { return existing.contains(n); }
    bool portIsFree(int n) const override { return existing.contains(n) && !busy.contains(n); }
};

inline TPowerType powerType(const QString& name, std::array<double, 6> maxima, quint8 precision = 3)
{
    TPowerType row;
    row.Name = name;
    std::copy(maxima.begin(), maxima.end(), row.maxima);
    row.Precision = precision;
    return row;
}

// A main window in a program folder of its own, on virtual time, talking to a RecordingLink.
struct MainFormFixture
{
    QTemporaryDir folder;
    VirtualClock clock;
    RecordingLink link{clock};
    FakePorts ports;
    QStringList errors;
    // Stands in for the modal run of the configuration dialog when set.
    std::function<int(TFormConfigSys&)> execConfigDialog;
    // What the file dialogs answer, and the answer to "close without saving?".
    QString saveFileChoice;
    QString openFileChoice;
    std::function<bool(const QString&)> confirmCloseUnsaved;
    // The real link control over the default port table, when useRealLink() was called.
    std::unique_ptr<PortTable> realPorts;
    std::unique_ptr<AmperoOcx> realLink;
    std::unique_ptr<TFormmain> form;
    std::unique_ptr<TFormFastKey> fastKeyDialog;
    std::unique_ptr<TFormScanVoltage> scanPlot;
    std::unique_ptr<TFormConfigSys> configDialog;
    std::unique_ptr<TFormFixedSelect> fillDialog;
    std::function<int(TFormFastKey&)> execFastKeyDialog;
    std::function<int(TFormFixedSelect&)> execFillDialog;

    MainFormFixture()
    {
        setProgramFolder(folder.path());
        TLoadSource english;
        english.LoadBuiltInEnglish();
        writeTestFile(programFile("English (United States)"), writeLanguageTexts(english.Texts));
        setPowerTypes({powerType("VLT3303", {30, 3, 30, 3, 5, 3})});
    }
    ~MainFormFixture()
    {
        fillDialog.reset();
        configDialog.reset();
        scanPlot.reset();
        fastKeyDialog.reset();
        form.reset();
    }

    AmperoOcx& useRealLink()
    {
        realPorts = std::make_unique<PortTable>();
        realLink = std::make_unique<AmperoOcx>(clock, *realPorts);
        return *realLink;
    }

    void setPowerTypes(const QList<TPowerType>& rows)
    {
        writeTestFile(programFile("PowerType.dat"), writePowerTypes(rows));
    }

    MainFormDeps deps()
    {
        MainFormDeps d;
        d.clock = &clock;
        d.link = realLink ? static_cast<InstrumentLink*>(realLink.get()) : &link;
        d.ports = realPorts ? static_cast<const PortProbe*>(realPorts.get()) : &ports;
        d.showError = [this](const QString& message) { errors << message; };
        d.execConfigDialog = [this](TFormConfigSys& dialog) {
            return execConfigDialog ? execConfigDialog(dialog) : int(QDialog::Rejected);
        };
        d.execFastKeyDialog = [this](TFormFastKey& dialog) {
            return execFastKeyDialog ? execFastKeyDialog(dialog) : int(QDialog::Rejected);
        };
        d.execFillDialog = [this](TFormFixedSelect& dialog) {
            return execFillDialog ? execFillDialog(dialog) : int(QDialog::Rejected);
        };
        d.chooseSaveFile = [this](const QString&, const QString&) { return saveFileChoice; };
        d.chooseOpenFile = [this](const QString&, const QString&) { return openFileChoice; };
        d.confirmCloseUnsaved = [this](const QString& message) {
            return confirmCloseUnsaved ? confirmCloseUnsaved(message) : true;
        };
        return d;
    }

    TFormmain& create()
    {
        form = std::make_unique<TFormmain>(deps());
        fastKeyDialog = std::make_unique<TFormFastKey>(form->loadSource());
        form->setFastKeyDialog(fastKeyDialog.get());
        scanPlot = std::make_unique<TFormScanVoltage>(clock, form->loadSource());
        form->setScanPlotWindow(scanPlot.get());
        configDialog = std::make_unique<TFormConfigSys>(form->loadSource());
        configDialog->setErrorHandler([this](const QString& message) { errors << message; });
        form->setConfigDialog(configDialog.get());
        fillDialog = std::make_unique<TFormFixedSelect>(form->loadSource());
        form->setFillDialog(fillDialog.get());
        return *form;
    }

    // Creates and shows the window; nothing has been sent but PrepareLink.
    TFormmain& start()
    {
        create();
        form->show();
        return *form;
    }

    // Starts, lets the first tick make a connection attempt and answers it with an identity.
    TFormmain& startConnected(const QString& identity = "37:Sim,VLT3303,SN1,1.0")
    {
        start();
        clock.advance(500);
        reply(identity);
        link.clear();
        return *form;
    }

    void reply(const QString& text)
    {
        link.deliver(text);
        clock.advance(0);
    }

    QString status(int panel) const { return form->statusPanels[panel]->text(); }

    QString text(int key) const { return form->loadSource().GetText(key); }
};
