#pragma once
// Samples the active sessions into the local history on a connection and a thread of its own,
// beside the window's: logged on with the window's log-on data, gone with it. It never shows a
// message; what it has to say reaches the notice callback, on its own thread.

#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

#include "ActivityHistory.h"
#include "WorkerConnection.h"

class ActivitySampler {
public:
    struct Options {
        std::chrono::milliseconds interval{1000};
        int keepDays = kDefaultKeepDays;
        // Samples kept in memory before they are written in one transaction.
        int batch = 10;
    };
    // A text for the status bar: a history moved aside, a full disk, failed samples.
    using Notice = std::function<void(const QString& text)>;

    ActivitySampler(WorkerConnection::Logon logon, Options options, Notice notice);
    // Stops sampling and writes what was sampled.
    ~ActivitySampler();

    // The history file of the database sampled; empty until its identity has been read.
    QString HistoryPath() const;
    int FailedSamples() const { return m_failed; }
    int Samples() const { return m_worker ? m_worker->Runs() : 0; }

private:
    // One run on the worker thread.
    void SampleOnce();
    // After each log-on of the worker: the database's identity and its history.
    bool OpenHistory();
    void Say(const QString& text);

    const Options m_options;
    const Notice m_notice;
    mutable std::mutex m_lock;
    QString m_path;
    // Only the worker thread touches these.
    std::unique_ptr<ActivityHistory> m_history;
    int m_nLogonId = 0;
    std::chrono::steady_clock::time_point m_lastPruned;
    std::atomic<int> m_failed = 0;
    std::unique_ptr<WorkerConnection> m_worker;
};

// "Activity sampling: 3 samples failed (ORA-00942: table or view does not exist)".
QString FailedSamplesText(int failures, const std::string& lastMessage);
