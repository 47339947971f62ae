// Who blocks whom: the chains built from BLOCKING_SESSION, the tree of them beside the list,
// the blockers' marks in the list, and the tree's way to the list's selection.

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QtTest>

#include "BlockingChains.h"
#include "DbTestSupport.h"
#include "GuiTestSupport.h"
#include "frame/MainFrame.h"
#include "list/ListViewEx.h"
#include "sessionview/BlockingPane.h"
#include "sessionview/BlockingTreeModel.h"
#include "sessionview/NimbraView.h"
#include "widgets/CommandIds.h"

namespace {
// "sid>blocker" for each session; "sid" alone waits on none; "sid@instance" on a cluster.
std::vector<WaitingSession> sessionsOf(const QStringList& entries) {
    std::vector<WaitingSession> sessions;
    for (const QString& entry : entries) {
        WaitingSession s;
        const QString self = entry.section('>', 0, 0);
        const QString blocker = entry.section('>', 1, 1);
        s.sid = self.section('@', 0, 0).toStdString();
        s.instance = self.section('@', 1, 1).toStdString();
        s.serial = "1";
        s.blockingSid = blocker.section('@', 0, 0).toStdString();
        s.blockingInstance = blocker.section('@', 1, 1).toStdString();
        sessions.push_back(s);
    }
    return sessions;
}

// The chains as "sid(waiter,waiter(...))", a blocker not listed as "?sid", a circle with "*".
QString shapeOf(const std::vector<BlockingNode>& nodes) {
    QStringList parts;
    for (const BlockingNode& node : nodes) {
        const std::string& instance = node.session.instance;
        QString part = (node.listed ? "" : "?") + QString::fromStdString(node.session.sid) +
                       (instance.empty() ? "" : "@" + QString::fromStdString(instance)) +
                       (node.inCycle ? "*" : "");
        if (!node.waiters.empty()) {
            part += "(" + shapeOf(node.waiters) + ")";
        }
        parts << part;
    }
    return parts.join(',');
}
}  // namespace

class tst_Blocking : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsLocation> m_settings;

private slots:
    void init() {
        m_settings = std::make_unique<SettingsLocation>();
        resetDatabase();
        sim::Controls::instance().setFixedTime(1709650000);
        AnswerUnexpectedBoxes();
    }
    void cleanup() { VerifyNothingLeftBehind(); }

    void chains_data() {
        QTest::addColumn<QStringList>("sessions");
        QTest::addColumn<QString>("shape");
        QTest::newRow("nobody waits") << QStringList{"1", "2"} << "";
        QTest::newRow("one blocker, three waiters")
            << QStringList{"5", "12>5", "9>5", "30>5", "7"} << "5(9,12,30)";
        QTest::newRow("three deep") << QStringList{"3>2", "2>1", "1", "4>3"} << "1(2(3(4)))";
        QTest::newRow("two chains, roots by SID")
            << QStringList{"20", "21>20", "10", "11>10"} << "10(11),20(21)";
        QTest::newRow("a blocker the list leaves out") << QStringList{"8>2", "9>2"} << "?2(8,9)";
        QTest::newRow("a deadlock, shown once") << QStringList{"4>7", "7>4", "9>7"} << "4*(7*(9))";
        QTest::newRow("the same SID on two instances")
            << QStringList{"7@1", "7@2", "9@1>7@2", "3@2>9@1"} << "7@2(9@1(3@2))";
        QTest::newRow("no blocking instance: the waiter's own")
            << QStringList{"7@1", "7@2", "9@2>7", "5@3>7"} << "7@2(9@2),?7@3(5@3)";
    }
    void chains() {
        QFETCH(QStringList, sessions);
        QFETCH(QString, shape);
        QCOMPARE(shapeOf(BlockingChains(sessionsOf(sessions))), shape);
    }

    // The demo's chain in the tree, the holder marked in the list, and a tree row selecting its
    // session in the list.
    void demoChainInTheTree() {
        QVERIFY(LogOn("system", "manager", "sim:demo"));
        CMainFrame frame;
        CNimbraView& view = *frame.View();
        CBlockingPane& pane = *frame.BlockingPane();
        QAbstractItemModelTester tester(pane.Model());
        view.RefreshList();
        QCOMPARE(pane.Model()->rowCount(), 0);
        frame.Action(CommandId::BlockingSessions)->trigger();
        QVERIFY(view.BlockingRead());
        CBlockingTreeModel& tree = *pane.Model();
        QCOMPARE(tree.rowCount(), 1);
        const QModelIndex holder = tree.index(0, 0);
        QCOMPARE(tree.rowCount(holder), 3);
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(tree.index(row, CBlockingTreeModel::Event, holder).data().toString(),
                     QString("enq: TX - row lock contention"));
        }
        // The holder is marked where the list shows it.
        const QString holderSid = tree.index(0, CBlockingTreeModel::Sid).data().toString();
        int listed = -1;
        for (int row = 0; row < view.model()->rowCount(); ++row) {
            if (view.GetItemText(row, int(SessionColumnId::Sid)) == holderSid) {
                listed = row;
            }
        }
        QVERIFY(listed >= 0);
        QCOMPARE(view.model()->index(listed, 0).data(Qt::ToolTipRole).toString(),
                 QString("blocks 3 sessions"));
        QVERIFY(!qvariant_cast<QIcon>(view.model()->index(listed, 0).data(Qt::DecorationRole))
                     .isNull());
        pane.Tree()->selectionModel()->select(
            holder, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QCOMPARE(view.SelectedItems(), std::vector<int>{listed});
        // Hidden again, the list no longer reads who blocks whom.
        frame.Action(CommandId::BlockingSessions)->trigger();
        QVERIFY(!view.BlockingWanted());
    }

    // An old server without BLOCKING_SESSION: the tree says so, and nothing is asked of it.
    void notAvailableBeforeRelease10() {
        auto setup = mixedScenario(3, 0);
        setup.release = {9, 2, 0, 8, 0};
        sim::Controls::instance().defineScenario("old", setup);
        QVERIFY(LogOn("system", "manager", "sim:old"));
        MessageRecorder recorder;
        CMainFrame frame;
        frame.Action(CommandId::BlockingSessions)->trigger();
        QVERIFY(recorder.messages.isEmpty());
        QVERIFY(!frame.View()->BlockingRead());
        QCOMPARE(frame.BlockingPane()->findChild<QLabel*>("blockingNote")->text(),
                 QString("Who blocks whom is not available: this database has no "
                         "BLOCKING_SESSION column in v$session."));
    }
};

QTEST_MAIN(tst_Blocking)
#include "tst_blocking.moc"
