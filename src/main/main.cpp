// Voltaris: builds the program's objects in one place and runs the event loop.
#include "link/amperoocx.h"
#include "link/porttable.h"
#include "main/mainform.h"
#include "main/quitsignals.h"
#include "platform/clock.h"
#include "platform/programfolder.h"
#include "results/dlggongdatabase.h"
#include "results/resultstore.h"
#include "sequencing/dlgfastkey.h"
#include "sequencing/dlgfixedselect.h"
#include "sequencing/dlgscanvoltage.h"
#include "settings/dlgconfigsys.h"
#include "widgets/widgetaccessibility.h"

#include <QApplication>
#include <QScreen>
#include <QStyleFactory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Voltaris");
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    installWidgetAccessibility();

    Clock& clock = Clock::system();
    PortTable ports;
    AmperoOcx link(clock, ports);
    ResultStore results(programFolder());  // outlives every window that queries it

    // The windows in their creation order; each lives until the program ends.
    TFormmain mainForm(MainFormDeps{&clock, &link, &ports, {}, {}});
    TFormFastKey fastKeyDialog(mainForm.loadSource(), &mainForm);
    mainForm.setFastKeyDialog(&fastKeyDialog);
    TFormScanVoltage scanPlot(clock, mainForm.loadSource(), &mainForm);
    mainForm.setScanPlotWindow(&scanPlot);
    TFormConfigSys configDialog(mainForm.loadSource(), &mainForm);
    mainForm.setConfigDialog(&configDialog);
    TFormFixedSelect fillDialog(mainForm.loadSource(), &mainForm);
    mainForm.setFillDialog(&fillDialog);
    TFormGoNGDatabase resultsBrowser(mainForm.loadSource(), results, &mainForm);
    mainForm.setResults(&results, &resultsBrowser);

    closeOnQuitSignals(&mainForm);
    // Without a window manager to maximise it, the window still takes the whole screen.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        mainForm.setGeometry(screen->availableGeometry());
    mainForm.showMaximized();
    return app.exec();
}
