// The main window and start-up: menus, toolbar, keys, status bar, the roads to a logged-on
// window, and the command line of the nimbra program.

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "CommandIds.h"
#include "ConnectDialog.h"
#include "LoginData.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "NimbraApp.h"
#include "NimbraView.h"
#include "OracleConnection.h"
#include "SettingsStore.h"
#include "StatusBar.h"
#include "StatusText.h"

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

Ids commandIds(const QList<QAction*>& actions) {
    Ids ids;
    for (const QAction* action : actions) {
        ids << (action->isSeparator() ? 0 : action->data().toInt());
    }
    return ids;
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
    struct SeenDialog {
        bool isConnectDialog = false;
        bool ownedByFrame = false;
        qsizetype messagesBefore = 0;
        QStringList lineEditTexts;
        QString hostText;
    };

    // Records every modal dialog once it is up, then cancels it.
    void cancelEveryDialog() {
        auto* poll = new QTimer(this);
        poll->setInterval(5);
        connect(poll, &QTimer::timeout, this, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || m_handled.contains(dialog)) {
                return;
            }
            m_handled << dialog;
            SeenDialog seen;
            seen.isConnectDialog = qobject_cast<CConnectDialog*>(dialog) != nullptr;
            seen.ownedByFrame = qobject_cast<CMainFrame*>(dialog->parentWidget()) != nullptr;
            seen.messagesBefore = m_messages.size();
            for (const QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
                if (!qobject_cast<QComboBox*>(edit->parentWidget())) {
                    seen.lineEditTexts << edit->text();
                }
            }
            if (const auto* combo = dialog->findChild<QComboBox*>()) {
                seen.hostText = combo->currentText();
            }
            m_dialogs << seen;
            dialog->reject();
        });
        poll->start();
    }

    std::unique_ptr<CMainFrame> shownFrame() {
        auto frame = std::make_unique<CMainFrame>();
        frame->show();
        frame->activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(frame.get())); }();
        return frame;
    }

    std::unique_ptr<QTemporaryDir> m_settingsDir;
    QStringList m_messages;
    QList<SeenDialog> m_dialogs;
    QList<QPointer<QDialog>> m_handled;
    QList<QWidget*> m_topLevelsBefore;

