// The connect dialog driven by its controls: presets, the host list, the length check, the
// log-on outcomes against the simulated instance, and its layout.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "DbTestSupport.h"
#include "GuiTestSupport.h"
#include "LoginData.h"
#include "ServerHistory.h"
#include "SettingsStore.h"
#include "TableProbes.h"
#include "dialogs/ConnectDialog.h"
#include "widgets/DialogUnits.h"
#include "widgets/MessageBox.h"

namespace {
const QString kTooLong = QStringLiteral("Please enter no more than 30 characters.");
const QString kNoAccess = QStringLiteral(
    "You are connected as a user without DBA access rights!\n"
    "You must be allowed to access sys.v_$session and sys.v_$sqltext.");
const QString kBadLogon =
    QStringLiteral("ORACLE Error\nORA-01017: invalid username/password; logon denied");

QLineEdit* userEdit(const QDialog& d) {
    return d.findChild<QLineEdit*>("userEdit");
}
QLineEdit* passwordEdit(const QDialog& d) {
    return d.findChild<QLineEdit*>("passwordEdit");
}
QComboBox* hostCombo(const QDialog& d) {
    return d.findChild<QComboBox*>("hostCombo");
}
QComboBox* modeCombo(const QDialog& d) {
    return d.findChild<QComboBox*>("connectAsCombo");
}
QPushButton* button(const QDialog& d, const char* name) {
    return d.findChild<QPushButton*>(name);
}

QStringList listed(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
    }
    return items;
}

QStringList stored() {
    const QString section = QStringLiteral("Connect");
    return {SettingsStore::GetProfileString(section, "Usr"),
            SettingsStore::GetProfileString(section, "Pwd"),
            SettingsStore::GetProfileString(section, "Srv")};
}

void remember(const QStringList& hosts) {
    for (const QString& host : hosts) {
        ServerHistory::Remember(host);
    }
}

// Replaces a field's text the way the user does: focus it, select all and type.
void type(QWidget* field, const QString& text) {
    field->setFocus();
    QWidget* edit = field;
    if (auto* combo = qobject_cast<QComboBox*>(field)) {
        edit = combo->lineEdit();
    }
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void fill(const QDialog& d, const QString& user, const QString& password, const QString& host) {
    type(userEdit(d), user);
    type(passwordEdit(d), password);
    type(hostCombo(d), host);
}
}  // namespace

class tst_ConnectDialog : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsLocation> m_settings;
    QStringList m_messages;
    // Whether the wait cursor was up when each message was shown.
    QList<bool> m_waitingAtMessage;

    void openAndFocus(QDialog& d) {
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
    }

