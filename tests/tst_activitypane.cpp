// View > Activity over a history written here: the classes stacked in their order, the top
// lists of the span and of a range dragged across it, and a session asked for in the list.

#include <QBarSet>
#include <QSignalSpy>
#include <QStackedBarSeries>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <ctime>

#include "ActivityHistory.h"
#include "activity/ActivityChart.h"
#include "activity/ActivityPane.h"

namespace {
ActivitySample session(int sid, const char* waitClass, const char* sqlId) {
    ActivitySample s;
    s.sid = sid;
    s.serial = 100 + sid;
    s.user = "APP";
    s.program = "app.exe";
    s.sqlId = sqlId;
    s.waitClass = waitClass;
    return s;
}

QStringList column(const QTreeWidget& list, int column) {
    QStringList texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        texts << list.topLevelItem(i)->text(column);
    }
    return texts;
}
}  // namespace

class tst_ActivityPane : public QObject {
    Q_OBJECT

private slots:
    void chartAndTopLists() {
        QTemporaryDir folder;
        const QString path = folder.filePath("activity-1-1.sqlite");
        // Ten minutes ago two on CPU and one waiting on a lock; five minutes ago three reading.
        const std::int64_t now = std::time(nullptr);
        {
            ActivityHistory::Opening opened = ActivityHistory::Open(path, HistoryAccess::Write);
            QVERIFY(opened.history);
            opened.history->Append(now - 600, {session(1, "ON CPU", "aaaaaaaaaaaaa"),
                                               session(2, "ON CPU", "aaaaaaaaaaaaa"),
                                               session(3, "Application", "bbbbbbbbbbbbb")});
            opened.history->Append(now - 300, {session(4, "User I/O", "ccccccccccccc"),
                                               session(5, "User I/O", "ccccccccccccc"),
                                               session(6, "User I/O", "ccccccccccccc")});
            QString message;
            QVERIFY(opened.history->Flush(message));
        }
        CActivityPane pane([&path] { return path; }, [] { return 4; });
        pane.show();
        auto* bars = pane.findChild<CActivityChart*>()->chart()->series().value(0);
        QStringList stacked;
        for (QBarSet* set : static_cast<QStackedBarSeries*>(bars)->barSets()) {
            stacked << set->label();
        }
        QCOMPARE(stacked, QStringList({"ON CPU", "User I/O", "Application"}));
        QCOMPARE(pane.findChild<CActivityChart*>()->chart()->series().size(), 2);

        const auto& topSql = *pane.findChild<QTreeWidget*>("topSql");
        QTRY_COMPARE(column(topSql, 0),
                     QStringList({"ccccccccccccc", "aaaaaaaaaaaaa", "bbbbbbbbbbbbb"}));
        QCOMPARE(column(topSql, 1), QStringList({"50.0%", "33.3%", "16.7%"}));
        // The range dragged across holds only the first sample.
        pane.ShowTop({now - 660, now - 540});
        QTRY_COMPARE(column(topSql, 0), QStringList({"aaaaaaaaaaaaa", "bbbbbbbbbbbbb"}));
        auto& topSessions = *pane.findChild<QTreeWidget*>("topSessions");
        QCOMPARE(column(topSessions, 0), QStringList({"1,101", "2,102", "3,103"}));
        QSignalSpy wanted(&pane, &CActivityPane::sessionWanted);
        emit topSessions.itemDoubleClicked(topSessions.topLevelItem(2), 0);
        QCOMPARE(wanted.value(0), QVariantList({"3", "103"}));
    }
};

QTEST_MAIN(tst_ActivityPane)
#include "tst_activitypane.moc"
