#pragma once
// What the widget benchmarks share: an application object and 10,000 sessions' texts.

#include <QApplication>
#include <QString>
#include <array>
#include <vector>

inline constexpr int kBenchRows = 10000;
using RowTexts = std::array<QString, 7>;

// Widgets need an application object, on the offscreen platform so that no display is needed.
// It is never deleted: it must outlive every benchmark, and the process ends right after them.
inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "nimbra_bench";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
    }
}

// The seven column texts of kBenchRows plausible sessions.
inline std::vector<RowTexts> BenchSessionTexts() {
    std::vector<RowTexts> rows;
    rows.reserve(kBenchRows);
    for (int i = 0; i < kBenchRows; ++i) {
        const QString machine = QStringLiteral("client-%1.example.com").arg(i % 97);
        rows.push_back({QStringLiteral("USER%1").arg(i % 400, 4, 10, QChar('0')),
                        QString::number(i + 1), QString::number((i * 7919) % 65536),
                        i % 3 == 0 ? QStringLiteral("ACTIVE") : QStringLiteral("INACTIVE"),
                        QStringLiteral("oracle"), machine,
                        QStringLiteral("sqlplus@%1 (TNS V1-V3)").arg(machine)});
    }
    return rows;
}
