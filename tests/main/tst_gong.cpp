// A GO/NG run through the real main window: judged on every currents reply, recorded once when
// the timed run ends, named by the recorder controls.
#include "mainformfixture.h"

#include "results/dlggongdatabase.h"
#include "results/resultstore.h"
#include "sequencing/gongrun.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

class TestGoNg : public QObject
{
    Q_OBJECT
private slots:
    void timedRunIsJudgedAndRecorded()
    {
        MainFormFixture f;
        ResultStore store(f.folder.path());
        TFormmain& form = f.startConnected();
        form.setResults(&store, nullptr);
        form.GoNgLists[0] = {GoNgStep{5, 1.0, 0.5, 1, 0, 0}, GoNgStep{6, 1.0, 0.5, 1, 0, 0},
                             GoNgStep{7, 1.0, 0.5, 2, 0, 0}};
        form.TeThemeRadioButton1->click(); // "Auto Name"
        QVERIFY(!form.TeThemeEdit1->isEnabled());
        QVERIFY(form.TeThemeSpinEdit1->isEnabled());
        form.TeThemePageControl->setCurrentIndex(2);
        form.TeThemeSpeedButton8->click();
        QCOMPARE(form.TeThemeEdit1->text(), QString("GoNG0"));
        QCOMPARE(form.StaticText64->text(), f.text(60));
        f.link.clear();
        form.PanelGoNG.run->click();
        QCOMPARE(f.link.callTexts(), QStringList{"SetVoltageText(5)"});
        f.reply("66:0.5,0.2,0.3"); // step 1 at its lower limit: passes
        QCOMPARE(form.StaticText64->text(), f.text(59));
        f.clock.advance(1000);
        f.reply("66:1.0001,0.2,0.3"); // step 2 just above its upper limit: fails
        QCOMPARE(form.GoNgLists[0][1].Pass, quint8(0));
        QCOMPARE(form.TeThemeStringGridGoNg->item(2, 6)->text(), f.text(60));
        f.clock.advance(1000);
        f.reply("66:1.0,0.2,0.3");
        f.clock.advance(2000);
        QVERIFY(form.PanelGoNG.finished->isVisible());
        QCOMPARE(form.TeThemeSpinEdit1->value(), 1);

        store.OpenResultsDatabase();
        QSqlQuery header(QSqlDatabase::database("GoNGRecorder"));
        QVERIFY(header.exec("select Name, Pass from GoNGDateType"));
        QVERIFY(header.next());
        QCOMPARE(header.value(0).toString(), QString("GoNG0"));
        QCOMPARE(header.value(1).toString(), QString("No Pass"));
        QVERIFY(!header.next());
        QSqlQuery steps(QSqlDatabase::database("GoNGRecorder"));
        QVERIFY(steps.exec("select \"Order\", Real, Pass from GoNGRecorder order by \"Order\""));
        QStringList rows;
        while (steps.next())
            rows << QString("%1 %2 %3")
                        .arg(steps.value(0).toInt())
                        .arg(steps.value(1).toDouble())
                        .arg(steps.value(2).toString());
        QCOMPARE(rows, (QStringList{"1 0.5 Pass", "2 1.0001 No Pass", "3 1 Pass"}));
        QVERIFY(f.errors.isEmpty());
    }

    // Two runs from one open panel in "Auto Name" mode carry the same name; "Report Operation"
    // then lists both and offers the name once.
    void reportOperationListsTheRecordedRuns()
    {
        MainFormFixture f;
        ResultStore store(f.folder.path());
        TFormmain& form = f.startConnected();
        TFormGoNGDatabase browser(form.loadSource(), store);
        form.setResults(&store, &browser);
        int rowsShown = -1;
        QStringList namesShown;
        browser.runModal = [&](QDialog&) {
            rowsShown = browser.headerModel()->rowCount();
            for (int i = 0; i < browser.TeThemeComboBox1->count(); ++i)
                namesShown << browser.TeThemeComboBox1->itemText(i);
            return int(QDialog::Rejected);
        };
        browser.showError = [&](const QString& message) { f.errors << message; };

        form.TeThemeSpeedButton6->click(); // nothing recorded yet: an empty list
        QCOMPARE(rowsShown, 0);
        QVERIFY(namesShown.isEmpty());

        form.GoNgLists[0] = {GoNgStep{5, 1.0, 0.5, 1, 0, 0}};
        form.TeThemeRadioButton1->click(); // "Auto Name"
        form.TeThemePageControl->setCurrentIndex(2);
        form.TeThemeSpeedButton8->click();
        for (int run = 0; run < 2; ++run) {
            form.PanelGoNG.run->click();
            f.reply("66:0.7,0.2,0.3");
            f.clock.advance(1000);
            QVERIFY(form.PanelGoNG.finished->isVisible());
        }
        QCOMPARE(form.TeThemeEdit1->text(), QString("GoNG0"));
        QCOMPARE(form.TeThemeSpinEdit1->value(), 2);
        form.PanelGoNG.stop->click();

        form.TeThemeSpeedButton6->click();
        QCOMPARE(rowsShown, 2);
        QCOMPARE(namesShown, QStringList{"GoNG0"});
        const QSqlQueryModel* runs = browser.headerModel();
        QVERIFY(runs->index(0, 2).data().toString() < runs->index(1, 2).data().toString());
        QVERIFY(f.errors.isEmpty());

        form.TeThemeSpeedButton8->click(); // the next opening skips to the counter
        QCOMPARE(form.TeThemeEdit1->text(), QString("GoNG2"));
    }

    void stoppedRunRecordsNothing()
    {
        MainFormFixture f;
        ResultStore store(f.folder.path());
        TFormmain& form = f.startConnected();
        form.setResults(&store, nullptr);
        form.GoNgLists[0] = {GoNgStep{5, 1.0, 0.5, 1, 0, 0}, GoNgStep{6, 1.0, 0.5, 1, 0, 0}};
        form.TeThemeSpeedButton8->click();
        form.PanelGoNG.run->click();
        f.clock.advance(1500);
        form.PanelGoNG.stop->click();
        f.clock.advance(5000);
        QVERIFY(!form.RunPanelOpen);
        QCOMPARE(form.TeThemeEdit1->text(), QString("GoNG")); // "Manu Name": untouched
        store.OpenResultsDatabase();
        QSqlQuery header(QSqlDatabase::database("GoNGRecorder"));
        QVERIFY(header.exec("select count(*) from GoNGDateType"));
        QVERIFY(header.next());
        QCOMPARE(header.value(0).toInt(), 0);
    }
};

QTEST_MAIN(TestGoNg)
#include "tst_gong.moc"
