// The full-row list with 10,000 sessions: a rebuild of its rows as the refresh fills them, one
// screen of rows painted, and the two together as the user waits for them after a refresh.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <array>
#include <vector>

#include "BenchSupport.h"
#include "list/ListModel.h"
#include "list/ListViewEx.h"

namespace {
constexpr int kRows = kBenchRows;

// The session list's seven columns, in a view of 800 by 600 pixels.
void SetUp(CListViewEx& view, CListModel& model) {
    view.setModel(&model);
    const std::array<std::pair<const char*, int>, 7> columns{{{"Username", 100},
                                                              {"Sid", 50},
                                                              {"Serial", 50},
                                                              {"Status", 80},
                                                              {"OS User", 100},
                                                              {"Machine", 200},
                                                              {"Program", 300}}};
    for (int i = 0; i < 7; ++i) {
        model.InsertColumn(i, QString::fromLatin1(columns[i].first), Qt::AlignLeft);
        view.header()->resizeSection(i, columns[i].second);
    }
    view.resize(800, 600);
}

// The rows as a refresh delivers them into an empty list.
void Rebuild(CListModel& model, const std::vector<RowTexts>& rows) {
    std::vector<CListModel::Row> texts;
    texts.reserve(rows.size());
    for (const RowTexts& row : rows) {
        CListModel::Row& text = texts.emplace_back();
        for (const QString& cell : row) {
            text.Append(cell.toStdString());
        }
    }
    model.DeleteAllItems();
    model.ReplaceRows(std::move(texts), {1, 2});
}

void BM_Rebuild10000Rows(benchmark::State& state) {
    EnsureApplication();
    CListViewEx view;
    CListModel model;
    SetUp(view, model);
    const std::vector<RowTexts> rows = BenchSessionTexts();
    for (auto _ : state) {
        Rebuild(model, rows);
    }
}

void BM_PaintScreen(benchmark::State& state) {
    EnsureApplication();
    CListViewEx view;
    CListModel model;
    SetUp(view, model);
    Rebuild(model, BenchSessionTexts());
    view.SetDropHighlighted(3, true);
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    view.render(&image);
    for (auto _ : state) {
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_RebuildThenPaint(benchmark::State& state) {
    EnsureApplication();
    CListViewEx view;
    CListModel model;
    SetUp(view, model);
    const std::vector<RowTexts> rows = BenchSessionTexts();
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        Rebuild(model, rows);
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
}  // namespace

BENCHMARK(BM_Rebuild10000Rows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildThenPaint)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
