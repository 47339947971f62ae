#pragma once
// The chart of average active sessions by wait class over a span of the history: CPU first, then
// the wait classes in Oracle's usual order and colours, one stacked bar per stretch of time, the
// CPU count as a reference line. A drag across it picks a range.

#include <QChartView>
#include <QRubberBand>
#include <cstdint>
#include <vector>

#include "ActivityHistory.h"

class CActivityChart : public QChartView {
    Q_OBJECT
public:
    explicit CActivityChart(QWidget* parent = nullptr);

    // Draws the buckets of range, each bucketSeconds wide; cpus 0 draws no reference line.
    void Show(const std::vector<ActivityBucket>& buckets, const HistoryRange& range,
              int bucketSeconds, int cpus);
    // The wait classes in the order they are stacked, "ON CPU" first.
    static const std::vector<QString>& ClassOrder();

signals:
    // The user dragged across these seconds.
    void rangePicked(HistoryRange range);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The time under a point of the view, held to the range shown.
    std::int64_t TimeAt(const QPoint& point) const;

    HistoryRange m_range;
    int m_nBucketSeconds = 60;
    QRubberBand m_band;
    QPoint m_pressed;
};
