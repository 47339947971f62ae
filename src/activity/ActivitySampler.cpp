#include "ActivitySampler.h"

#include <QDir>
#include <QFileInfo>
#include <ctime>

#include "DatabaseIdentity.h"
#include "OracleConnection.h"

namespace {
constexpr auto kPruneEvery = std::chrono::hours(1);

std::int64_t now() {
    return std::int64_t(std::time(nullptr));
}

// The Oracle line of a failure's message, without the OCI function's.
std::string oracleLine(const std::string& message) {
    const std::size_t at = message.find("ORA-");
    const std::string line = at == std::string::npos ? message : message.substr(at);
    return line.substr(0, line.find('\n'));
}
}  // namespace

QString FailedSamplesText(int failures, const std::string& lastMessage) {
    return QStringLiteral("Activity sampling: %1 (%2)")
        .arg(failures == 1 ? QStringLiteral("1 sample failed")
                           : QStringLiteral("%1 samples failed").arg(failures),
             QString::fromStdString(oracleLine(lastMessage)));
}

ActivitySampler::ActivitySampler(WorkerConnection::Logon logon, Options options, Notice notice)
    : m_options(options), m_notice(std::move(notice)) {
    WorkerConnection::Timing timing;
    timing.interval = options.interval;
    m_worker = std::make_unique<WorkerConnection>(
        std::move(logon), timing, [this] { SampleOnce(); },
        [this](const std::string& message) { Say(FailedSamplesText(++m_failed, message)); });
}

ActivitySampler::~ActivitySampler() {
    // The thread ends first; what it kept in memory is written after.
    m_worker.reset();
    if (m_history) {
        QString message;
        m_history->Flush(message);
    }
}

QString ActivitySampler::HistoryPath() const {
    const std::scoped_lock hold(m_lock);
    return m_path;
}

void ActivitySampler::Say(const QString& text) {
    if (m_notice && !text.isEmpty()) {
        m_notice(text);
    }
}

bool ActivitySampler::OpenHistory() {
    const std::optional<DatabaseIdentity> identity = ReadDatabaseIdentity();
    if (!identity) {
        return false;
    }
    const QString path = QDir(HistoryFolder()).filePath(HistoryFileName(*identity));
    if (!m_history || m_history->Path() != path) {
        QString message;
        if (m_history) {
            m_history->Flush(message);
        }
        ActivityHistory::Opening opened = ActivityHistory::Open(path, HistoryAccess::Write);
        Say(opened.message);
        m_history = std::move(opened.history);
        m_lastPruned = {};
    }
    const std::scoped_lock hold(m_lock);
    m_path = m_history ? path : QString();
    return m_history != nullptr;
}

void ActivitySampler::SampleOnce() {
    if (m_nLogonId != TheConnection().logonId) {
        if (!OpenHistory()) {
            return;
        }
        m_nLogonId = TheConnection().logonId;
    }
    if (!m_history) {
        return;
    }
    const std::int64_t sampled = now();
    if (const auto sessions = TakeActivitySample(sampled)) {
        m_history->Append(sampled, *sessions);
    }
    if (int(m_history->PendingSamples()) >= m_options.batch) {
        QString message;
        m_history->Flush(message);
        Say(message);
    }
    const auto steady = std::chrono::steady_clock::now();
    if (steady - m_lastPruned >= kPruneEvery) {
        m_lastPruned = steady;
        PruneHistory(m_history->Path(), m_options.keepDays, sampled);
    }
}
