// The session list view: its columns and options, refreshes through the real list, its timer,
// the Connect command and the context menu.

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTimerEvent>
#include <QtTest>
#include <memory>

#include "ConnectDialog.h"
#include "DbTestSupport.h"
#include "GuiTestSupport.h"
#include "MessageBox.h"
#include "NimbraView.h"
#include "SettingsStore.h"

namespace {
// Opens up what the tests drive directly.
class View : public CNimbraView {
public:
    using CNimbraView::ContextMenuPosition;
    using CNimbraView::FirstSelectedItem;
    using CNimbraView::OnContextMenu;
};

// Records and closes the next popup menu that opens while it lives.
class MenuProbe {
public:
    MenuProbe() {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                shown = true;
                at = menu->pos();
                for (const QAction* action : menu->actions()) {
                    items << (action->isSeparator() ? QString("-")
                                                    : action->text() + "|" + action->statusTip() +
                                                          "|" + action->data().toString());
                }
                menu->close();
            }
        });
        m_timer.start(0);
    }
    bool shown = false;
    QPoint at;
    QStringList items;

private:
    QTimer m_timer;
};

void storeOptions(int refreshSec, int showSystem) {
    SettingsStore::WriteProfileInt("Options", "RefreshSec", refreshSec);
    SettingsStore::WriteProfileInt("Options", "ShowSystem", showSystem);
}

int rows(const View& view) {
    return view.ListModel()->GetItemCount();
}

// A shown view of the given size with rows of the scenario listed.
void showListed(View& view, int sessions, QSize size = {600, 300}) {
    sim::Controls::instance().defineScenario("listed", mixedScenario(sessions, 0));
    QVERIFY(LogOn("system", "manager", "sim:listed"));
    view.resize(size);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.OnRefresh();
    QCOMPARE(rows(view), sessions);
}
}  // namespace

class tst_NimbraView : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsLocation> m_settings;
    QStringList m_messages;

