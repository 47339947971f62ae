// The options dialog: its interval label, and the view's Options command: what is stored, what
// the running list takes over, and the timer afterwards.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "ActivitySettings.h"
#include "DbTestSupport.h"
#include "GuiTestSupport.h"
#include "SettingsStore.h"
#include "dialogs/OptionsDialog.h"
#include "sessionview/NimbraView.h"
#include "widgets/MessageBox.h"

namespace {
QSlider* slider(const QDialog& d) {
    return d.findChild<QSlider*>("slider1001");
}
QString interval(const QDialog& d) {
    return d.findChild<QLabel*>("interval1004")->text();
}

// -1 when the value is not in the store.
int stored(const char* entry) {
    return SettingsStore::GetProfileInt("Options", entry, -1);
}
}  // namespace

class tst_Options : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsLocation> m_settings;

private slots:
    void init() {
        m_settings = std::make_unique<SettingsLocation>();
        resetDatabase();
        AnswerUnexpectedBoxes();
    }
    void cleanup() { VerifyNothingLeftBehind(); }

    void intervalLabel_data() {
        QTest::addColumn<int>("moveTo");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("label");
        QTest::newRow("left end is off") << 0 << 0 << "OFF";
        QTest::newRow("moved to 15") << 15 << 15 << "15";
        QTest::newRow("300 stops at 60") << 300 << 60 << "60";
    }
    void intervalLabel() {
        QFETCH(int, moveTo);
        QFETCH(int, position);
        QFETCH(QString, label);
        COptionsDialog d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(QApplication::focusWidget(), slider(d));
        slider(d)->setValue(moveTo);
        QCOMPARE(d.RefreshSec(), position);
        QCOMPARE(interval(d), label);
    }

    // Turned off with OK, the stored log-on's password is forgotten; turned on, nothing is.
    void rememberPassword_data() {
        QTest::addColumn<int>("before");  // -1: not stored
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("password");
        QTest::newRow("on by default, off with OK") << -1 << true << 0 << "";
        QTest::newRow("off, then Cancel") << 1 << false << 1 << "manager";
        QTest::newRow("turned on") << 0 << true << 1 << "manager";
    }
    void rememberPassword() {
        QFETCH(int, before);
        QFETCH(bool, ok);
        QFETCH(int, after);
        QFETCH(QString, password);
        SettingsStore::WriteProfileValues("Connect", {{"Usr", "system"}, {"Pwd", "manager"}});
        if (before >= 0) {
            SettingsStore::WriteProfileInt("Options", "RememberPassword", before);
        }
        COptionsDialog d;
        auto* check = d.findChild<QCheckBox*>("rememberPassword1006");
        QCOMPARE(check->text(), QString("Remember password"));
        QCOMPARE(check->isChecked(), before != 0);
        QCOMPARE(d.findChild<QCheckBox*>("autoLogin1005")->nextInFocusChain(), check);
        check->click();
        ok ? d.accept() : d.reject();
        QCOMPARE(SettingsStore::GetProfileInt("Options", "RememberPassword", 1), after);
        QCOMPARE(SettingsStore::GetProfileString("Connect", "Pwd"), password);
    }

    // On a list of four user sessions and two server processes; AutoLogin stored as 1.
    // The sampling of activity: on, every second, seven days until chosen; a stored number out of
    // range reads held to it.
    void activitySampling_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QList<int>>("shown");  // sample, seconds, days
        QTest::newRow("nothing stored") << QByteArray() << QList<int>{1, 1, 7};
        QTest::newRow("out of range")
            << QByteArray("Sample=0\nSampleSec=0\nKeepDays=9999") << QList<int>{0, 1, 366};
        QTest::newRow("chosen") << QByteArray("Sample=1\nSampleSec=5\nKeepDays=30")
                                << QList<int>{1, 5, 30};
    }
    void activitySampling() {
        QFETCH(QByteArray, stored);
        QFETCH(QList<int>, shown);
        for (const QByteArray& line : stored.split('\n')) {
            if (!line.isEmpty()) {
                SettingsStore::WriteProfileString("Activity", line.split('=')[0],
                                                  line.split('=')[1]);
            }
        }
        COptionsDialog d;
        auto* sample = d.findChild<QCheckBox*>("sample1007");
        auto* seconds = d.findChild<QSpinBox*>("sampleSec1008");
        auto* days = d.findChild<QSpinBox*>("keepDays1009");
        QCOMPARE((QList<int>{sample->isChecked(), seconds->value(), days->value()}), shown);
        sample->click();
        seconds->setValue(10);
        d.accept();
        const ActivitySettings saved = ActivitySettings::Load();
        QCOMPARE(saved.Sample, shown[0] == 0);
        QCOMPARE(saved.SampleSec, 10);
        QCOMPARE(saved.KeepDays, shown[2]);
    }

    void command_data() {
        QTest::addColumn<int>("storedSec");
        QTest::addColumn<int>("moveTo");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("viewSec");
        QTest::addColumn<int>("refreshes");
        QTest::addColumn<int>("listed");
        QTest::newRow("15 to 0, OK") << 15 << 0 << "OK" << 0 << 1 << 6;
        QTest::newRow("300, OK") << 300 << -1 << "OK" << 60 << 1 << 6;
        QTest::newRow("moved, Cancel") << 15 << 40 << "Cancel" << 15 << 0 << 0;
        QTest::newRow("moved, Escape") << 300 << 40 << "Escape" << 60 << 0 << 0;
    }
    void command() {
        QFETCH(int, storedSec);
        QFETCH(int, moveTo);
        QFETCH(QString, how);
        QFETCH(int, viewSec);
        QFETCH(int, refreshes);
        QFETCH(int, listed);
        SettingsStore::WriteProfileInt("Options", "RefreshSec", storedSec);
        SettingsStore::WriteProfileInt("Options", "AutoLogin", 1);
        sim::Controls::instance().defineScenario("six", mixedScenario(6, 2));
        QVERIFY(LogOn("system", "manager", "sim:six"));
        CNimbraView view;

        bool opened = false;
        QTimer probe;
        probe.setSingleShot(true);
        connect(&probe, &QTimer::timeout, [&] {
            auto* d = qobject_cast<COptionsDialog*>(QApplication::activeModalWidget());
            if (!d) {
                return;
            }
            opened = true;
            QCOMPARE(d->parentWidget(), view.window());
            QCOMPARE(view.TimerId(), 0);
            QVERIFY(d->findChild<QCheckBox*>("autoLogin1005")->isChecked());
            if (moveTo >= 0) {
                slider(*d)->setValue(moveTo);
            }
            QTest::mouseClick(d->findChild<QCheckBox*>("showSystem1003"), Qt::LeftButton);
            QTest::mouseClick(d->findChild<QCheckBox*>("autoLogin1005"), Qt::LeftButton);
            if (how == "OK") {
                QTest::mouseClick(d->findChild<QPushButton*>("okButton"), Qt::LeftButton);
            } else if (how == "Cancel") {
                QTest::mouseClick(d->findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
            } else {
                QTest::keyClick(slider(*d), Qt::Key_Escape);
            }
            if (d->isVisible()) {
                d->done(-2);
            }
        });
        probe.start(0);
        view.OnOptions();

        const bool ok = how == "OK";
        QVERIFY(opened);
        QCOMPARE(view.RefreshSeconds(), viewSec);
        QCOMPARE(view.ShowSystem(), ok);
        QCOMPARE(view.TimerId() != 0, viewSec != 0);
        QCOMPARE(countOf(sim::Controls::instance().statementLog(),
                         "SELECT count(*) FROM sys.v_$session"),
                 refreshes);
        QCOMPARE(view.Sessions()->GetItemCount(), listed);
        QCOMPARE(stored("RefreshSec"), ok ? viewSec : storedSec);
        QCOMPARE(stored("ShowSystem"), ok ? 1 : -1);
        QCOMPARE(stored("AutoLogin"), ok ? 0 : 1);
    }
};

QTEST_MAIN(tst_Options)
#include "tst_options.moc"
