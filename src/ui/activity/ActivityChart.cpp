#include "activity/ActivityChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QDateTime>
#include <QLineSeries>
#include <QMouseEvent>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>
#include <map>

namespace {
struct ClassColour {
    const char* name;
    QRgb colour;
};

// The colours DBAs know from Oracle's own activity charts.
const ClassColour kClasses[] = {
    {"ON CPU", 0x00cc00},     {"Scheduler", 0x87fc87},     {"User I/O", 0x004ae7},
    {"System I/O", 0x0094e7}, {"Concurrency", 0x8b1a00},   {"Application", 0xc02800},
    {"Commit", 0xe46800},     {"Configuration", 0x5c440b}, {"Administrative", 0x717354},
    {"Network", 0x9f9371},    {"Queueing", 0xc2b79b},      {"Cluster", 0xc9c2af},
    {"Other", 0xf06eaa},
};

QString clockText(std::int64_t seconds, int spanSeconds) {
    const QDateTime at = QDateTime::fromSecsSinceEpoch(seconds);
    return at.toString(spanSeconds > 86400 ? QStringLiteral("ddd HH:mm") : QStringLiteral("HH:mm"));
}
}  // namespace

const std::vector<QString>& CActivityChart::ClassOrder() {
    static const std::vector<QString> order = [] {
        std::vector<QString> names;
        for (const ClassColour& c : kClasses) {
            names.push_back(QString::fromLatin1(c.name));
        }
        return names;
    }();
    return order;
}

CActivityChart::CActivityChart(QWidget* parent)
    : QChartView(parent), m_band(QRubberBand::Rectangle, this) {
    setObjectName(QStringLiteral("activityChart"));
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->setAlignment(Qt::AlignRight);
    setToolTip(QStringLiteral("Drag across the chart for the top SQL and sessions of that time."));
}

// A stretch without samples gets no bar at all: a gap, not a fall to zero.
void CActivityChart::Show(const std::vector<ActivityBucket>& buckets, const HistoryRange& range,
                          int bucketSeconds, int cpus) {
    m_range = range;
    m_nBucketSeconds = std::max(1, bucketSeconds);
    QChart* c = chart();
    c->removeAllSeries();
    for (QAbstractAxis* axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }
    const int stretches = int((range.to - range.from + m_nBucketSeconds - 1) / m_nBucketSeconds);
    std::map<QString, std::vector<double>> byClass;
    double highest = 0;
    for (const ActivityBucket& bucket : buckets) {
        const int slot = int((bucket.start - range.from) / m_nBucketSeconds);
        if (slot < 0 || slot >= stretches) {
            continue;
        }
        double total = 0;
        for (const ClassActivity& activity : bucket.classes) {
            std::vector<double>& values = byClass[QString::fromStdString(activity.waitClass)];
            values.resize(std::size_t(stretches));
            values[std::size_t(slot)] += activity.averageActive;
            total += activity.averageActive;
        }
        highest = std::max(highest, total);
    }
    auto* bars = new QStackedBarSeries;
    bars->setBarWidth(1.0);
    for (const ClassColour& known : kClasses) {
        const auto found = byClass.find(QString::fromLatin1(known.name));
        if (found == byClass.end()) {
            continue;
        }
        auto* set = new QBarSet(found->first);
        set->setColor(QColor(known.colour));
        set->setBorderColor(QColor(known.colour));
        for (double value : found->second) {
            set->append(value);
        }
        bars->append(set);
        byClass.erase(found);
    }
    // A class this release of Nimbra does not know goes on top, in the colour of "Other".
    for (const auto& [name, values] : byClass) {
        auto* set = new QBarSet(name);
        set->setColor(QColor(kClasses[std::size(kClasses) - 1].colour));
        for (double value : values) {
            set->append(value);
        }
        bars->append(set);
    }
    c->addSeries(bars);
    auto* time = new QBarCategoryAxis;
    for (int slot = 0; slot < stretches; ++slot) {
        time->append(clockText(range.from + std::int64_t(slot) * m_nBucketSeconds,
                               int(range.to - range.from)));
    }
    auto* active = new QValueAxis;
    active->setTitleText(QStringLiteral("Active sessions"));
    active->setRange(0, std::max({highest, double(cpus), 1.0}) * 1.1);
    active->applyNiceNumbers();
    c->addAxis(time, Qt::AlignBottom);
    c->addAxis(active, Qt::AlignLeft);
    bars->attachAxis(time);
    bars->attachAxis(active);
    if (cpus > 0) {
        auto* line = new QLineSeries;
        line->setName(QStringLiteral("CPUs (%1)").arg(cpus));
        line->setPen(QPen(Qt::red, 1, Qt::DashLine));
        line->append(-0.5, cpus);
        line->append(stretches - 0.5, cpus);
        c->addSeries(line);
        line->attachAxis(time);
        line->attachAxis(active);
    }
}

std::int64_t CActivityChart::TimeAt(const QPoint& point) const {
    const QRectF area = chart()->plotArea();
    const double share =
        std::clamp((point.x() - area.left()) / std::max(1.0, area.width()), 0.0, 1.0);
    return m_range.from + std::int64_t(share * double(m_range.to - m_range.from));
}

void CActivityChart::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->position().toPoint();
    m_band.setGeometry(QRect(m_pressed, QSize()));
    m_band.show();
    event->accept();
}

void CActivityChart::mouseMoveEvent(QMouseEvent* event) {
    if (m_band.isVisible()) {
        const QRectF area = chart()->plotArea();
        m_band.setGeometry(QRect(QPoint(m_pressed.x(), int(area.top())),
                                 QPoint(event->position().toPoint().x(), int(area.bottom())))
                               .normalized());
    }
    event->accept();
}

// The range runs over whole stretches, from the one pressed on to the one released on.
void CActivityChart::mouseReleaseEvent(QMouseEvent* event) {
    m_band.hide();
    std::int64_t from = TimeAt(m_pressed);
    std::int64_t to = TimeAt(event->position().toPoint());
    if (from > to) {
        std::swap(from, to);
    }
    from = m_range.from + (from - m_range.from) / m_nBucketSeconds * m_nBucketSeconds;
    to = std::min(m_range.to,
                  m_range.from + ((to - m_range.from) / m_nBucketSeconds + 1) * m_nBucketSeconds);
    emit rangePicked({from, to});
    event->accept();
}