private slots:
    void init() {
        m_settings = std::make_unique<SettingsLocation>();
        QVERIFY(m_settings->isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_settings->path()));
        QVERIFY(SettingsStore::FilePath().startsWith(m_settings->path()));
        resetDatabase();
        m_messages.clear();
        SetMessageBoxHandler([this](const QString& text, MsgButtons, MsgIcon) {
            m_messages << text;
            return IDOK;
        });
        ShowFailuresInMessageBoxes();
    }
    void cleanup() { VerifyNothingLeftBehind(); }

    void columns_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<int>("width");
        const char* headings[] = {"Username", "Sid",     "Serial", "Status",
                                  "OS User",  "Machine", "Program"};
        const int widths[] = {100, 50, 50, 80, 100, 200, 300};
        for (int i = 0; i < 7; ++i) {
            QTest::newRow(headings[i]) << i << QString(headings[i]) << widths[i];
        }
    }
    void columns() {
        QFETCH(int, position);
        QFETCH(QString, heading);
        QFETCH(int, width);
        View view;
        QCOMPARE(view.ListModel()->columnCount(), 7);
        QCOMPARE(view.ListModel()->ColumnHeading(position), heading);
        QCOMPARE(view.ListModel()->ColumnAlignment(position), Qt::AlignLeft);
        QCOMPARE(view.header()->sectionSize(position), width);
        QCOMPARE(rows(view), 0);
    }

    void options_data() {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<int>("refreshSec");
        QTest::addColumn<int>("showSystem");
        QTest::newRow("absent") << false << 0 << 0;
        QTest::newRow("15 seconds, all sessions") << true << 15 << 1;
        QTest::newRow("beyond the dialog's range") << true << 300 << 0;
        QTest::newRow("any non-zero shows all") << true << 0 << 2;
    }
    void options() {
        QFETCH(bool, stored);
        QFETCH(int, refreshSec);
        QFETCH(int, showSystem);
        if (stored) {
            storeOptions(refreshSec, showSystem);
        }
        View view;
        QCOMPARE(view.RefreshSeconds(), refreshSec);
        QCOMPARE(view.ShowSystem(), showSystem != 0);
        QCOMPARE(view.TimerId() != 0, refreshSec != 0);
    }

    void refreshIsOneModelReset() {
        sim::Controls::instance().defineScenario("six", mixedScenario(6, 2));
        QVERIFY(LogOn("system", "manager", "sim:six"));
        View view;
        view.OnRefresh();
        QSignalSpy resets(view.ListModel(), &QAbstractItemModel::modelReset);
        QSignalSpy inserts(view.ListModel(), &QAbstractItemModel::rowsInserted);
        QSignalSpy changes(view.ListModel(), &QAbstractItemModel::dataChanged);
        view.OnRefresh();
        QCOMPARE(resets.size(), 1);
        QCOMPARE(inserts.size(), 0);
        QCOMPARE(changes.size(), 0);
        QCOMPARE(rows(view), 4);
        const QStringList first = {
            "USER03", "3", "103", "INACTIVE", "oracle", "dbhost01", "sqlplus@client (TNS V1-V3)"};
        for (int column = 0; column < 7; ++column) {
            QCOMPARE(view.ListModel()->GetItemText(0, column), first[column]);
        }
        QCOMPARE(view.ListModel()->GetItemText(3, 0), QString("USER06"));
    }

    void refreshForgetsSelectionAndScroll() {
        View view;
        showListed(view, 200, {400, 200});
        view.selectionModel()->select(view.ListModel()->index(150, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
        view.setCurrentIndex(view.ListModel()->index(150, 0));
        view.scrollToBottom();
        QCOMPARE(view.FirstSelectedItem(), 150);
        QVERIFY(view.verticalScrollBar()->value() > 0);

        view.OnRefresh();

        QCOMPARE(rows(view), 200);
        QCOMPARE(view.FirstSelectedItem(), -1);
        QVERIFY(!view.selectionModel()->hasSelection());
        QVERIFY(!view.currentIndex().isValid());
        QCOMPARE(view.verticalScrollBar()->value(), 0);
    }

    void refreshFailureShowsWaitCursor() {
        View view;
        showListed(view, 3);
        QList<bool> waiting;
        SetMessageSink([&](const std::string&) {
            waiting << (QApplication::overrideCursor() &&
                        QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        });
        sim::Controls::instance().failCall(sim::Call::ExecFetch, 1, 3113);
        view.OnRefresh();
        QVERIFY(!waiting.isEmpty());
        QCOMPARE(waiting, QList<bool>(waiting.size(), true));
        QVERIFY(!IsLoggedOn());
    }

    void ticks_data() {
        QTest::addColumn<bool>("loggedOn");
        QTest::addColumn<bool>("ownId");
        QTest::addColumn<int>("listed");
        QTest::newRow("own tick") << true << true << 5;
        QTest::newRow("foreign tick") << true << false << 0;
        QTest::newRow("own tick while logged off") << false << true << 0;
    }
    void ticks() {
        QFETCH(bool, loggedOn);
        QFETCH(bool, ownId);
        QFETCH(int, listed);
        storeOptions(15, 0);
        sim::Controls::instance().defineScenario("five", mixedScenario(5, 0));
        if (loggedOn) {
            QVERIFY(LogOn("system", "manager", "sim:five"));
        }
        View view;
        const int timer = view.TimerId();
        QVERIFY(timer != 0);
        QTimerEvent tick(ownId ? timer : timer + 1000);
        QCoreApplication::sendEvent(&view, &tick);
        QCOMPARE(rows(view), listed);
        QVERIFY(view.TimerId() != 0);
    }

    void connectThenCancel() {
        storeOptions(15, 0);
        View view;
        showListed(view, 4);
        QVERIFY(view.TimerId() != 0);
        const QWidget* owner = nullptr;
        bool loggedOnInDialog = true;
        QTimer::singleShot(0, &view, [&] {
            if (auto* dialog = qobject_cast<CConnectDialog*>(QApplication::activeModalWidget())) {
                owner = dialog->parentWidget();
                loggedOnInDialog = IsLoggedOn();
                dialog->reject();
            }
        });
        view.OnConnect();
        QCOMPARE(owner, view.window());
        QVERIFY(!loggedOnInDialog);
        QVERIFY(!IsLoggedOn());
        QCOMPARE(rows(view), 4);
        QCOMPARE(view.TimerId(), 0);
        QVERIFY(m_messages.isEmpty());

        view.OnRefresh();
        QCOMPARE(rows(view), 0);
        QVERIFY(view.TimerId() != 0);
    }

    void contextMenu_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("shown");
        QTest::newRow("right click on a row") << "row" << true;
        QTest::newRow("right click past the last column") << "row end" << true;
        QTest::newRow("right click below the last row") << "below" << false;
        QTest::newRow("keyboard, rows listed") << "keyboard" << true;
        QTest::newRow("keyboard, empty list") << "keyboard, empty" << false;
    }
    void contextMenu() {
        QFETCH(QString, where);
        QFETCH(bool, shown);
        View view;
        showListed(view, where.endsWith("empty") ? 0 : 3);
        const QRect row1 = view.visualRect(view.ListModel()->index(1, 0));
        QPoint point = row1.center();
        if (where == "row end") {
            point.setX(view.viewport()->width() - 2);
        } else if (where == "below") {
            point.setY(view.visualRect(view.ListModel()->index(2, 0)).bottom() + 10);
        }
        const bool keyboard = where.startsWith("keyboard");

        MenuProbe probe;
        if (keyboard) {
            // Its position, over row 1, does not count.
            QContextMenuEvent event(QContextMenuEvent::Keyboard,
                                    view.viewport()->mapTo(&view, point),
                                    view.viewport()->mapToGlobal(point));
            QCoreApplication::sendEvent(&view, &event);
        } else {
            QContextMenuEvent event(QContextMenuEvent::Mouse, point,
                                    view.viewport()->mapToGlobal(point));
            QCoreApplication::sendEvent(view.viewport(), &event);
        }

        QCOMPARE(probe.shown, shown);
        if (!shown) {
            return;
        }
        QCOMPARE(probe.items,
                 (QStringList{"&Kill session|Kills the session.|32779", "-",
                              "Pr&operties|Edits the session item properties.|32780"}));
        if (!keyboard) {
            QCOMPARE(probe.at, view.viewport()->mapToGlobal(point));
        }
    }

    // The client area begins inside the frame, where the header starts.
    void contextMenuPosition_data() {
        QTest::addColumn<QPoint>("windowAt");
        QTest::addColumn<QPoint>("screenPoint");
        QTest::addColumn<QPoint>("menuAt");
        QTest::newRow("mouse") << QPoint(30, 40) << QPoint(120, 90) << QPoint(120, 90);
        QTest::newRow("keyboard") << QPoint(30, 40) << QPoint(-1, -1) << QPoint(35, 45);
        QTest::newRow("keyboard, window moved")
            << QPoint(100, 7) << QPoint(-1, -1) << QPoint(105, 12);
    }
    void contextMenuPosition() {
        QFETCH(QPoint, windowAt);
        QFETCH(QPoint, screenPoint);
        QFETCH(QPoint, menuAt);
        View view;
        view.move(windowAt);
        const int frame = screenPoint == QPoint(-1, -1) ? view.frameWidth() : 0;
        QVERIFY(view.frameWidth() > 0);
        QCOMPARE(view.ContextMenuPosition(screenPoint), menuAt + QPoint(frame, frame));
    }

    // Above the rows lies the header; a scrolled list has rows there that are out of sight.
    void noMenuOverTheHeader() {
        View view;
        showListed(view, 100, {400, 200});
        view.scrollToBottom();
        const QPoint header = view.header()->mapToGlobal(view.header()->rect().center());
        MenuProbe probe;
        view.OnContextMenu(header);
        QVERIFY(!probe.shown);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
    }
};

QTEST_MAIN(tst_NimbraView)
#include "tst_nimbraview.moc"
