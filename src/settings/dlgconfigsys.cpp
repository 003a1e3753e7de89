#include "dlgconfigsys.h"

#include "platform/errors.h"
#include "platform/portprobe.h"
#include "settings/configfile.h"
#include "settings/loadsource.h"
#include "widgets/analogoutput.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

TFormConfigSys::TFormConfigSys(const TLoadSource& texts, QWidget* parent) : QDialog(parent)
{
    setObjectName("TFormConfigSys");
    setWindowTitle("Config");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(377, 250);
    m_showError = [this](const QString& message) { QMessageBox::critical(this, windowTitle(), message); };

    auto* column = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    GroupBox1 = new QGroupBox("Comm", this);
    GroupBox1->setObjectName("GroupBox1");
    auto* comm = new QGridLayout(GroupBox1);
    Label2 = new QLabel("BaudRate", GroupBox1);
    Label2->setObjectName("Label2");
    TeThemeComboBoxRaudRate = new QComboBox(GroupBox1);
    TeThemeComboBoxRaudRate->setObjectName("TeThemeComboBoxRaudRate");
    TeThemeComboBoxRaudRate->setEditable(true);
    TeThemeComboBoxRaudRate->addItems({"4800", "9600", "19200", "38400"});
    TeThemeComboBoxRaudRate->setMaxVisibleItems(4);
    TeThemeComboBoxRaudRate->setEditText("9600");
    Label1 = new QLabel("CommPort", GroupBox1);
    Label1->setObjectName("Label1");
    TeThemeComboBoxComm = new QComboBox(GroupBox1);
    TeThemeComboBoxComm->setObjectName("TeThemeComboBoxComm");
    TeThemeComboBoxComm->setEditable(true);
    TeThemeComboBoxComm->setEditText("Com1");
    comm->addWidget(Label2, 0, 0);
    comm->addWidget(TeThemeComboBoxRaudRate, 0, 1);
    comm->addWidget(Label1, 1, 0);
    comm->addWidget(TeThemeComboBoxComm, 1, 1);
    top->addWidget(GroupBox1);
    TeThemeCheckBoxLastParam = new QCheckBox("Reload last parameter", this);
    TeThemeCheckBoxLastParam->setObjectName("TeThemeCheckBoxLastParam");
    top->addWidget(TeThemeCheckBoxLastParam);
    column->addLayout(top);

    auto* steps = new QHBoxLayout;
    const QStringList captions{"Key--Arrow", "Key--Page", "Mouse--wheel"};
    const QStringList kinds{"KA", "KP", "MW"};
    auto stepGroup = [&](const QString& name, const QString& title, int set) {
        auto* group = new QGroupBox(title, this);
        group->setObjectName(name);
        auto* grid = new QGridLayout(group);
        for (int i = 0; i < 3; ++i) {
            auto* label = new QLabel(captions[i], group);
            label->setObjectName("StaticText" + QString::number(set * 3 + i + 1));
            auto* field = new AnalogOutput(group);
            field->setObjectName("iAnalogOutput" + kinds[i] + QString::number(set + 1));
            field->setPrecision(2);
            field->setUnit(set == 0 ? "V" : "A");
            field->setValue(0.01);
            grid->addWidget(label, i, 0);
            grid->addWidget(field, i, 1);
            StaticText[set * 3 + i] = label;
            (set == 0 ? voltageStepFields : currentStepFields)[i] = field;
        }
        steps->addWidget(group);
        return group;
    };
    GroupBox3 = stepGroup("GroupBox3", "VoltageStep", 0);
    GroupBox2 = stepGroup("GroupBox2", "CurrentStep", 1);
    column->addLayout(steps);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    TeThemeButton2 = new QPushButton("Ok", this);
    TeThemeButton2->setObjectName("TeThemeButton2");
    TeThemeButton2->setDefault(true);
    TeThemeButton1 = new QPushButton("Cancel", this);
    TeThemeButton1->setObjectName("TeThemeButton1");
    buttons->addWidget(TeThemeButton2);
    buttons->addWidget(TeThemeButton1);
    column->addLayout(buttons);
    connect(TeThemeButton2, &QPushButton::clicked, this, &TFormConfigSys::accept);
    connect(TeThemeButton1, &QPushButton::clicked, this, &TFormConfigSys::reject);

    ApplyLanguageTexts(texts);
}

void TFormConfigSys::ApplyLanguageTexts(const TLoadSource& texts)
{
    setWindowTitle(texts.GetText(1));
    GroupBox1->setTitle(texts.GetText(62));
    Label2->setText(texts.GetText(63));
    Label1->setText(texts.GetText(64));
    TeThemeCheckBoxLastParam->setText(texts.GetText(65));
    GroupBox3->setTitle(texts.GetText(66));
    for (int i = 0; i < 6; ++i)
        StaticText[i]->setText(texts.GetText(67 + i % 3));
    GroupBox2->setTitle(texts.GetText(70));
    TeThemeButton2->setText(texts.GetText(71));
    TeThemeButton1->setText(texts.GetText(72));
}

void TFormConfigSys::setErrorHandler(std::function<void(const QString&)> handler)
{
    m_showError = std::move(handler);
}

void TFormConfigSys::FillPortList(const PortProbe& ports)
{
    const QString editText = TeThemeComboBoxComm->currentText();
    TeThemeComboBoxComm->clear();
    int listed = 0;
    for (int n = 1; n <= 36; ++n) {
        if (!ports.portExists(n))
            continue;
        // A port something else holds open is not offered.
        if (ports.portIsFree(n)) {
            TeThemeComboBoxComm->addItem("COM" + QString::number(n));
            ++listed;
        }
    }
    TeThemeComboBoxComm->setMaxVisibleItems(qMax(1, listed));
    TeThemeComboBoxComm->setEditText(editText);
}

void TFormConfigSys::setValues(const ConfigDialogValues& values)
{
    TeThemeComboBoxRaudRate->setEditText(values.baudRateText);
    TeThemeComboBoxComm->setEditText(values.portText);
    for (int i = 0; i < 3; ++i) {
        voltageStepFields[i]->setValue(values.voltageSteps[i]);
        currentStepFields[i]->setValue(values.currentSteps[i]);
    }
    TeThemeCheckBoxLastParam->setChecked(values.reloadLastParam);
}

ConfigDialogValues TFormConfigSys::values() const
{
    ConfigDialogValues values;
    values.baudRateText = TeThemeComboBoxRaudRate->currentText();
    values.portText = TeThemeComboBoxComm->currentText();
    for (int i = 0; i < 3; ++i) {
        values.voltageSteps[i] = voltageStepFields[i]->value();
        values.currentSteps[i] = currentStepFields[i]->value();
    }
    values.reloadLastParam = TeThemeCheckBoxLastParam->isChecked();
    return values;
}

void TFormConfigSys::accept()
{
    const ConfigDialogValues entered = values();
    ConfigDialogResult result;
    try {
        result.commPortIndex = quint8(parsePortIndex(entered.portText));
        result.baudRate = parseBaudRate(entered.baudRateText);
    } catch (const VoltarisError& error) {
        // The dialog stays open and nothing is changed until both texts are numbers.
        m_showError(error.message());
        return;
    }
    result.voltageSteps = entered.voltageSteps;
    result.currentSteps = entered.currentSteps;
    result.reloadLastParam = entered.reloadLastParam;
    m_confirmed = result;
    QDialog::accept();
}
