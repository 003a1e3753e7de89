#include "dlgfixedselect.h"

#include "settings/loadsource.h"
#include "widgets/analogoutput.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFormFixedSelect::TFormFixedSelect(const TLoadSource& texts, QWidget* parent)
    : QDialog(parent), m_texts(texts)
{
    setObjectName(QStringLiteral("FormFixedSelect"));
    // Close is the only way out besides "Ok": no minimise, maximise or help button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    TeThemeLabelFillValue = new QLabel(QStringLiteral("FillValue"), this);
    TeThemeLabelFillValue->setObjectName(QStringLiteral("TeThemeLabelFillValue"));
    iAnalogOutputFixed = new AnalogOutput(this);
    iAnalogOutputFixed->setObjectName(QStringLiteral("iAnalogOutputFixed"));
    // Every column a fill can reach holds a magnitude; the grids read no sign either.
    iAnalogOutputFixed->setMinimum(0);
    iAnalogOutputFixed->setPrecision(4);
    TeThemeLabelFillValue->setBuddy(iAnalogOutputFixed);

    tbOk = new QPushButton(QStringLiteral("Ok"), this);
    tbOk->setObjectName(QStringLiteral("tbOk"));
    tbOk->setDefault(true);
    tbOk->setAutoDefault(true);
    connect(tbOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* entryRow = new QHBoxLayout;
    entryRow->addWidget(TeThemeLabelFillValue);
    entryRow->addWidget(iAnalogOutputFixed, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(tbOk);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(entryRow);
    layout->addLayout(buttonRow);

    ApplyLanguageTexts();
}

double TFormFixedSelect::value() const
{
    return iAnalogOutputFixed->value();
}

void TFormFixedSelect::setValue(double value)
{
    iAnalogOutputFixed->setValue(value);
}

void TFormFixedSelect::ApplyLanguageTexts()
{
    setWindowTitle(m_texts.GetText(80));
    TeThemeLabelFillValue->setText(m_texts.GetText(150));
    tbOk->setText(m_texts.GetText(71));
}