private slots:
    void init() {
        m_settingsDir = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir->path());
        m_messages.clear();
        m_dialogs.clear();
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
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<Ids>("ids");
        QTest::newRow("File") << "&File" << QStringList{"&Connect\tCtrl+T",
                                                        "",
                                                        "&Options\tCtrl+O",
                                                        "",
                                                        "Print\tCtrl+P",
                                                        "",
                                                        "E&xit"}
                              << Ids{32772, 0, 32778, 0, 57608, 0, 57665};
        QTest::newRow("View") << "&View"
                              << QStringList{"&Toolbar", "&Status Bar", "", "&Refresh\tCtrl+R"}
                              << Ids{59392, 59393, 0, 3};
        QTest::newRow("Help") << "&Help" << QStringList{"&About Nimbra..."} << Ids{57664};
    }

    void menus() {
        QFETCH(QString, title);
        QFETCH(QStringList, texts);
        QFETCH(Ids, ids);
        CMainFrame frame;
        QMenu* menu = nullptr;
        for (QAction* entry : frame.menuBar()->actions()) {
            menu = entry->text() == title ? entry->menu() : menu;
        }
        QVERIFY(menu);
        QCOMPARE(commandIds(menu->actions()), ids);
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const QAction* action = menu->actions().at(i);
            QCOMPARE(action->isSeparator() ? QString() : action->text(), texts[i]);
            if (!action->isSeparator()) {
                QCOMPARE(action, frame.Action(ids[i]));
            }
        }
        QStringList titles;
        for (const QAction* entry : frame.menuBar()->actions()) {
            titles << entry->text();
        }
        QCOMPARE(titles, (QStringList{"&File", "&View", "&Help"}));
    }

    void toolbar() {
        CMainFrame frame;
        QToolBar* bar = frame.findChild<QToolBar*>("toolbar");
        QVERIFY(bar);
        QCOMPARE(frame.toolBarArea(bar), Qt::TopToolBarArea);
        QVERIFY(bar->isMovable());
        QCOMPARE(bar->allowedAreas(), Qt::AllToolBarAreas);
        QCOMPARE(commandIds(bar->actions()),
                 (Ids{32774, 32778, 0, 57635, 57634, 57637, 0, 57608, 57664}));
        const QStringList tips{"Refresh", "Options", "",      "Cut",  "Copy",
                               "Paste",   "",        "Print", "About"};
        for (qsizetype i = 0; i < tips.size(); ++i) {
            QAction* action = bar->actions().at(i);
            if (action->isSeparator()) {
                continue;
            }
            const QWidget* button = bar->widgetForAction(action);
            QCOMPARE(button->toolTip(), tips[i]);
            QCOMPARE(button->isEnabled(),
                     tips[i] != "Cut" && tips[i] != "Copy" && tips[i] != "Paste");
            QVERIFY2(!action->icon().pixmap(16, 16).isNull(), qPrintable(tips[i]));
        }
    }

    void keys_data() {
        QTest::addColumn<QKeyCombination>("keys");
        QTest::addColumn<int>("command");  // 0: no command runs
        QTest::newRow("Ctrl+C") << (Qt::CTRL | Qt::Key_C) << 0;
        QTest::newRow("Ctrl+O Options") << (Qt::CTRL | Qt::Key_O) << 32778;
        QTest::newRow("Ctrl+P Print") << (Qt::CTRL | Qt::Key_P) << 57608;
        QTest::newRow("Ctrl+R Refresh") << (Qt::CTRL | Qt::Key_R) << 3;
        QTest::newRow("Ctrl+T Connect") << (Qt::CTRL | Qt::Key_T) << 32772;
        QTest::newRow("Ctrl+V") << (Qt::CTRL | Qt::Key_V) << 0;
        QTest::newRow("Alt+Backspace") << (Qt::ALT | Qt::Key_Backspace) << 0;
        QTest::newRow("Shift+Delete") << (Qt::SHIFT | Qt::Key_Delete) << 0;
        QTest::newRow("F6") << QKeyCombination(Qt::Key_F6) << 0;
        QTest::newRow("Shift+F6") << (Qt::SHIFT | Qt::Key_F6) << 0;
        QTest::newRow("Ctrl+Insert") << (Qt::CTRL | Qt::Key_Insert) << 0;
        QTest::newRow("Shift+Insert") << (Qt::SHIFT | Qt::Key_Insert) << 0;
        QTest::newRow("Ctrl+X") << (Qt::CTRL | Qt::Key_X) << 0;
        QTest::newRow("Ctrl+Z") << (Qt::CTRL | Qt::Key_Z) << 0;
    }

    // Each key reaches its command; the edit and pane keys reach nothing, not even the list.
    void keys() {
        QFETCH(QKeyCombination, keys);
        QFETCH(int, command);
        auto frame = shownFrame();
        CNimbraView* view = frame->View();
        view->ListModel()->InsertItem(0, "SCOTT");
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
        QCOMPARE(view->ListModel()->GetItemCount(), 1);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("untouched"));
    }

    void commandsWithAHandlerAreEnabledLoggedOnOrNot() {
        CMainFrame frame;
        const Ids enabled{32772, 32778, 57608, 57665, 59392, 59393, 3, 32774, 57664, 32779, 32780};
        const Ids disabled{57634, 57635, 57637, 57643, 57680, 57681};
        for (bool loggedOn : {false, true}) {
            if (loggedOn) {
                QVERIFY(LogOn("system", "manager", "sim:demo"));
            }
            for (int id : enabled) {
                QVERIFY2(frame.Action(id)->isEnabled(), qPrintable(QString::number(id)));
            }
            for (int id : disabled) {
                QVERIFY2(!frame.Action(id)->isEnabled(), qPrintable(QString::number(id)));
            }
        }
    }

    void statusPane_data() {
        QTest::addColumn<int>("hovered");   // the toolbar button under the cursor; 0: none
        QTest::addColumn<QString>("text");  // given to SetStatusPaneText when nothing is hovered
        QTest::addColumn<QString>("shown");
        QTest::newRow("idle") << 0 << ""
                              << "Ready";
        QTest::newRow("refresh under way") << 0 << "Collection session information..."
                                           << "Collection session information...";
        QTest::newRow("Refresh button") << 32774 << ""
                                        << "Refresh the list and retrieve all current sessions.";
        QTest::newRow("Options button") << 32778 << ""
                                        << "Change the display options.";
        QTest::newRow("About button")
            << 57664 << ""
            << "Display program information, version number and copyright";
    }

    void statusPane() {
        QFETCH(int, hovered);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        auto frame = shownFrame();
        QCOMPARE(StatusPaneText(frame->View()), QString("Ready"));
        QWidget* button = frame->ToolBar()->widgetForAction(frame->Action(hovered));
        if (button) {
            QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)));
            QApplication::sendEvent(button, &enter);
        } else {
            SetStatusPaneText(frame->View(), text);
        }
        QCOMPARE(StatusPaneText(frame->View()), shown);
        if (button) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(button, &leave);
        } else {
            SetStatusPaneText(frame->View(), "");
        }
        QCOMPARE(StatusPaneText(frame->View()), QString("Ready"));
    }

    void menuItemPromptGoesToTheStatusPane() {
        auto frame = shownFrame();
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
    void statusPaneIsPaintedBeforeTheCallReturns() {
        auto frame = shownFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        QWidget* pane = frame->findChild<QLabel*>("messagePane");
        QVERIFY(pane);
        PaintCounter paints;
        pane->installEventFilter(&paints);
        SetStatusPaneText(frame->View(), "Collection session information...");
        QCOMPARE(paints.count, 1);
    }

    void viewToggles_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("bar");
        QTest::newRow("Toolbar") << 59392 << "QToolBar";
        QTest::newRow("Status Bar") << 59393 << "CStatusBar";
    }

    void viewToggles() {
        QFETCH(int, command);
        QFETCH(QString, bar);
        auto frame = shownFrame();
        QWidget* widget =
            command == 59392 ? static_cast<QWidget*>(frame->ToolBar()) : frame->StatusBar();
        QCOMPARE(widget->metaObject()->className(), bar);
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
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("no LEDs") << QStringList{} << QStringList{"", "", ""};
        QTest::newRow("all dark") << QStringList{"input3::capslock=0", "input3::numlock=0",
                                                 "input3::scrolllock=0"}
                                  << QStringList{"", "", ""};
        QTest::newRow("caps lock")
            << QStringList{"input3::capslock=1", "input3::numlock=0"} << QStringList{"CAP", "", ""};
        QTest::newRow("num lock on the second keyboard")
            << QStringList{"input3::numlock=0", "input9::numlock=255"}
            << QStringList{"", "NUM", ""};
        QTest::newRow("scroll lock among other LEDs")
            << QStringList{"input3::scrolllock=1", "input3::kana=1", "phy0-led=1"}
            << QStringList{"", "", "SCRL"};
    }

    void lockIndicators() {
        QFETCH(QStringList, leds);
        QFETCH(QStringList, shown);
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
        QCOMPARE(bar.findChild<QLabel*>("capsIndicator")->text(), shown[0]);
        QCOMPARE(bar.findChild<QLabel*>("numIndicator")->text(), shown[1]);
        QCOMPARE(bar.findChild<QLabel*>("scrollIndicator")->text(), shown[2]);
    }

    void startupCancelledNeverShowsTheWindow() {
        ShowWatcher shows;
        qApp->installEventFilter(&shows);
        cancelEveryDialog();
        const auto frame = CreateMainWindow(false);
        qApp->removeEventFilter(&shows);
        QVERIFY(!frame);
        QCOMPARE(m_dialogs.size(), 1);
        QVERIFY(m_dialogs[0].isConnectDialog);
        QVERIFY(m_dialogs[0].ownedByFrame);
        QCOMPARE(shows.framesShown, 0);
        QCOMPARE(m_messages, QStringList());
    }

    void startupWithAutomaticLogOn() {
        storeLogon(true, "system", "manager", "sim:demo");
        cancelEveryDialog();
        const auto frame = CreateMainWindow(false);
        QVERIFY(frame);
        QCOMPARE(m_dialogs.size(), 0);
        QCOMPARE(m_messages, QStringList());
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        QVERIFY(IsLoggedOn());
        QCOMPARE(frame->View()->ListModel()->GetItemCount(), 0);
        QTest::keyClick(frame.get(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(frame->View()->ListModel()->GetItemCount() > 0);
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
        QCOMPARE(m_dialogs.size(), 1);
        QCOMPARE(m_dialogs[0].messagesBefore, 2);
        QVERIFY(m_dialogs[0].lineEditTexts.contains("system"));
        QVERIFY(!m_dialogs[0].lineEditTexts.contains("wrong"));
        QCOMPARE(m_dialogs[0].hostText, QString("sim:demo"));
    }

    // The demo replaces the automatic log-on and leaves the stored values as they were.
    void demoLogsOnAndStoresNothing() {
        storeLogon(true, "scott", "wrong", "sim:empty");
        const QByteArray before = settingsFile();
        cancelEveryDialog();
        const auto frame = CreateMainWindow(true);
        QVERIFY(frame);
        QVERIFY(frame->isVisible());
        QVERIFY(IsLoggedOn());
        QCOMPARE(m_dialogs.size(), 0);
        QCOMPARE(m_messages, QStringList());
        QCOMPARE(settingsFile(), before);
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

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::newRow("version") << QStringList{"--version"} << 0 << "Nimbra Version 1.2.0\n";
        QTest::newRow("Qt's own options still work")
            << QStringList{"-style", "fusion", "--version"} << 0 << "Nimbra Version 1.2.0\n";
        QTest::newRow("help names the demo") << QStringList{"--help"} << 0 << "--demo";
        QTest::newRow("unknown option") << QStringList{"--bogus"} << 1 << "";
        QTest::newRow("a file name") << QStringList{"sessions.txt"} << 1 << "";
    }

    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        const QString program = QCoreApplication::applicationDirPath() + "/../src/nimbra";
        if (!QFile::exists(program)) {
            QSKIP("the nimbra program is not built");
        }
        QProcess nimbra;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", m_settingsDir->path());
        nimbra.setProcessEnvironment(environment);
        nimbra.start(program, arguments);
        QVERIFY(nimbra.waitForFinished(60000));
        QCOMPARE(nimbra.exitStatus(), QProcess::NormalExit);
        QCOMPARE(nimbra.exitCode(), exitCode);
        const QString printed = QString::fromLocal8Bit(nimbra.readAllStandardOutput());
        QVERIFY2(printed.contains(output), qPrintable(printed));
        QVERIFY(!QFile::exists(m_settingsDir->filePath("Velmoor/Nimbra.conf")));
    }
};

QTEST_MAIN(tst_MainFrame)
#include "tst_mainframe.moc"
