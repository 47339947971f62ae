// The main window and start-up: menus, toolbar, keys, status bar, the roads to a logged-on
// window, and the command line of the nimbra program.

#include <sys/stat.h>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>
#include <chrono>
#include <functional>
#include <memory>

#include "ActivitySampler.h"
#include "AppSettings.h"
#include "ErrorReport.h"
#include "LoginData.h"
#include "OracleConnection.h"
#include "ProcessTestSupport.h"
#include "SettingsStore.h"
#include "Sim.h"
#include "activity/ActivityPane.h"
#include "frame/MainFrame.h"
#include "frame/NimbraApp.h"
#include "sessionview/NimbraView.h"
#include "widgets/CommandIds.h"
#include "widgets/MessageBox.h"
#include "widgets/StatusBar.h"
#include "widgets/StatusText.h"

using Ids = QList<int>;

namespace {
// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

// Notes every main frame that is ever shown.
class ShowWatcher : public QObject {
public:
    int framesShown = 0;
    bool eventFilter(QObject* object, QEvent* event) override {
        framesShown += event->type() == QEvent::Show && qobject_cast<CMainFrame*>(object);
        return false;
    }
};

// One line per entry: "-" for a separator, else the command id and what describe makes of it.
QStringList entries(const QList<QAction*>& actions,
                    const std::function<QString(QAction*)>& describe) {
    QStringList lines;
    for (QAction* action : actions) {
        lines << (action->isSeparator() ? "-" : action->data().toString() + " " + describe(action));
    }
    return lines;
}

void storeLogon(bool autoLogin, const QString& user, const QString& password, const QString& host) {
    SettingsStore::WriteProfileInt("Options", "AutoLogin", autoLogin ? 1 : 0);
    LoginData::Save({user, password, host});
}

QByteArray settingsFile() {
    QFile file(SettingsStore::FilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("absent");
}
}  // namespace

class tst_MainFrame : public QObject {
    Q_OBJECT

private:
    // Cancels every modal dialog once it is up, noting which it was, its owner, how many
    // messages came before it and the texts of its fields.
    void cancelEveryDialog() {
        auto* poll = new QTimer(this);
        poll->setInterval(5);
        connect(poll, &QTimer::timeout, this, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) {
                return;
            }
            const QWidget* owner = dialog->parentWidget();
            m_dialogs << QString("%1 over %2 after %3 messages")
                             .arg(dialog->metaObject()->className(),
                                  owner ? owner->metaObject()->className() : "nothing")
                             .arg(m_messages.size());
            m_fields.clear();
            for (const QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
                m_fields << edit->text();
            }
            dialog->reject();
        });
        poll->start();
    }

    // Opens the options dialog and closes it with OK after one click on automatic log-on.
    void toggleAutoLoginInOptions(CMainFrame& frame) {
        QTimer::singleShot(0, this, [] {
            QWidget* options = QApplication::activeModalWidget();
            QTest::mouseClick(options->findChild<QCheckBox*>("autoLogin1005"), Qt::LeftButton);
            QTest::mouseClick(options->findChild<QPushButton*>("okButton"), Qt::LeftButton);
        });
        frame.Action(CommandId::Options)->trigger();
    }

    // Null when the window did not become active.
    static std::unique_ptr<CMainFrame> shownFrame() {
        auto frame = std::make_unique<CMainFrame>();
        frame->show();
        frame->activateWindow();
        return QTest::qWaitForWindowActive(frame.get()) ? std::move(frame) : nullptr;
    }

    std::unique_ptr<QTemporaryDir> m_settingsDir;
    QStringList m_messages;
    QStringList m_dialogs;
    QStringList m_fields;  // of the last dialog
    QList<QWidget*> m_topLevelsBefore;

