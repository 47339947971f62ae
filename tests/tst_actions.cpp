// Killing the selected session through the view: the question, what is sent, the refresh, and
// the keys that end the command without a word.

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimerEvent>
#include <QtTest>
#include <functional>
#include <memory>

#include "DbTestSupport.h"
#include "GuiTestSupport.h"
#include "MessageBox.h"
#include "NimbraView.h"
#include "SessionStatements.h"
#include "SettingsStore.h"

namespace {
const QString kKill = QStringLiteral("Alter system kill session '12, 345'");
const QString kCount = QStringLiteral("SELECT count(*) FROM sys.v_$session");
const QString kList = QString::fromStdString(SessionListStatement(false));

QStringList sent() {
    QStringList log;
    for (const std::string& sql : sim::Controls::instance().statementLog()) {
        log << QString::fromStdString(sql);
    }
    return log;
}

int selectedRow(const CNimbraView& view) {
    return view.GetNextItem(-1, CListViewEx::Selected);
}

QString statusOf(const CNimbraView& view, const QString& sid) {
    for (int row = 0; row < view.ListModel()->GetItemCount(); ++row) {
        if (view.ListModel()->GetItemText(row, 1) == sid) {
            return view.ListModel()->GetItemText(row, 3);
        }
    }
    return QStringLiteral("gone");
}
}  // namespace

class tst_Actions : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsLocation> m_settings;
    QStringList m_questions;
    int m_answer = IDYES;
    std::function<void()> m_whileAsking;

    // Listed by user name: ALICE 12/345, BOB 20/7, CAROL 31/9; the given rows selected.
    void listThree(CNimbraView& view, const QList<int>& selected) {
        auto setup = mixedScenario(0, 0);
        setup.sessions = {userSession(20, "BOB", 7), userSession(31, "CAROL", 9),
                          userSession(12, "ALICE", 345)};
        sim::Controls::instance().defineScenario("three", setup);
        QVERIFY(LogOn("system", "manager", "sim:three"));
        view.OnRefresh();
        for (int row : selected) {
            view.selectionModel()->select(view.ListModel()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        sim::Controls::instance().clearStatementLog();
    }

private slots:
    void init() {
        m_settings = std::make_unique<SettingsLocation>();
        resetDatabase();
        sim::Controls::instance().setFixedTime(1709650000);
        m_questions.clear();
        m_whileAsking = {};
        SetMessageBoxHandler([this](const QString& text, MsgButtons buttons, MsgIcon icon) {
            m_questions << text;
            if (buttons != MsgButtons::YesNo || icon != MsgIcon::Default) {
                qWarning("not a Yes/No question with the warning icon: %s", qPrintable(text));
            }
            if (m_whileAsking) {
                m_whileAsking();
            }
            return m_answer;
        });
    }
    void cleanup() { VerifyNothingLeftBehind(); }

    void kill_data() {
        QTest::addColumn<QList<int>>("selected");
        // Written over Sid and Serial of the upper selected row; empty keeps the listed ones.
        QTest::addColumn<QStringList>("key");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("kill");
        QTest::newRow("Yes") << QList<int>{0} << QStringList{} << IDYES << kKill;
        QTest::newRow("No") << QList<int>{0} << QStringList{} << IDNO << "";
        QTest::newRow("two selected: the upper")
            << QList<int>{2, 1} << QStringList{} << IDYES << "Alter system kill session '20, 7'";
        QTest::newRow("nothing selected") << QList<int>{} << QStringList{} << IDYES << "";
        QTest::newRow("empty Sid") << QList<int>{0} << QStringList{"", "345"} << IDYES << "";
        QTest::newRow("quote in Sid")
            << QList<int>{0} << QStringList{"12' --", "345"} << IDYES << "";
        QTest::newRow("negative Serial")
            << QList<int>{0} << QStringList{"12", "-345"} << IDYES << "";
    }
    void kill() {
        QFETCH(QList<int>, selected);
        QFETCH(QStringList, key);
        QFETCH(int, answer);
        QFETCH(QString, kill);
        CNimbraView view;
        listThree(view, selected);
        const int upper = selectedRow(view);
        if (!key.isEmpty()) {
            view.ListModel()->SetItemText(upper, 1, key[0]);
            view.ListModel()->SetItemText(upper, 2, key[1]);
        }
        const QString sid = view.ListModel()->GetItemText(upper, 1);
        m_answer = answer;

        view.OnKillSession();

        const bool asked = upper >= 0 && key.isEmpty();
        QCOMPARE(m_questions,
                 asked ? QStringList{"Do You really want to kill this session?"} : QStringList{});
        if (kill.isEmpty()) {
            QCOMPARE(sent(), QStringList{});
            QCOMPARE(selectedRow(view), upper);
            return;
        }
        QCOMPARE(sent(), (QStringList{kill, kCount, kList}));
        QCOMPARE(statusOf(view, sid), QString("KILLED"));
        sim::Controls::instance().advanceClock(3600);
        view.OnRefresh();
        QCOMPARE(statusOf(view, sid), QString("gone"));
    }

    // The timer runs on behind the question; the kill keeps the key it read before asking.
    void tickDuringQuestion() {
        SettingsStore::WriteProfileInt("Options", "RefreshSec", 15);
        CNimbraView view;
        listThree(view, {0});
        int selectedAfterTick = 0;
        m_whileAsking = [&] {
            QTimerEvent tick(view.TimerId());
            QCoreApplication::sendEvent(&view, &tick);
            selectedAfterTick = selectedRow(view);
        };
        view.OnKillSession();
        QCOMPARE(selectedAfterTick, -1);
        QCOMPARE(sent(), (QStringList{kCount, kList, kKill, kCount, kList}));
        QVERIFY(view.TimerId() != 0);
    }
};

QTEST_MAIN(tst_Actions)
#include "tst_actions.moc"
