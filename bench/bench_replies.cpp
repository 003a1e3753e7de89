// Handling of one readings reply by the real main window: split, parse, six readouts and six
// plot points; the queued replot is left to the event loop and not measured here.
#include "link/instrumentlink.h"
#include "main/mainform.h"
#include "platform/clock.h"
#include "platform/portprobe.h"
#include "platform/programfolder.h"
#include "settings/loadsource.h"
#include "settings/powertypes.h"

#include "benchmain.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A link whose every notification carries the same reply.
class FixedReplyLink : public InstrumentLink
{
public:
    QString reply;
    void PrepareLink(short) override {}
    void ResetLink() override {}
    void SetPortNumber(short) override {}
    void SetBaudRate(int) override {}
    void OpenLink() override {}
    void InitQuery1() override {}
    void InitQuery2() override {}
    void InitQuery3() override {}
    void InitQuery4() override {}
    void PollQuery1() override {}
    void PollQuery2() override {}
    void CloseLink() override {}
    QString GetReceivedText() override { return reply; }
    void SetOutputState(const QString&) override {}
    void SelectChannel(const QString&) override {}
    void SetVoltage(double) override {}
    void SetCurrent(double) override {}
    void SetVoltageText(const QString&) override {}
    void SetVoltageCurrentText(const QString&, const QString&) override {}
};

class NoPorts : public PortProbe
{
public:
    bool portExists(int) const override { return false; }
    bool portIsFree(int) const override { return false; }
};

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void BM_HandleReadingsReply(benchmark::State& state)
{
    QTemporaryDir folder;
    setProgramFolder(folder.path());
    TLoadSource english;
    english.LoadBuiltInEnglish();
    writeFile(programFile("English (United States)"), writeLanguageTexts(english.Texts));
    TPowerType model;
    model.Name = "VLT3303";
    const double maxima[6] = {30, 3, 30, 3, 5, 3};
    std::copy(std::begin(maxima), std::end(maxima), model.maxima);
    model.Precision = 3;
    writeFile(programFile("PowerType.dat"), writePowerTypes({model}));

    VirtualClock clock;
    FixedReplyLink link;
    NoPorts ports;
    MainFormDeps deps;
    deps.clock = &clock;
    deps.link = &link;
    deps.ports = &ports;
    deps.showError = [](const QString&) {};
    TFormmain form(deps);
    form.resize(1400, 900);
    form.show();
    VirtualClock::processEvents();

    link.reply = "67:12.001,4.998,1.502\n0.500,0.499,0.300\r\n";
    for (auto _ : state)
        form.AmperoOcx1ReceiveData();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HandleReadingsReply)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