private slots:
    void init() {
        m_settingsDir = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir->path());
        qputenv("XDG_DATA_HOME", (m_settingsDir->path() + "/share").toUtf8());
        // No second connection beside the one whose calls the cases plan to fail.
        SettingsStore::WriteProfileInt("Activity", "Sample", 0);
        m_messages.clear();
        m_dialogs.clear();
        m_fields.clear();
        SetMessageBoxHandler([this](const QString& text, MsgButtons, MsgIcon) {
            m_messages << text;
            return IDOK;
        });
        m_topLevelsBefore = QApplication::topLevelWidgets();
    }

    void cleanup() {
        qDeleteAll(findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly));
        SetMessageBoxHandler({});
        const bool leftLoggedOn = IsLoggedOn();
        if (leftLoggedOn) {
            LogOff();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QStringList leaked;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (!m_topLevelsBefore.contains(widget)) {
                leaked << widget->metaObject()->className();
                delete widget;
            }
        }
        QVERIFY2(leaked.isEmpty(), qPrintable("leaked windows: " + leaked.join(", ")));
        QVERIFY2(!leftLoggedOn, "the test left the connection logged on");
    }

    void menus_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("File") << 0
                              << QStringList{"32772 &Connect\tCtrl+T",
                                             "-",
                                             "32778 &Options\tCtrl+O",
                                             "-",
                                             "57608 Print\tCtrl+P",
                                             "32785 &Export...",
                                             "-",
                                             "57665 E&xit"};
        QTest::newRow("Edit") << 1 << QStringList{"57634 &Copy\tCtrl+C"};
        QTest::newRow("Session") << 2
                                 << QStringList{"32779 &Kill session",
                                                "32786 Kill &immediately",
                                                "32787 &Disconnect after transaction",
                                                "32788 Cancel current &SQL",
                                                "-",
                                                "32780 Pr&operties"};
        QTest::newRow("View") << 3
                              << QStringList{"59392 &Toolbar",
                                             "59393 &Status Bar",
                                             "-",
                                             "3 &Refresh\tCtrl+R",
                                             "-",
                                             "32781 Fi&lter\tCtrl+F",
                                             "32782 &Hide Idle Sessions",
                                             "32783 Ser&ver Order",
                                             "32784 C&olumns...",
                                             "-",
                                             "32789 &Blocking Sessions",
                                             "32790 &Activity"};
        QTest::newRow("Help") << 4 << QStringList{"57664 &About Nimbra..."};
    }

    void menus() {
        QFETCH(int, position);
        QFETCH(QStringList, items);
        CMainFrame frame;
        const QList<QAction*> menus = frame.menuBar()->actions();
        QCOMPARE(menus.size(), 5);
        QCOMPARE(menus[position]->text(), QString(QTest::currentDataTag()).prepend('&'));
        QCOMPARE(entries(menus[position]->menu()->actions(),
                         [&](QAction* action) {
                             return frame.Action(action->data().toInt()) == action
                                        ? action->text()
                                        : "not the frame's action";
                         }),
                 items);
    }

    void toolbar() {
        CMainFrame frame;
        QToolBar* bar = frame.findChild<QToolBar*>("toolbar");
        QVERIFY(bar);
        QCOMPARE(frame.toolBarArea(bar), Qt::TopToolBarArea);
        QVERIFY(bar->isMovable());
        QCOMPARE(bar->allowedAreas(), Qt::AllToolBarAreas);
        const auto describe = [bar](QAction* action) {
            const QWidget* button = bar->widgetForAction(action);
            return button->toolTip() + (button->isEnabled() ? "" : " greyed") +
                   (action->icon().pixmap(16, 16).isNull() ? " without picture" : "");
        };
        // Logged off, Refresh and Print have nothing to act on.
        QCOMPARE(entries(bar->actions(), describe),
                 (QStringList{"32774 Refresh greyed", "32778 Options", "-", "57635 Cut greyed",
                              "57634 Copy greyed", "57637 Paste greyed", "-", "57608 Print greyed",
                              "57664 About"}));
    }

    // The commands that need a connection are greyed, and the status bar says so, from the
    // moment it goes until a log-on succeeds.
    void commandsFollowTheConnection() {
        using namespace CommandId;
        CMainFrame frame;
        const auto enabled = [&frame] {
            QStringList states;
            for (int id : {Refresh, RefreshToolbar, CommandId::KillSession, Properties, Print,
                           Options, Connect}) {
                states << QString::number(id) + (frame.Action(id)->isEnabled() ? "" : " greyed");
            }
            return states.join(' ');
        };
        const QString loggedOff =
            "3 greyed 32774 greyed 32779 greyed 32780 greyed 57608 greyed 32778 32772";
        QCOMPARE(enabled(), loggedOff);
        QCOMPARE(SessionPaneText(&frame), QString("Not connected"));
        QVERIFY(LogOn("system", "manager", "sim:demo"));
        // Kill and Properties wait for a selected session.
        QCOMPARE(enabled(), QString("3 32774 32779 greyed 32780 greyed 57608 32778 32772"));
        QCOMPARE(SessionPaneText(&frame), QString());
        frame.Action(Refresh)->trigger();
        const int listed = frame.View()->Sessions()->GetItemCount();
        QCOMPARE(SessionPaneText(&frame), QString("%1 sessions").arg(listed));
        frame.View()->setCurrentIndex(frame.View()->model()->index(0, 0));
        QCOMPARE(enabled(), QString("3 32774 32779 32780 57608 32778 32772"));
        // Prompts and the idle text come and go in the message pane; the count stays.
        SetStatusPaneText(frame.View(), "Kills the session.");
        SetStatusPaneText(frame.View(), "");
        QCOMPARE(SessionPaneText(&frame), QString("%1 sessions").arg(listed));
        sim::Controls::instance().failCall(sim::Call::ExecFetch, 1, 1031);
        int failures = 0;
        SetMessageSink([&failures](const std::string&) { ++failures; });
        frame.Action(Refresh)->trigger();
        SetMessageSink({});
        QCOMPARE(failures, 1);
        QCOMPARE(enabled(), loggedOff);
        QCOMPARE(SessionPaneText(&frame), QString("Not connected"));
        // The context menu's commands are the same actions.
        QCOMPARE(frame.View()->SessionCommand(CommandId::KillSession),
                 frame.Action(CommandId::KillSession));
    }

    // A Connect that succeeds shows the new instance's sessions at once, their count with
    // them, and the timer runs again.
    void connectShowsTheNewInstanceAtOnce() {
        SettingsStore::WriteProfileInt("Options", "RefreshSec", 15);
        QVERIFY(LogOn("system", "manager", "sim:demo"));
        CMainFrame frame;
        frame.Action(CommandId::Refresh)->trigger();
        QVERIFY(frame.View()->Sessions()->GetItemCount() > 1);
        QTimer::singleShot(0, &frame, [] {
            QWidget* dialog = QApplication::activeModalWidget();
            dialog->findChild<QLineEdit*>("userEdit")->setText("system");
            dialog->findChild<QLineEdit*>("passwordEdit")->setText("manager");
            dialog->findChild<QComboBox*>("hostCombo")->setEditText("sim:empty");
            QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
        });
        frame.Action(CommandId::Connect)->trigger();
        QCOMPARE(frame.windowTitle(), QString("Nimbra - Oracle Sessions - SYSTEM@sim:empty"));
        QCOMPARE(frame.View()->Sessions()->GetItemCount(), 1);
        QCOMPARE(SessionPaneText(&frame), QString("1 session"));
        QVERIFY(frame.View()->TimerId() != 0);
    }

    void keys_data() {
        QTest::addColumn<QKeyCombination>("keys");
        QTest::addColumn<int>("command");  // 0: no command runs
        QTest::newRow("Ctrl+C Copy") << (Qt::CTRL | Qt::Key_C) << 57634;
        QTest::newRow("Ctrl+F Filter") << (Qt::CTRL | Qt::Key_F) << 32781;
        QTest::newRow("Ctrl+O Options") << (Qt::CTRL | Qt::Key_O) << 32778;
        QTest::newRow("Ctrl+P Print") << (Qt::CTRL | Qt::Key_P) << 57608;
        QTest::newRow("Ctrl+R Refresh") << (Qt::CTRL | Qt::Key_R) << 3;
        QTest::newRow("Ctrl+T Connect") << (Qt::CTRL | Qt::Key_T) << 32772;
        QTest::newRow("Ctrl+V") << (Qt::CTRL | Qt::Key_V) << 0;
        QTest::newRow("Alt+Backspace") << (Qt::ALT | Qt::Key_Backspace) << 0;
        QTest::newRow("Shift+Delete") << (Qt::SHIFT | Qt::Key_Delete) << 0;
        QTest::newRow("F6") << QKeyCombination(Qt::Key_F6) << 0;
        QTest::newRow("Shift+F6") << (Qt::SHIFT | Qt::Key_F6) << 0;
        QTest::newRow("Ctrl+Insert Copy") << (Qt::CTRL | Qt::Key_Insert) << 57634;
        QTest::newRow("Shift+Insert") << (Qt::SHIFT | Qt::Key_Insert) << 0;
        QTest::newRow("Ctrl+X") << (Qt::CTRL | Qt::Key_X) << 0;
        QTest::newRow("Ctrl+Z") << (Qt::CTRL | Qt::Key_Z) << 0;
    }

    // Each key reaches its command; the keys of commands without a handler reach nothing, not
    // even the list.
    void keys() {
        QFETCH(QKeyCombination, keys);
        QFETCH(int, command);
        QVERIFY(LogOn("system", "manager", "sim:empty"));
        const auto frame = shownFrame();
        QVERIFY(frame);
        CNimbraView* view = frame->View();
        view->Sessions()->InsertItem(0, "SCOTT");
        view->setCurrentIndex(view->model()->index(0, 0));
        view->setFocus();
        QGuiApplication::clipboard()->setText("untouched");
        Ids triggered;
        for (QAction* action : frame->findChildren<QAction*>()) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this,
                    [&triggered, action] { triggered << action->data().toInt(); });
        }
        QTest::keyClick(view, keys.key(), keys.keyboardModifiers());
        QCOMPARE(triggered, command ? Ids{command} : Ids{});
        QCOMPARE(view->Sessions()->GetItemCount(), 1);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("untouched"));
    }

    void hoveredButtonsPromptInTheStatusPane_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("Refresh") << 32774 << "Refresh the list and retrieve all current sessions.";
        QTest::newRow("Options") << 32778 << "Change the display options.";
        QTest::newRow("About") << 57664
                               << "Display program information, version number and copyright";
    }

    void hoveredButtonsPromptInTheStatusPane() {
        QFETCH(int, command);
        QFETCH(QString, prompt);
        const auto frame = shownFrame();
        QVERIFY(frame);
        QCOMPARE(StatusPaneText(frame->View()), QString("Ready"));
        QWidget* button = frame->ToolBar()->widgetForAction(frame->Action(command));
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(button, &enter);
        QCOMPARE(StatusPaneText(frame->View()), prompt);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
        QCOMPARE(StatusPaneText(frame->View()), QString("Ready"));
    }

    void menuItemPromptGoesToTheStatusPane() {
        const auto frame = shownFrame();
        QVERIFY(frame);
        QMenu* file = frame->menuBar()->actions().constFirst()->menu();
        file->popup(frame->mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitForWindowExposed(file));
        file->setActiveAction(frame->Action(CommandId::Exit));
        QCOMPARE(StatusPaneText(frame.get()),
                 QString("Quit the application; prompts to save documents"));
        file->hide();
        QCOMPARE(StatusPaneText(frame.get()), QString("Ready"));
    }

    // The refresh blocks right after setting its text: the pane must be painted by then.
    void refreshTextIsPaintedBeforeTheCallReturns() {
        const auto frame = shownFrame();
        QVERIFY(frame);
        QWidget* pane = frame->findChild<QLabel*>("messagePane");
        PaintCounter paints;
        pane->installEventFilter(&paints);
        SetStatusPaneText(frame->View(), "Collection session information...");
        QCOMPARE(paints.count, 1);
        QCOMPARE(StatusPaneText(frame->View()), QString("Collection session information..."));
        SetStatusPaneText(frame->View(), "");
        QCOMPARE(StatusPaneText(frame->View()), QString("Ready"));
    }

    void viewToggles_data() {
        QTest::addColumn<int>("command");
        QTest::newRow("Toolbar") << 59392;
        QTest::newRow("Status Bar") << 59393;
    }

    void viewToggles() {
        QFETCH(int, command);
        const auto frame = shownFrame();
        QVERIFY(frame);
        QWidget* widget =
            command == 59392 ? static_cast<QWidget*>(frame->ToolBar()) : frame->StatusBar();
        QAction* toggle = frame->Action(command);
        QVERIFY(toggle->isCheckable());
        for (bool shown : {false, true}) {
            toggle->trigger();
            QCOMPARE(widget->isVisible(), shown);
            QCOMPARE(toggle->isChecked(), shown);
        }
        QCOMPARE(frame->windowTitle(), QString("Nimbra - Oracle Sessions"));
    }

    void lockIndicators_data() {
        QTest::addColumn<QStringList>("leds");  // "<entry>=<brightness>"
        QTest::addColumn<QString>("shown");     // the three panes
        QTest::newRow("no LEDs") << QStringList{} << "||";
        QTest::newRow("all dark") << QStringList{"input3::capslock=0", "input3::numlock=0",
                                                 "input3::scrolllock=0"}
                                  << "||";
        QTest::newRow("caps lock")
            << QStringList{"input3::capslock=1", "input3::numlock=0"} << "CAP||";
        QTest::newRow("num lock on the second keyboard")
            << QStringList{"input3::numlock=0", "input9::numlock=255"} << "|NUM|";
        QTest::newRow("scroll lock among other LEDs")
            << QStringList{"input3::scrolllock=1", "input3::kana=1", "phy0-led=1"} << "||SCRL";
    }

    void lockIndicators() {
        QFETCH(QStringList, leds);
        QFETCH(QString, shown);
        QTemporaryDir sys;
        for (const QString& led : leds) {
            const QString entry = led.section('=', 0, 0);
            QVERIFY(QDir(sys.path()).mkpath(entry));
            QFile brightness(sys.filePath(entry + "/brightness"));
            QVERIFY(brightness.open(QIODevice::WriteOnly));
            brightness.write(led.section('=', 1).toLatin1() + "\n");
        }
        CStatusBar bar;
        bar.SetLockKeyReader([&] { return ReadLockKeyLeds(sys.path()); });
        QCOMPARE(QStringList({bar.findChild<QLabel*>("capsIndicator")->text(),
                              bar.findChild<QLabel*>("numIndicator")->text(),
                              bar.findChild<QLabel*>("scrollIndicator")->text()})
                     .join('|'),
                 shown);
    }

    void startupCancelledNeverShowsTheWindow() {
        ShowWatcher shows;
        qApp->installEventFilter(&shows);
        cancelEveryDialog();
        const auto frame = CreateMainWindow(false);
        qApp->removeEventFilter(&shows);
        QVERIFY(!frame);
        QCOMPARE(m_dialogs, QStringList{"CConnectDialog over CMainFrame after 0 messages"});
        QCOMPARE(shows.framesShown, 0);
        QCOMPARE(m_messages, QStringList());
    }

    void startupWithAutomaticLogOn() {
        storeLogon(true, "system", "manager", "sim:demo");
        cancelEveryDialog();
        const auto frame = CreateMainWindow(false);
        QVERIFY(frame);
        QCOMPARE(m_dialogs, QStringList());
        QCOMPARE(m_messages, QStringList());
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        QVERIFY(IsLoggedOn());
        QCOMPARE(frame->View()->Sessions()->GetItemCount(), 0);
        QTest::keyClick(frame.get(), Qt::Key_R, Qt::ControlModifier);
        const int listed = frame->View()->Sessions()->GetItemCount();
        QVERIFY(listed > 0);
        QCOMPARE(SessionPaneText(frame.get()), QString("%1 sessions").arg(listed));
        // Who is connected where, never the password; nothing once the connection is gone.
        QCOMPARE(frame->windowTitle(), QString("Nimbra - Oracle Sessions - SYSTEM@sim:demo"));
        m_messages.clear();
        sim::Controls::instance().failCall(sim::Call::ExecFetch, 1, 3113);
        QTest::keyClick(frame.get(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(frame->windowTitle(), QString("Nimbra - Oracle Sessions"));
    }

    void startupWithAFailingAutomaticLogOn() {
        storeLogon(true, "system", "wrong", "sim:demo");
        cancelEveryDialog();
        const auto frame = CreateMainWindow(false);
        QVERIFY(!frame);
        QCOMPARE(m_messages.size(), 2);
        QVERIFY2(m_messages[0].startsWith("ORACLE Error"), qPrintable(m_messages[0]));
        QCOMPARE(m_messages[1], QString("Unable to connect automatically!"));
        QCOMPARE(m_dialogs, QStringList{"CConnectDialog over CMainFrame after 2 messages"});
        // User name and host string preset, the password not.
        m_fields.sort();
        QCOMPARE(m_fields, (QStringList{"", "sim:demo", "system"}));
    }

    // Without a keyring the file keeps the password, and the status bar says so.
    void startupWithoutAKeyring() {
        storeLogon(true, "system", "manager", "sim:demo");
        const auto frame = CreateMainWindow(false);
        QVERIFY(frame && IsLoggedOn());
        QCOMPARE(StatusPaneText(frame.get()),
                 QString("The password is kept in the settings file because no keyring is "
                         "available."));
    }

    // With "Remember password" off nothing is tried: the dialog asks, user and host preset.
    void startupWithRememberPasswordOff() {
        storeLogon(true, "system", "manager", "sim:demo");
        SettingsStore::WriteProfileInt("Options", "RememberPassword", 0);
        sim::Controls::instance().reset();
        cancelEveryDialog();
        QVERIFY(!CreateMainWindow(false));
        QCOMPARE(m_dialogs, QStringList{"CConnectDialog over CMainFrame after 0 messages"});
        m_fields.sort();
        QCOMPARE(m_fields, (QStringList{"", "sim:demo", "system"}));
        QCOMPARE(sim::Controls::instance().roundTrips(), 0);
    }

    // While it runs, a core dump or another process could read the passwords it holds.
    void programIsNotDumpable() { QVERIFY(RunsUndumpable(NIMBRA_PROGRAM, {})); }

    // The demo replaces the automatic log-on and leaves the stored values as they were.
    void demoLogsOnAndStoresNothing() {
        storeLogon(true, "scott", "wrong", "sim:empty");
        const QByteArray before = settingsFile();
        cancelEveryDialog();
        const auto frame = CreateMainWindow(true);
        QVERIFY(frame);
        QVERIFY(frame->isVisible());
        QVERIFY(IsLoggedOn());
        QCOMPARE(m_dialogs, QStringList());
        QCOMPARE(m_messages, QStringList());
        QCOMPARE(settingsFile(), before);
        // Its list is filled at once and kept current though no interval is stored.
        QVERIFY(frame->View()->Sessions()->GetItemCount() > 0);
        QCOMPARE(frame->View()->RefreshSeconds(), 5);
        QVERIFY(frame->View()->TimerId() != 0);
        // A changed option is used for the run, and stored nowhere.
        toggleAutoLoginInOptions(*frame);
        QCOMPARE(AppSettings::Load().AutoLogin, false);
        QCOMPARE(settingsFile(), before);
    }

    // With sampling on, the window's log-on brings a second connection that samples into a
    // private history, gone with the window's; View > Activity reads what it wrote.
    void activitySampledBesideTheWindow() {
        SettingsStore::WriteProfileInt("Activity", "Sample", 1);
        const auto frame = CreateMainWindow(true);
        QVERIFY(frame && IsLoggedOn());
        QTRY_VERIFY_WITH_TIMEOUT(frame->Sampler() && frame->Sampler()->Samples() >= 2, 30000);
        const QString path = frame->Sampler()->HistoryPath();
        QVERIFY(path.startsWith(m_settingsDir->path() + "/share/Velmoor/Nimbra/activity-"));
        struct stat file {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &file), 0);
        QCOMPARE(file.st_mode & 0777, 0600u);
        LogOff();
        QVERIFY(!frame->Sampler());
        frame->Action(CommandId::Activity)->trigger();
        auto* sessions = frame->ActivityPane()->findChild<QTreeWidget*>("topSessions");
        QTRY_VERIFY(sessions->topLevelItemCount() > 0);
        emit sessions->itemDoubleClicked(sessions->topLevelItem(0), 0);
        QVERIFY(StatusPaneText(frame.get()).endsWith("is no longer connected."));
        QCOMPARE(m_messages, QStringList());
    }

    // A password about to expire is told once the log-on is done, and is no failure.
    void logOnWarningIsShownOnce() {
        sim::Controls::instance().warnAtNextLogon(sim::oraError(28002));
        const auto frame = CreateMainWindow(true);
        QVERIFY(frame && IsLoggedOn());
        QCOMPARE(m_messages, QStringList());
        QCoreApplication::processEvents();
        const QString warning = "ORA-28002: the password will expire within 7 days";
        QCOMPARE(m_messages, QStringList{warning});
        QCOMPARE(StatusPaneText(frame.get()), warning);
        QCoreApplication::processEvents();
        QCOMPARE(m_messages.size(), 1);
    }

    // The stored call time limit reaches the connection: a call past it loses the connection.
    void storedCallTimeLimitApplies() {
        SettingsStore::WriteProfileInt("Options", "CallTimeoutSec", 2);
        sim::Controls::instance().delayCall(sim::Call::ExecFetch, 1, std::chrono::seconds(3));
        const auto frame = CreateMainWindow(true);
        QVERIFY(frame);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages[0].endsWith("ORA-03156: OCI call timed out"),
                 qPrintable(m_messages[0]));
        QVERIFY(!IsLoggedOn());
    }

    // The demo stores no log-on: automatic log-on ticked there must not try one at the next start.
    void autoLogonTickedInTheDemoLeadsToTheDialog() {
        auto frame = CreateMainWindow(true);
        QVERIFY(frame);
        toggleAutoLoginInOptions(*frame);
        frame.reset();
        QCOMPARE(AppSettings::Load().AutoLogin, true);
        cancelEveryDialog();
        QVERIFY(!CreateMainWindow(false));
        QCOMPARE(m_dialogs, QStringList{"CConnectDialog over CMainFrame after 0 messages"});
        QCOMPARE(m_messages, QStringList());
    }

    void exitClosesTheWindowAndLogsOff() {
        auto frame = CreateMainWindow(true);
        QVERIFY(frame && IsLoggedOn());
        QSignalSpy about(frame.get(), &CMainFrame::aboutRequested);
        frame->Action(CommandId::About)->trigger();
        QCOMPARE(about.size(), 1);
        frame->Action(CommandId::Exit)->trigger();
        QVERIFY(!frame->isVisible());
        frame.reset();
        QVERIFY(!IsLoggedOn());
    }

    // Without a display; the settings folder is open to others before.
    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("folderMode");  // afterwards: start-up closes it
        QTest::newRow("version") << QStringList{"--version"} << 0 << "Nimbra Version 1.2.0\n"
                                 << "755";
        QTest::newRow("Qt's own options still work")
            << QStringList{"-style", "fusion", "--version"} << 0 << "Nimbra Version 1.2.0\n"
            << "755";
        QTest::newRow("help names the demo") << QStringList{"--help"} << 0 << "--demo"
                                             << "755";
        QTest::newRow("help with Qt's options")
            << QStringList{"--help-all"} << 0 << "--platform <platformName"
            << "755";
        QTest::newRow("a file name")
            << QStringList{"-platform", "offscreen", "sessions.txt"} << 1 << ""
            << "700";
    }

    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, folderMode);
        const QString program = QCoreApplication::applicationDirPath() + "/../src/nimbra";
        if (!QFile::exists(program)) {
            QSKIP("the nimbra program is not built");
        }
        const QString folder = m_settingsDir->filePath("Velmoor");
        // The program alone, not the case's set-up, may leave a file behind.
        QFile::remove(m_settingsDir->filePath("Velmoor/Nimbra.conf"));
        QVERIFY(QDir().mkpath(folder) && ::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
        QProcess nimbra;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* display : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
            environment.remove(display);
        }
        environment.insert("XDG_CONFIG_HOME", m_settingsDir->path());
        nimbra.setProcessEnvironment(environment);
        nimbra.start(program, arguments);
        QVERIFY(nimbra.waitForFinished(60000));
        QCOMPARE(nimbra.exitStatus(), QProcess::NormalExit);
        QCOMPARE(nimbra.exitCode(), exitCode);
        const QString printed = QString::fromLocal8Bit(nimbra.readAllStandardOutput());
        QVERIFY2(printed.contains(output), qPrintable(printed));
        QVERIFY(!QFile::exists(m_settingsDir->filePath("Velmoor/Nimbra.conf")));
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(folder).constData(), &info), 0);
        QCOMPARE(QString::number(info.st_mode & 0777, 8), folderMode);
    }
};

QTEST_MAIN(tst_MainFrame)
#include "tst_mainframe.moc"
