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

#include "DbTestSupport.h"
#include "GuiTestSupport.h"
#include "SettingsStore.h"
#include "dialogs/ConnectDialog.h"
#include "sessionview/NimbraView.h"
#include "widgets/DialogUnits.h"
#include "widgets/MessageBox.h"

namespace {
// Opens up what the tests drive directly.
class View : public CNimbraView {
public:
    using CNimbraView::FirstSelectedItem;
    using CNimbraView::OnContextMenu;
    using CNimbraView::SelectedItems;
    using CNimbraView::ShowSessions;
};

// Sessions "sid/serial", listed as user "U" in the order given.
SessionList sessions(const QStringList& keys) {
    SessionList out{ListColumns({}), {}};
    for (const QString& key : keys) {
        out.rows.push_back(
            {{"U", key.section('/', 0, 0).toStdString(), key.section('/', 1, 1).toStdString(),
              "INACTIVE", "oracle", "host", "p"}});
    }
    return out;
}

QString keyOf(const View& view, int row) {
    return row < 0
               ? QString()
               : view.Sessions()->GetItemText(row, 1) + "/" + view.Sessions()->GetItemText(row, 2);
}

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
    return view.Sessions()->GetItemCount();
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
        QTest::addColumn<QString>("fits");  // a text the column shows whole at the list's font
        const char* headings[] = {"Username", "Sid",     "Serial", "Status",
                                  "OS User",  "Machine", "Program"};
        const int widths[] = {100, 50, 50, 80, 100, 200, 300};
        const char* fits[] = {"APP_OWNER", "65535", "65535", "INACTIVE", "oracle", "", ""};
        for (int i = 0; i < 7; ++i) {
            QTest::newRow(headings[i]) << i << QString(headings[i]) << widths[i] << fits[i];
        }
    }
    void columns() {
        QFETCH(int, position);
        QFETCH(QString, heading);
        QFETCH(int, width);
        QFETCH(QString, fits);
        View view;
        // Every session column is in the model; the seven are the ones shown, in their order.
        QCOMPARE(view.ShownColumnIds(), ListColumns({}));
        QCOMPARE(view.Sessions()->ColumnHeading(position), heading);
        QCOMPARE(view.Sessions()->ColumnAlignment(position), Qt::AlignLeft);
        QCOMPARE(view.header()->sectionSize(position), TemplatePixelsToPixels(width, view.font()));
        const int inset = 2 * QFontMetrics(view.font()).horizontalAdvance(' ');
        QVERIFY(QFontMetrics(view.font()).horizontalAdvance(fits) + 2 * inset <=
                view.header()->sectionSize(position));
        QCOMPARE(rows(view), 0);
    }

    void options_data() {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<int>("refreshSec");
        QTest::addColumn<int>("showSystem");
        QTest::addColumn<int>("used");  // the interval the view takes
        QTest::newRow("absent") << false << 0 << 0 << 0;
        QTest::newRow("15 seconds, all sessions") << true << 15 << 1 << 15;
        QTest::newRow("beyond the dialog's range") << true << 300 << 0 << 60;
        QTest::newRow("beyond any timer") << true << 3000000 << 0 << 60;
        QTest::newRow("negative") << true << -5 << 0 << 0;
        QTest::newRow("any non-zero shows all") << true << 0 << 2 << 0;
    }
    void options() {
        QFETCH(bool, stored);
        QFETCH(int, refreshSec);
        QFETCH(int, showSystem);
        QFETCH(int, used);
        if (stored) {
            storeOptions(refreshSec, showSystem);
        }
        View view;
        QCOMPARE(view.RefreshSeconds(), used);
        QCOMPARE(view.ShowSystem(), showSystem != 0);
        QCOMPARE(view.TimerId() != 0, used != 0);
    }

    // A refresh that finds the same sessions changes nothing on screen.
    void refreshUpdatesInPlace() {
        sim::Controls::instance().defineScenario("six", mixedScenario(6, 2));
        QVERIFY(LogOn("system", "manager", "sim:six"));
        View view;
        view.OnRefresh();
        QSignalSpy resets(view.Sessions(), &QAbstractItemModel::modelReset);
        QSignalSpy inserts(view.Sessions(), &QAbstractItemModel::rowsInserted);
        QSignalSpy changes(view.Sessions(), &QAbstractItemModel::dataChanged);
        view.OnRefresh();
        QCOMPARE(resets.size() + inserts.size() + changes.size(), 0);
        QCOMPARE(rows(view), 4);
        const QStringList first = {
            "USER03", "3", "103", "INACTIVE", "oracle", "dbhost01", "sqlplus@client (TNS V1-V3)"};
        for (int column = 0; column < 7; ++column) {
            QCOMPARE(view.Sessions()->GetItemText(0, column), first[column]);
        }
        QCOMPARE(view.Sessions()->GetItemText(3, 0), QString("USER06"));
    }

    // Sessions 1/1 to 200/200 listed; 150/150 and 151/151 selected, 150/150 focused, the list
    // scrolled so that 140/140 is at the top. Then the list is replaced.
    void refreshKeepsPlace_data() {
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("top");
        QStringList all;
        for (int i = 1; i <= 200; ++i) {
            all << QString("%1/%1").arg(i);
        }
        const QStringList both{"150/150", "151/151"};
        QTest::newRow("same sessions") << all << both << "150/150"
                                       << "140/140";
        const QStringList grew = QStringList{"900/1", "901/1", "902/1"} + all;
        QTest::newRow("sessions began above") << grew << both << "150/150"
                                              << "140/140";
        QStringList ended = all;
        ended.removeAll("150/150");
        ended.removeAll("140/140");
        QTest::newRow("the focused and the top session ended")
            << ended << QStringList{"151/151"} << ""
            << "141/141";
        QStringList reused = all;
        reused.replace(149, "150/7");
        QTest::newRow("SID reused by another serial#") << reused << QStringList{"151/151"} << ""
                                                       << "140/140";
        QStringList reordered = all;
        std::reverse(reordered.begin(), reordered.end());
        QTest::newRow("every session moved")
            << reordered << QStringList{"151/151", "150/150"} << "150/150"
            << "140/140";
        QTest::newRow("every session changed")
            << QStringList{"1/2", "2/3", "3/4"} << QStringList{} << ""
            << "1/2";
    }
    void refreshKeepsPlace() {
        QFETCH(QStringList, after);
        QFETCH(QStringList, selected);
        QFETCH(QString, focused);
        QFETCH(QString, top);
        View view;
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QStringList before;
        for (int i = 1; i <= 200; ++i) {
            before << QString("%1/%1").arg(i);
        }
        view.ShowSessions(sessions(before));
        const auto rowsFlag = QItemSelectionModel::Select | QItemSelectionModel::Rows;
        view.selectionModel()->select(view.model()->index(149, 0), rowsFlag);
        view.selectionModel()->select(view.model()->index(150, 0), rowsFlag);
        view.selectionModel()->setCurrentIndex(view.model()->index(149, 0),
                                               QItemSelectionModel::NoUpdate);
        view.scrollTo(view.model()->index(139, 0), QAbstractItemView::PositionAtTop);

        view.ShowSessions(sessions(after));

        QStringList nowSelected;
        for (int row : view.SelectedItems()) {
            nowSelected << keyOf(view, row);
        }
        QCOMPARE(nowSelected, selected);
        if (!focused.isEmpty()) {
            QCOMPARE(keyOf(view, view.GetNextItem(-1, CListViewEx::Focused)), focused);
        }
        QCOMPARE(keyOf(view, view.indexAt(QPoint(0, 0)).row()), top);
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
        // The rows of the instance left behind are gone before the dialog opens.
        QCOMPARE(rows(view), 0);
        QCOMPARE(view.TimerId(), 0);
        QVERIFY(m_messages.isEmpty());

        view.OnRefresh();
        QCOMPARE(rows(view), 0);
        QVERIFY(view.TimerId() != 0);
    }

    // Three rows, row 0 selected and focused; the menu asked for in different ways.
    void contextMenu_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("selected");  // the upper selected row when the menu opens
        QTest::newRow("right click on a row") << "row 1" << true << 1;
        QTest::newRow("right click past the last column") << "row 1 end" << true << 1;
        QTest::newRow("right click on the selected row") << "row 0" << true << 0;
        QTest::newRow("right click below the last row") << "below" << false << -1;
        QTest::newRow("Menu key") << "key" << true << 0;
        QTest::newRow("Shift+F10") << "shift+f10" << true << 0;
        QTest::newRow("keyboard, nothing focused") << "key, no row" << false << -1;
        QTest::newRow("keyboard, focused but not selected: selects it")
            << "key, focused only" << true << 0;
        QTest::newRow("keyboard, empty list") << "key, empty" << false << -1;
    }
    void contextMenu() {
        QFETCH(QString, where);
        QFETCH(bool, shown);
        QFETCH(int, selected);
        View view;
        showListed(view, where.endsWith("empty") ? 0 : 3);
        view.selectionModel()->clearCurrentIndex();
        if (selected >= 0) {
            view.setCurrentIndex(view.model()->index(0, 0));
        }
        if (where == "key, focused only") {
            view.selectionModel()->clearSelection();
        }
        const QRect row0 = view.visualRect(view.model()->index(0, 0));
        const QRect row1 = view.visualRect(view.model()->index(1, 0));
        QPoint point = where == "row 0" ? row0.center() : row1.center();
        if (where == "row 1 end") {
            point.setX(view.viewport()->width() - 2);
        } else if (where == "below") {
            point.setY(view.visualRect(view.model()->index(2, 0)).bottom() + 10);
        }
        const bool keyboard = where.startsWith("key") || where == "shift+f10";

        MenuProbe probe;
        if (where == "shift+f10") {
            QTest::keyClick(&view, Qt::Key_F10, Qt::ShiftModifier);
        } else if (keyboard) {
            // Its position, over row 1, does not count.
            QContextMenuEvent event(QContextMenuEvent::Keyboard,
                                    view.viewport()->mapTo(&view, point),
                                    view.viewport()->mapToGlobal(point));
            QCoreApplication::sendEvent(&view, &event);
        } else {
            // The press selects as a left click would, then the menu is asked for.
            QTest::mousePress(view.viewport(), Qt::RightButton, {}, point);
            QContextMenuEvent event(QContextMenuEvent::Mouse, point,
                                    view.viewport()->mapToGlobal(point));
            QCoreApplication::sendEvent(view.viewport(), &event);
            QTest::mouseRelease(view.viewport(), Qt::RightButton, {}, point);
        }

        QCOMPARE(probe.shown, shown);
        QCOMPARE(view.FirstSelectedItem(), selected);
        if (!shown) {
            return;
        }
        QCOMPARE(probe.items,
                 (QStringList{"&Kill session|Kills the session.|32779",
                              "Kill &immediately|Kills the session at once, without waiting for "
                              "it.|32786",
                              "&Disconnect after transaction|Disconnects the session once its "
                              "transaction has ended.|32787",
                              "Cancel current &SQL|Cancels the statement the session runs; the "
                              "session stays connected.|32788",
                              "-", "Pr&operties|Edits the session item properties.|32780"}));
        // The keyboard's menu opens just under the focused row, the mouse's at the pointer.
        const QPoint under(view.columnViewportPosition(0), row0.bottom() + 1);
        const QPoint wanted = view.viewport()->mapToGlobal(keyboard ? under : point);
        QCOMPARE(probe.at.y(), wanted.y());
        // Near the screen's right edge the menu moves left to stay on the screen.
        QVERIFY(where == "row 1 end" ? probe.at.x() <= wanted.x() : probe.at.x() == wanted.x());
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