private slots:
    void init() {
        m_settings = std::make_unique<SettingsLocation>();
        QVERIFY(m_settings->isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_settings->path()));
        QVERIFY(SettingsStore::FilePath().startsWith(m_settings->path()));
        // An empty host string must not find a real client library on this machine.
        qputenv("NIMBRA_OCI_LIBRARY", "/nonexistent/libclntsh.so");
        resetDatabase();
        m_messages.clear();
        m_waitingAtMessage.clear();
        SetMessageBoxHandler([this](const QString& text, MsgButtons buttons, MsgIcon icon) {
            m_messages << text;
            m_waitingAtMessage << (QApplication::overrideCursor() &&
                                   QApplication::overrideCursor()->shape() == Qt::WaitCursor);
            if (buttons != MsgButtons::Ok || icon != MsgIcon::Warning) {
                qWarning("message without OK button and warning icon: %s", qPrintable(text));
            }
            return IDOK;
        });
        ShowFailuresInMessageBoxes();
    }
    void cleanup() { VerifyNothingLeftBehind(); }

    void opening_data() {
        QTest::addColumn<QStringList>("store");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("focus");
        QTest::newRow("stored log-on") << QStringList{"scott", "tiger", "sim:demo"} << "scott"
                                       << "sim:demo"
                                       << "passwordEdit";
        QTest::newRow("empty store") << QStringList{} << ""
                                     << ""
                                     << "userEdit";
        QTest::newRow("host without user") << QStringList{"", "x", "sim:demo"} << ""
                                           << "sim:demo"
                                           << "userEdit";
    }
    void opening() {
        QFETCH(QStringList, store);
        QFETCH(QString, user);
        QFETCH(QString, host);
        QFETCH(QString, focus);
        if (!store.isEmpty()) {
            LoginData::Save({store[0], store[1], store[2]});
        }
        CConnectDialog d;
        QCOMPARE(d.windowTitle(), QString("Connect Dialog"));
        QCOMPARE(userEdit(d)->text(), user);
        QCOMPARE(passwordEdit(d)->text(), QString());
        QCOMPARE(passwordEdit(d)->echoMode(), QLineEdit::Password);
        QCOMPARE(hostCombo(d)->currentText(), host);
        QCOMPARE(hostCombo(d)->count(), 0);
        openAndFocus(d);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    }

    void presetHost_data() {
        QTest::addColumn<QStringList>("history");
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("shown");
        QTest::newRow("exact entry") << QStringList{"sim:demo", "sim:large"} << "sim:large"
                                     << "sim:large";
        QTest::newRow("prefix, case ignored") << QStringList{"orcl", "Sim:Demo"} << "sim:d"
                                              << "Sim:Demo";
        QTest::newRow("first match in list order") << QStringList{"prodB", "prodA"} << "PROD"
                                                   << "prodA";
        QTest::newRow("no match keeps the text") << QStringList{"sim:demo"} << "Orcl.World"
                                                 << "Orcl.World";
        QTest::newRow("entry shorter than the text") << QStringList{"sim"} << "sim:demo"
                                                     << "sim:demo";
        QTest::newRow("empty text takes the first entry") << QStringList{"zeta", "Alpha"} << ""
                                                          << "Alpha";
    }
    void presetHost() {
        QFETCH(QStringList, history);
        QFETCH(QString, preset);
        QFETCH(QString, shown);
        remember(history);
        LoginData::Save({"system", "", preset});
        CConnectDialog d;
        QCOMPARE(hostCombo(d)->currentText(), shown);
        QCOMPARE(hostCombo(d)->count(), history.size());
    }

    void listSortedIgnoringCase_data() {
        QTest::addColumn<QStringList>("history");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("mixed case") << QStringList{"sim:zeta", "SIM:alpha", "sim:Beta"}
                                    << QStringList{"SIM:alpha", "sim:Beta", "sim:zeta"};
        QTest::newRow("equal but for case, stored order")
            << QStringList{"b", "A", "c", "B"} << QStringList{"A", "b", "B", "c"};
        QTest::newRow("empty entry first") << QStringList{"orcl", ""} << QStringList{"", "orcl"};
    }
    void listSortedIgnoringCase() {
        QFETCH(QStringList, history);
        QFETCH(QStringList, expected);
        remember(history);
        CConnectDialog d;
        QCOMPARE(listed(hostCombo(d)), expected);
    }

    void typing() {
        remember({"sim:demo"});
        CConnectDialog d;
        openAndFocus(d);
        const QString longText(40, 'x');
        fill(d, longText, longText, longText);
        QCOMPARE(userEdit(d)->text(), QString(30, 'x'));
        QCOMPARE(passwordEdit(d)->text(), QString(30, 'x'));
        QCOMPARE(hostCombo(d)->currentText(), longText);
        // The list completes nothing.
        type(hostCombo(d), "sim");
        QCOMPARE(hostCombo(d)->currentText(), QString("sim"));
    }

    void hostLength_data() {
        QTest::addColumn<int>("length");
        QTest::newRow("30 characters reach the log-on") << 30;
        QTest::newRow("31 characters are refused") << 31;
    }
    void hostLength() {
        QFETCH(int, length);
        remember({"sim:demo"});
        CConnectDialog d;
        openAndFocus(d);
        const QString host = "sim:" + QString(length - 4, 'q');
        fill(d, "system", "manager", host);
        QTest::mouseClick(button(d, "okButton"), Qt::LeftButton);

        QVERIFY(d.isVisible());
        QVERIFY(!IsLoggedOn());
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_waitingAtMessage, QList<bool>{true});
        if (length > 30) {
            QCOMPARE(m_messages.first(), kTooLong);
            QCOMPARE(ServerHistory::Load(), QStringList{"sim:demo"});
            QCOMPARE(hostCombo(d)->count(), 1);
            QCOMPARE(QApplication::focusWidget(), hostCombo(d));
            QVERIFY(sim::Controls::instance().statementLog().empty());
        } else {
            QVERIFY(m_messages.first().startsWith("ORACLE Error\nORA-12154"));
            QCOMPARE(ServerHistory::Load(), (QStringList{"sim:demo", host}));
        }
        QCOMPARE(hostCombo(d)->currentText(), host);
    }

    void allEmptyRemembersTheEmptyHostOnce() {
        CConnectDialog d;
        QTest::mouseClick(button(d, "okButton"), Qt::LeftButton);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().startsWith("ORACLE Error\n"));
        QCOMPARE(ServerHistory::Load(), QStringList{""});
        QCOMPARE(listed(hostCombo(d)), QStringList{""});
        QTest::mouseClick(button(d, "okButton"), Qt::LeftButton);
        QCOMPARE(m_messages.size(), 2);
        QCOMPARE(ServerHistory::Load(), QStringList{""});
        QCOMPARE(hostCombo(d)->count(), 1);
        QVERIFY(!IsLoggedOn());
    }

    void refusedLogOn_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong password") << "system"
                                        << "Manager" << kBadLogon;
        QTest::newRow("reads v$session only") << "monitor"
                                              << "monitor" << kNoAccess;
        QTest::newRow("reads neither view") << "scott"
                                            << "tiger" << kNoAccess;
    }
    void refusedLogOn() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, message);
        LoginData::Save({"old", "oldpw", "sim:old"});
        remember({"sim:old", "sim:zzz"});
        CConnectDialog d;
        d.show();
        fill(d, user, password, "sim:Demo");
        QTest::mouseClick(button(d, "okButton"), Qt::LeftButton);

        QCOMPARE(m_messages, QStringList{message});
        QCOMPARE(m_waitingAtMessage, QList<bool>{true});
        QVERIFY(d.isVisible());
        QVERIFY(!IsLoggedOn());
        QCOMPARE(stored(), (QStringList{"old", "oldpw", "sim:old"}));
        QCOMPARE(ServerHistory::Load(), (QStringList{"sim:old", "sim:zzz", "sim:Demo"}));
        QCOMPARE(listed(hostCombo(d)), (QStringList{"sim:Demo", "sim:old", "sim:zzz"}));
        QCOMPARE(userEdit(d)->text(), user);
        QCOMPARE(passwordEdit(d)->text(), password);
        QCOMPARE(hostCombo(d)->currentText(), QString("sim:Demo"));
    }

    void closing_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("afterwards");
        const QStringList before{"old", "oldpw", "sim:old"};
        const QStringList typed{"System", "manager", "sim:demo"};
        QTest::newRow("OK button") << "ok" << 1 << typed;
        QTest::newRow("Enter in the password") << "enter" << 1 << typed;
        QTest::newRow("Enter in the host string") << "enter in host" << 1 << typed;
        QTest::newRow("Cancel button") << "cancel" << 0 << before;
        QTest::newRow("Escape") << "escape" << 0 << before;
        QTest::newRow("close box") << "close" << 0 << before;
    }
    void closing() {
        QFETCH(QString, how);
        QFETCH(int, result);
        QFETCH(QStringList, afterwards);
        LoginData::Save({"old", "oldpw", "sim:old"});
        CConnectDialog d;
        QTimer::singleShot(0, &d, [&] {
            fill(d, "System", "manager", "sim:demo");
            if (how == "ok") {
                QTest::mouseClick(button(d, "okButton"), Qt::LeftButton);
            } else if (how == "enter") {
                QTest::keyClick(passwordEdit(d), Qt::Key_Return);
            } else if (how == "enter in host") {
                QTest::keyClick(hostCombo(d)->lineEdit(), Qt::Key_Return);
            } else if (how == "cancel") {
                QTest::mouseClick(button(d, "cancelButton"), Qt::LeftButton);
            } else if (how == "escape") {
                QTest::keyClick(hostCombo(d)->lineEdit(), Qt::Key_Escape);
            } else {
                d.close();
            }
            // A dialog still open here would hang the test.
            if (d.isVisible()) {
                d.done(-2);
            }
        });
        QCOMPARE(d.exec(), result);
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(IsLoggedOn(), result == 1);
        QCOMPARE(stored(), afterwards);
        QCOMPARE(ServerHistory::Load(), result == 1 ? QStringList{"sim:demo"} : QStringList{});
    }

    // "Connect as" chosen, or SQL*Plus's " as sysdba" typed after the user name: stored with the
    // log-on and with its host string.
    void connectAs_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("userAfterwards");
        QTest::newRow("SYSDBA chosen") << "sys"
                                       << "SYSDBA"
                                       << ""
                                       << "sys";
        QTest::newRow("typed after the user name") << "sys AS SYSDBA"
                                                   << "Normal"
                                                   << ""
                                                   << "sys";
        QTest::newRow("typed and chosen alike") << "sys as sysdba"
                                                << "SYSDBA"
                                                << ""
                                                << "sys";
        QTest::newRow("sys without it")
            << "sys"
            << "Normal"
            << "ORACLE Error\nORA-28009: connection as SYS should be as SYSDBA or SYSOPER"
            << "sys";
        QTest::newRow("typed and chosen apart")
            << "sys as sysoper"
            << "SYSDBA"
            << "The user name asks to connect as SYSOPER, but \"Connect as\" says SYSDBA: choose "
               "one of them."
            << "sys as sysoper";
    }
    void connectAs() {
        QFETCH(QString, user);
        QFETCH(QString, chosen);
        QFETCH(QString, message);
        QFETCH(QString, userAfterwards);
        sim::ScenarioSpec setup;
        setup.listOwnSessions = true;
        sim::Controls::instance().defineScenario("admin", setup);
        CConnectDialog d;
        d.show();
        fill(d, user, "change_on_install", "sim:admin");
        modeCombo(d)->setCurrentText(chosen);
        QTest::mouseClick(button(d, "okButton"), Qt::LeftButton);
        QCOMPARE(m_messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(IsLoggedOn(), message.isEmpty());
        QCOMPARE(userEdit(d)->text(), userAfterwards);
        if (!message.isEmpty()) {
            return;
        }
        // The session the instance sees is SYS's own, as a SYSDBA one is.
        QCOMPARE(TheConnection().user, std::string("sys"));
        QCOMPARE(CountRows("sys.v_$session", "username = 'SYS'"), 1);
        QCOMPARE(LoginData::Load().Mode, ConnectAs::SysDba);
        QCOMPARE(ServerHistory::ModeOf("sim:admin"), std::optional<ConnectAs>(ConnectAs::SysDba));
    }

    // The privilege comes back with the stored log-on, and with a host string picked from the list.
    void connectAsPresets() {
        remember({"sim:demo", "sim:prod"});
        ServerHistory::RememberMode("sim:prod", ConnectAs::SysOper);
        LoginData::Save({"sys", "", "sim:demo", ConnectAs::SysDba});
        CConnectDialog d;
        d.show();
        QCOMPARE(modeCombo(d)->currentText(), QString("SYSDBA"));
        QCOMPARE(listed(modeCombo(d)),
                 (QStringList{"Normal", "SYSDBA", "SYSOPER", "SYSBACKUP", "SYSDG", "SYSKM"}));
        hostCombo(d)->setFocus();
        QTest::keyClick(hostCombo(d), Qt::Key_Down);
        QCOMPARE(hostCombo(d)->currentText(), QString("sim:prod"));
        QCOMPARE(modeCombo(d)->currentText(), QString("SYSOPER"));
    }

    void cancelKeepsAnOpenConnection() {
        QVERIFY(LogOn("system", "manager", "sim:demo"));
        CConnectDialog d;
        d.show();
        QTest::mouseClick(button(d, "cancelButton"), Qt::LeftButton);
        QCOMPARE(d.result(), 0);
        QVERIFY(IsLoggedOn());
    }

    void tabOrder() {
        LoginData::Save({"", "", ""});
        CConnectDialog d;
        openAndFocus(d);
        const QList<QWidget*> order = {
            userEdit(d),           passwordEdit(d),           hostCombo(d), modeCombo(d),
            button(d, "okButton"), button(d, "cancelButton"), userEdit(d)};
        QCOMPARE(QApplication::focusWidget(), order.first());
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), order[i]);
        }
    }

    void layout_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("units");
        QTest::newRow("Username:") << "Username:" << QRect(7, 7, 46, 11);
        QTest::newRow("Password:") << "Password:" << QRect(7, 25, 40, 10);
        QTest::newRow("Host string:") << "Host string:" << QRect(7, 45, 35, 10);
        QTest::newRow("user") << "userEdit" << QRect(53, 7, 95, 13);
        QTest::newRow("password") << "passwordEdit" << QRect(53, 25, 95, 12);
        QTest::newRow("host") << "hostCombo" << QRect(53, 43, 95, 40);
        QTest::newRow("Connect as:") << "Connect as:" << QRect(7, 63, 40, 10);
        QTest::newRow("connect as") << "connectAsCombo" << QRect(53, 61, 95, 60);
        QTest::newRow("OK") << "okButton" << QRect(17, 91, 60, 15);
        QTest::newRow("Cancel") << "cancelButton" << QRect(87, 91, 60, 15);
    }
    void layout() {
        QFETCH(QString, control);
        QFETCH(QRect, units);
        CConnectDialog d;
        QCOMPARE(d.size(), DialogUnitsToPixels(QSize(163, 113), d.font()));
        QWidget* widget = d.findChild<QWidget*>(control);
        if (!widget) {
            for (QLabel* label : d.findChildren<QLabel*>()) {
                widget = label->text() == control ? label : widget;
            }
        }
        QVERIFY(widget);
        QRect expected = DialogUnitsToPixels(units, d.font());
        if (control == "hostCombo" || control == "connectAsCombo") {
            expected.setHeight(widget->sizeHint().height());
            QVERIFY(expected.height() < DialogUnitsToPixels(units, d.font()).height());
        }
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            // A label is never cut: it may be wider than the template, never narrower than
            // its text.
            QCOMPARE(label->geometry().topLeft(), expected.topLeft());
            QCOMPARE(label->height(), expected.height());
            QCOMPARE(label->width(), std::max(expected.width(), label->sizeHint().width()));
            return;
        }
        QCOMPARE(widget->geometry(), expected);
        QVERIFY(d.rect().contains(widget->geometry()));
    }
};

QTEST_MAIN(tst_ConnectDialog)
#include "tst_connect.moc"
