#pragma once
// A connection of its own on a thread of its own, beside the window's: it logs on with the data
// of the window's log-on, runs a job at a steady interval, logs on again with growing pauses when
// its connection is lost, and never shows a message: its failures are counted and handed on.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "ConnectAs.h"

class WorkerConnection {
public:
    struct Logon {
        std::string user;
        std::string password;
        std::string host;
        ConnectAs mode = ConnectAs::Normal;
    };
    struct Timing {
        std::chrono::milliseconds interval{1000};
        // The first pause before logging on again; each failed attempt doubles it up to the
        // longest.
        std::chrono::milliseconds firstRetry{1000};
        std::chrono::milliseconds longestRetry{60000};
    };
    // Runs on the worker thread with the worker's connection in use.
    using Job = std::function<void()>;
    // A failure's message, on the worker thread.
    using Failure = std::function<void(const std::string& message)>;

    // Starts the thread, which logs on at once. The password is kept only in this object, for
    // logging on again, and cleared when it goes.
    WorkerConnection(Logon logon, Timing timing, Job job, Failure failure);
    // Stops the thread after its current call and logs off.
    ~WorkerConnection();
    WorkerConnection(const WorkerConnection&) = delete;
    WorkerConnection& operator=(const WorkerConnection&) = delete;

    // Failed runs and log-ons so far, one for each whatever it cost.
    int Failures() const { return m_failures; }
    // Runs of the job so far, failed ones included.
    int Runs() const { return m_runs; }
    bool LoggedOn() const { return m_loggedOn; }

private:
    void Run();
    // Waits until the time or a stop; false on a stop.
    bool WaitUntil(std::chrono::steady_clock::time_point when);

    Logon m_logon;
    const Timing m_timing;
    const Job m_job;
    const Failure m_failure;
    std::atomic<int> m_failures = 0;
    std::atomic<int> m_runs = 0;
    std::atomic<bool> m_loggedOn = false;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bStop = false;
    std::thread m_thread;
};
