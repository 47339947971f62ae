// A week of activity history at one sample a second with 50 active sessions: the file's size,
// the chart's reads of the last hour and of the whole week by wait class, and View > Activity
// drawing each, alternately in one loop. One sample of sim:large's 500 active sessions beside
// the session list's read of all 10,000, with the sampling thread's CPU time. And the longest
// stall of the window's event loop while the sampler runs beside it, and while it does not.

#include <benchmark/benchmark.h>
#include <time.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <string>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTimer>
#include <ctime>

#include "ActivityHistory.h"
#include "ActivitySampler.h"
#include "BenchSupport.h"
#include "OracleConnection.h"
#include "SessionStatements.h"
#include "activity/ActivityPane.h"

namespace {
using BenchClock = std::chrono::steady_clock;

// The week ends at the last whole ten minutes, so that the chart's last hour is the week's.
const std::int64_t kEnd = std::int64_t(std::time(nullptr)) / 600 * 600;
constexpr std::int64_t kWeek = 7 * 86400;
constexpr int kActive = 50;
// An hour of samples per transaction.
constexpr int kBatch = 3600;

// Half the sessions on CPU, the rest in the classes a busy OLTP instance waits in, changing
// every half minute; 300 statements, 40 programs and 60 machines.
ActivitySample sampled(int session, std::int64_t time) {
    static const char* const kClasses[] = {kOnCpu,        kOnCpu,       kOnCpu,   kOnCpu,
                                           kOnCpu,        "User I/O",   "Commit", "User I/O",
                                           "Application", "Concurrency"};
    static const char* const kEvents[] = {"",
                                          "",
                                          "",
                                          "",
                                          "",
                                          "db file sequential read",
                                          "log file sync",
                                          "db file scattered read",
                                          "enq: TX - row lock contention",
                                          "buffer busy waits"};
    const int phase = int((session + time / 30) % 10);
    ActivitySample s;
    s.sampleTime = time;
    s.sid = 100 + session;
    s.serial = 1000 + session;
    s.user = "APP_USER" + std::to_string(session % 12);
    s.sqlId = "7h35uxf5uhm" + std::to_string(10 + (session * 7 + time / 60) % 300);
    s.event = kEvents[phase];
    s.waitClass = kClasses[phase];
    s.module = "order-service";
    s.program = "java@order-svc-" + std::to_string(session % 40) + " (TNS V1-V3)";
    s.machine = "k8s-worker-" + std::to_string(session % 60);
    return s;
}

QString BuildWeek(const QTemporaryDir& folder) {
    const QString path = folder.path() + "/activity-1-1.sqlite";
    auto history = ActivityHistory::Open(path, HistoryAccess::Write).history;
    std::vector<ActivitySample> sessions(kActive);
    QString message;
    for (std::int64_t time = kEnd - kWeek; time < kEnd; ++time) {
        for (int i = 0; i < kActive; ++i) {
            sessions[std::size_t(i)] = sampled(i, time);
        }
        history->Append(time, sessions);
        if (history->PendingSamples() == kBatch) {
            history->Flush(message);
        }
    }
    history->Flush(message);
    return path;
}

double Milliseconds(BenchClock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

const QString& WeekPath() {
    static QTemporaryDir folder;
    static const QString path = BuildWeek(folder);
    return path;
}

void BM_WeekOfActivity(benchmark::State& state) {
    const QString& path = WeekPath();
    const auto history = ActivityHistory::Open(path, HistoryAccess::Read).history;
    if (!history) {
        state.SkipWithError("the history could not be opened");
        return;
    }
    BenchClock::duration hour{};
    BenchClock::duration week{};
    for (auto _ : state) {
        const BenchClock::time_point start = BenchClock::now();
        const auto lastHour = history->ActiveByClass({kEnd - 3600, kEnd}, 15);
        const BenchClock::time_point hourRead = BenchClock::now();
        const auto wholeWeek = history->ActiveByClass({kEnd - kWeek, kEnd}, 600);
        week += BenchClock::now() - hourRead;
        hour += hourRead - start;
        if (lastHour.size() != 240 || wholeWeek.size() != 1008) {
            state.SkipWithError("the buckets are not all there");
            break;
        }
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["file_MiB"] = double(QFileInfo(path).size()) / (1 << 20);
    state.counters["last_hour_ms"] = Milliseconds(hour) / iterations;
    state.counters["week_ms"] = Milliseconds(week) / iterations;
    state.counters["week_per_hour"] = Milliseconds(week) / Milliseconds(hour);
}
// What the user waits for: the history read and the chart built and painted, for the last hour
// and for the week.
void BM_ChartOfWeek(benchmark::State& state) {
    EnsureApplication();
    const QString& path = WeekPath();
    CActivityPane pane([&path] { return path; }, [] { return 16; });
    pane.resize(1200, 700);
    pane.show();
    auto* span = pane.findChild<QComboBox*>("activitySpan");
    BenchClock::duration hour{};
    BenchClock::duration week{};
    for (auto _ : state) {
        const BenchClock::time_point start = BenchClock::now();
        span->setCurrentIndex(0);
        pane.repaint();
        QApplication::processEvents();
        const BenchClock::time_point hourDrawn = BenchClock::now();
        // "Last 7 days".
        span->setCurrentIndex(3);
        pane.repaint();
        QApplication::processEvents();
        week += BenchClock::now() - hourDrawn;
        hour += hourDrawn - start;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["draw_hour_ms"] = Milliseconds(hour) / iterations;
    state.counters["draw_week_ms"] = Milliseconds(week) / iterations;
    // The top lists of the week, which the pane reads on a thread of the pool.
    const auto history = ActivityHistory::Open(path, HistoryAccess::Read).history;
    const BenchClock::time_point start = BenchClock::now();
    benchmark::DoNotOptimize(history->Top(TopBy::Sql, {kEnd - kWeek, kEnd}, 10).size());
    benchmark::DoNotOptimize(history->Top(TopBy::Session, {kEnd - kWeek, kEnd}, 10).size());
    state.counters["top_lists_week_ms"] = Milliseconds(BenchClock::now() - start);
}

// The longest gap between the ticks of a 1 ms timer over one second of the event loop.
double LongestStallMs() {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start(1);
    while (clock.elapsed() < 1000) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return double(longest) / 1e6;
}

// The sampler of sim:large at ten samples a second beside an idle window, then no sampler.
void BM_EventLoopWhileSampling(benchmark::State& state) {
    EnsureApplication();
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    double withSampler = 0;
    double without = 0;
    int samples = 0;
    for (auto _ : state) {
        {
            ActivitySampler sampler({"system", "manager", "sim:large", ConnectAs::Normal},
                                    {std::chrono::milliseconds(100), 7, 10}, {});
            withSampler = std::max(withSampler, LongestStallMs());
            samples += sampler.Samples();
        }
        without = std::max(without, LongestStallMs());
    }
    state.counters["samples"] = double(samples);
    state.counters["stall_sampling_ms"] = withSampler;
    state.counters["stall_idle_ms"] = without;
}

double ThreadCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The simulated server runs in the client's process: its CPU time is counted with the client's.
void BM_SampleOfLarge(benchmark::State& state) {
    if (!LogOn("system", "manager", "sim:large")) {
        state.SkipWithError("log-on failed");
        return;
    }
    double sampleCpu = 0;
    BenchClock::duration sample{};
    BenchClock::duration list{};
    std::size_t sessions = 0;
    for (auto _ : state) {
        const double cpuBefore = ThreadCpuMilliseconds();
        const BenchClock::time_point start = BenchClock::now();
        sessions = TakeActivitySample(kEnd).value_or(std::vector<ActivitySample>{}).size();
        const BenchClock::time_point sampled = BenchClock::now();
        sampleCpu += ThreadCpuMilliseconds() - cpuBefore;
        benchmark::DoNotOptimize(FetchSessionRows(true).rows.size());
        list += BenchClock::now() - sampled;
        sample += sampled - start;
    }
    LogOff();
    const double iterations = static_cast<double>(state.iterations());
    state.counters["sessions"] = double(sessions);
    state.counters["sample_ms"] = Milliseconds(sample) / iterations;
    state.counters["sample_cpu_ms"] = sampleCpu / iterations;
    state.counters["list_ms"] = Milliseconds(list) / iterations;
    state.counters["sample_per_list"] = Milliseconds(sample) / Milliseconds(list);
}
}  // namespace

BENCHMARK(BM_WeekOfActivity)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SampleOfLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartOfWeek)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EventLoopWhileSampling)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
