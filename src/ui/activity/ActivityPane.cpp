#include "activity/ActivityPane.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QSplitter>
#include <QThreadPool>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <ctime>

#include "activity/ActivityChart.h"

namespace {
// The chart always has this many stretches, whatever the span.
constexpr int kBuckets = 60;
constexpr int kTopEntries = 10;
constexpr int kReloadMs = 5000;

struct Span {
    const char* text;
    int seconds;
};
// Out to the longest a history may keep.
const Span kSpans[] = {{"Last hour", 3600},          {"Last 6 hours", 6 * 3600},
                       {"Last day", 86400},          {"Last 7 days", 7 * 86400},
                       {"Last 30 days", 30 * 86400}, {"Last year", 366 * 86400}};

QTreeWidget* topList(const QStringList& headings, const char* name, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setRootIsDecorated(false);
    list->setHeaderLabels(headings);
    list->header()->setStretchLastSection(true);
    return list;
}

QString percent(double share) {
    return QStringLiteral("%1%").arg(share * 100, 0, 'f', 1);
}

QString timeText(std::int64_t seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("ddd HH:mm:ss"));
}
}  // namespace

CActivityPane::CActivityPane(std::function<QString()> historyPath, std::function<int()> cpus,
                             QWidget* parent)
    : QWidget(parent),
      m_historyPath(std::move(historyPath)),
      m_cpus(std::move(cpus)),
      m_span(new QComboBox(this)),
      m_chart(new CActivityChart(this)),
      m_range(new QLabel(this)),
      m_topSql(topList(
          {QStringLiteral("SQL ID"), QStringLiteral("Activity"), QStringLiteral("Average Active")},
          "topSql", this)),
      m_topSessions(topList({QStringLiteral("Session"), QStringLiteral("Activity"),
                             QStringLiteral("Username"), QStringLiteral("Program")},
                            "topSessions", this)),
      m_reload(new QTimer(this)) {
    setObjectName(QStringLiteral("activityPane"));
    m_span->setObjectName(QStringLiteral("activitySpan"));
    m_range->setObjectName(QStringLiteral("activityRange"));
    for (const Span& span : kSpans) {
        m_span->addItem(QString::fromLatin1(span.text), span.seconds);
    }
    auto* top = new QHBoxLayout;
    top->addWidget(m_span);
    top->addWidget(m_range, 1);
    auto* lists = new QSplitter(Qt::Horizontal, this);
    lists->addWidget(m_topSql);
    lists->addWidget(m_topSessions);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_chart, 3);
    layout->addWidget(lists, 2);
    m_reload->setInterval(kReloadMs);
    connect(m_reload, &QTimer::timeout, this, &CActivityPane::Reload);
    connect(m_span, &QComboBox::currentIndexChanged, this, [this] {
        m_picked = {};
        Reload();
    });
    connect(m_chart, &CActivityChart::rangePicked, this, &CActivityPane::ShowTop);
    connect(m_topSessions, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        const QString key = item->text(0);
        emit sessionWanted(key.section(u',', 0, 0), key.section(u',', 1, 1));
    });
}

CActivityPane::~CActivityPane() = default;

int CActivityPane::SpanSeconds() const {
    return m_span->currentData().toInt();
}

ActivityHistory* CActivityPane::History() {
    const QString path = m_historyPath ? m_historyPath() : QString();
    if (path.isEmpty()) {
        m_history.reset();
    } else if (!m_history || m_history->Path() != path) {
        m_history = std::move(ActivityHistory::Open(path, HistoryAccess::Read).history);
    }
    return m_history.get();
}

void CActivityPane::Reload() {
    const std::int64_t now = std::int64_t(std::time(nullptr));
    const int bucket = SpanSeconds() / kBuckets;
    // The span ends with the stretch now running.
    const std::int64_t end = (now / bucket + 1) * bucket;
    m_shown = {end - std::int64_t(bucket) * kBuckets, end};
    ActivityHistory* history = History();
    m_chart->Show(history ? history->ActiveByClass(m_shown, bucket) : std::vector<ActivityBucket>(),
                  m_shown, bucket, m_cpus ? m_cpus() : 0);
    ShowTop(m_picked);
}

// Over a week the top lists read millions of rows: they are read on a thread of the pool with a
// connection of their own, one question at a time; one asked meanwhile waits, and only the
// latest of those is read.
void CActivityPane::ShowTop(HistoryRange range) {
    m_picked = range;
    const HistoryRange top = range.to > range.from ? range : m_shown;
    const QString path = m_history ? m_history->Path() : QString();
    if (path.isEmpty()) {
        m_topSql->clear();
        m_topSessions->clear();
        m_range->setText(QStringLiteral("No activity has been sampled for this database yet."));
        return;
    }
    const TopQuestion question{path, top};
    if (m_topShown == question && !m_topReading) {
        return;
    }
    m_range->setText(QStringLiteral("Top SQL and sessions from %1 to %2 (reading...)")
                         .arg(timeText(top.from), timeText(top.to)));
    m_topWaiting = question;
    if (!m_topReading) {
        ReadTop();
    }
}

void CActivityPane::ReadTop() {
    const TopQuestion question = *std::exchange(m_topWaiting, std::nullopt);
    m_topReading = true;
    const QPointer<CActivityPane> pane(this);
    QThreadPool::globalInstance()->start([pane, question] {
        TopLists lists;
        if (const auto history =
                ActivityHistory::Open(question.first, HistoryAccess::Read).history) {
            lists.sql = history->Top(TopBy::Sql, question.second, kTopEntries);
            lists.sessions = history->Top(TopBy::Session, question.second, kTopEntries);
        }
        // Posted to the application, which outlives the pane: the pointer is read on its thread.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [pane, question, lists = std::move(lists)] {
                if (pane) {
                    pane->TopRead(question, lists);
                }
            },
            Qt::QueuedConnection);
    });
}

void CActivityPane::TopRead(const TopQuestion& question, const TopLists& lists) {
    m_topReading = false;
    if (m_topWaiting && *m_topWaiting != question) {
        ReadTop();
        return;
    }
    m_topWaiting.reset();
    m_topShown = question;
    m_range->setText(QStringLiteral("Top SQL and sessions from %1 to %2")
                         .arg(timeText(question.second.from), timeText(question.second.to)));
    FillTop(lists);
}

void CActivityPane::FillTop(const TopLists& lists) {
    m_topSql->clear();
    m_topSessions->clear();
    for (const TopEntry& e : lists.sql) {
        new QTreeWidgetItem(m_topSql, {QString::fromStdString(e.key), percent(e.share),
                                       QString::number(e.averageActive, 'f', 2)});
    }
    for (const TopEntry& e : lists.sessions) {
        new QTreeWidgetItem(m_topSessions,
                            {QString::fromStdString(e.key), percent(e.share),
                             QString::fromStdString(e.user), QString::fromStdString(e.program)});
    }
    emit topListsShown();
}

void CActivityPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Reload();
    m_reload->start();
}

void CActivityPane::hideEvent(QHideEvent* event) {
    m_reload->stop();
    QWidget::hideEvent(event);
}
