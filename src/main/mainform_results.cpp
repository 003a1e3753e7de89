// The GO/NG recorder controls, recording a completed run, and "Report Operation".
#include "mainform.h"

#include "platform/clock.h"
#include "platform/errors.h"
#include "results/dlggongdatabase.h"
#include "results/resultstore.h"
#include "results/runnaming.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

void TFormmain::buildRecorder()
{
    // Negative counts can be typed and are turned into 0, rather than refused by the box.
    TeThemeSpinEdit1->setRange(-999999, 999999);
    connect(TeThemeSpinEdit1, &QSpinBox::valueChanged, this, [this](int value) {
        if (value < 0)
            TeThemeSpinEdit1->setValue(ClampRunCounter(value));
    });
    for (QRadioButton* option : {TeThemeRadioButton1, TeThemeRadioButton2})
        connect(option, &QRadioButton::clicked, this, [this] {
            TeThemeEdit1->setEnabled(TeThemeRadioButton2->isChecked());
            TeThemeSpinEdit1->setEnabled(TeThemeRadioButton1->isChecked());
        });
    TeThemeEdit1->installEventFilter(this);
    connect(TeThemeSpeedButton6, &QToolButton::clicked, this, &TFormmain::OpenResultsBrowser);
}

void TFormmain::ComposeRecorderName()
{
    TeThemeEdit1->setText(ComposeRunName(TeThemeRadioButton1->isChecked(), RecorderBaseName,
                                         TeThemeSpinEdit1->value(), TeThemeEdit1->text()));
}

void TFormmain::RecordGoNGRun()
{
    if (!m_resultStore)
        return;
    const int c = selectedChannel();
    try {
        m_resultStore->RecordGoNGRun(TeThemeEdit1->text(), GoNgLists[c], m_clock.currentDateTime(),
                                     c + 1);
        if (TeThemeRadioButton1->isChecked())
            TeThemeSpinEdit1->setValue(NextRunCounter(TeThemeSpinEdit1->text()));
    } catch (const VoltarisError& error) {
        showError(error.message());
    }
}

void TFormmain::OpenResultsBrowser()
{
    if (m_resultsBrowser)
        m_resultsBrowser->OpenResultsBrowser();
}
