#include "dlgfastkey.h"

#include "settings/loadsource.h"
#include "widgets/analogoutput.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

void loadEntry(AnalogOutput* entry, const QString& text)
{
    if (!entry->setText(text))
        entry->setValue(0);
}

} // namespace

TFormFastKey::TFormFastKey(const TLoadSource& texts, QWidget* parent) : QDialog(parent)
{
    setObjectName("TFormFastKey");
    setWindowTitle("HotKey");
    // Close is the window's only button besides "Ok"; it closes without the OK result.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* column = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    StaticText7 = new QLabel("Voltage(V)", this);
    StaticText7->setObjectName("StaticText7");
    iAnalogOutput1 = new AnalogOutput(this);
    iAnalogOutput1->setObjectName("iAnalogOutput1");
    iAnalogOutput1->setUnit("V");
    StaticText1 = new QLabel("Current(A)", this);
    StaticText1->setObjectName("StaticText1");
    iAnalogOutput2 = new AnalogOutput(this);
    iAnalogOutput2->setObjectName("iAnalogOutput2");
    iAnalogOutput2->setUnit("A");
    for (AnalogOutput* entry : {iAnalogOutput1, iAnalogOutput2}) {
        // Set-points have no sign.
        entry->setMinimum(0);
        entry->setPrecision(4);
    }
    StaticText7->setBuddy(iAnalogOutput1);
    StaticText1->setBuddy(iAnalogOutput2);
    grid->addWidget(StaticText7, 0, 0);
    grid->addWidget(iAnalogOutput1, 0, 1);
    grid->addWidget(StaticText1, 1, 0);
    grid->addWidget(iAnalogOutput2, 1, 1);
    column->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    tbOk = new QPushButton("Ok", this);
    tbOk->setObjectName("tbOk");
    tbOk->setDefault(true);
    buttons->addWidget(tbOk);
    column->addLayout(buttons);
    connect(tbOk, &QPushButton::clicked, this, &TFormFastKey::accept);

    ApplyLanguageTexts(texts);
}

void TFormFastKey::ApplyLanguageTexts(const TLoadSource& texts)
{
    setWindowTitle(texts.GetText(28));
    StaticText7->setText(texts.GetText(7));
    StaticText1->setText(texts.GetText(8));
    tbOk->setText(texts.GetText(71));
}

void TFormFastKey::setPrecision(int decimals)
{
    iAnalogOutput1->setPrecision(decimals);
    iAnalogOutput2->setPrecision(decimals);
}

void TFormFastKey::setLimits(double maxVoltage, double maxCurrent)
{
    iAnalogOutput1->setMaximum(maxVoltage);
    iAnalogOutput2->setMaximum(maxCurrent);
}

void TFormFastKey::loadCaption(const QString& caption)
{
    const qsizetype slash = caption.indexOf(u'/');
    if (slash < 0) {
        iAnalogOutput1->setValue(0);
        iAnalogOutput2->setValue(0);
        return;
    }
    loadEntry(iAnalogOutput1, caption.left(slash));
    loadEntry(iAnalogOutput2, caption.mid(slash + 1));
}

QString TFormFastKey::caption() const
{
    return iAnalogOutput1->text() + u'/' + iAnalogOutput2->text();
}

FastKey TFormFastKey::pair() const
{
    return FastKey{iAnalogOutput1->value(), iAnalogOutput2->value()};
}
