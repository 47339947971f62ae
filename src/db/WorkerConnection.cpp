#include "WorkerConnection.h"

#include <cstring>

#include "OracleConnection.h"

namespace {
using Clock = std::chrono::steady_clock;

void wipe(std::string& secret) {
    explicit_bzero(secret.data(), secret.size());
    secret.clear();
}
}  // namespace

WorkerConnection::WorkerConnection(Logon logon, Timing timing, Job job, Failure failure)
    : m_logon(std::move(logon)),
      m_timing(timing),
      m_job(std::move(job)),
      m_failure(std::move(failure)),
      m_thread(&WorkerConnection::Run, this) {}

WorkerConnection::~WorkerConnection() {
    {
        const std::scoped_lock lock(m_mutex);
        m_bStop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    wipe(m_logon.password);
}

bool WorkerConnection::WaitUntil(Clock::time_point when) {
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_until(lock, when, [this] { return m_bStop; });
}

// Each run is due at a whole number of intervals from the first: a run that took longer than
// the interval makes the next ones skip, never pile up.
void WorkerConnection::Run() {
    OracleConnection own;
    own.messageSink = [this](const std::string& message) {
        ++m_failures;
        if (m_failure) {
            m_failure(message);
        }
    };
    const ConnectionInUse use(own);
    std::chrono::milliseconds retry = m_timing.firstRetry;
    Clock::time_point due = Clock::now();
    for (;;) {
        if (!IsLoggedOn()) {
            m_loggedOn = LogOn(m_logon.user.c_str(), m_logon.password.c_str(), m_logon.host.c_str(),
                               m_logon.mode);
            if (!m_loggedOn) {
                if (!WaitUntil(Clock::now() + retry)) {
                    break;
                }
                retry = std::min(retry * 2, m_timing.longestRetry);
                continue;
            }
            retry = m_timing.firstRetry;
            due = Clock::now();
        }
        {
            const DatabaseOperation run;
            m_job();
        }
        ++m_runs;
        m_loggedOn = IsLoggedOn();
        const Clock::time_point now = Clock::now();
        while (due <= now) {
            due += m_timing.interval;
        }
        if (!WaitUntil(m_loggedOn ? due : now + retry)) {
            break;
        }
    }
    LogOff(stderr);
}
