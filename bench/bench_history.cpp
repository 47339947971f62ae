// A history of 10,000 host strings: reading it, remembering a host string already in it, and
// opening the connect dialog that lists it.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "ServerHistory.h"
#include "SettingsStore.h"
#include "dialogs/ConnectDialog.h"

namespace {
constexpr int kHosts = kBenchRows;

// A settings location of its own, holding kHosts remembered host strings as Nimbra writes them.
class HistoryFile {
public:
    HistoryFile() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        QByteArray text = "[ServerList]\n";
        for (int k = 1; k <= kHosts; ++k) {
            text += "Item" + QByteArray::number(k) + "=db" + QByteArray::number(k * 7919 % 100003) +
                    ".example.com:1521/orclpdb\n";
        }
        text += "Items=" + QByteArray::number(kHosts) + "\n";
        const QString path = SettingsStore::FilePath();
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
            qFatal("cannot write %s", qPrintable(path));
        }
    }

private:
    QTemporaryDir m_dir;
};

void BM_LoadHistory(benchmark::State& state) {
    const HistoryFile file;
    for (auto _ : state) {
        const QStringList hosts = ServerHistory::Load();
        if (hosts.size() != kHosts) {
            state.SkipWithError("the history did not load whole");
        }
    }
}

void BM_RememberKnownHost(benchmark::State& state) {
    const HistoryFile file;
    const QString last = ServerHistory::Load().constLast();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ServerHistory::Remember(last));
    }
}

// From the constructor to the dialog on screen with its list filled.
void BM_OpenConnectDialog(benchmark::State& state) {
    EnsureApplication();
    const HistoryFile file;
    for (auto _ : state) {
        CConnectDialog dialog;
        dialog.show();
        QCoreApplication::processEvents();
    }
}
}  // namespace

BENCHMARK(BM_LoadHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RememberKnownHost)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenConnectDialog)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
