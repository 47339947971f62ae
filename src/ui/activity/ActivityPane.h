#pragma once
// View > Activity: the chart of the history's activity by wait class, and beneath it the top SQL
// and the top sessions of the span shown, or of the range dragged across it. A double click on a
// session asks for it in the list.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "ActivityHistory.h"

class CActivityChart;
class QComboBox;
class QLabel;
class QTimer;
class QTreeWidget;

class CActivityPane : public QWidget {
    Q_OBJECT
public:
    // historyPath names the file the samples go to (empty: none yet); cpus the CPU count of the
    // database logged on to (0: not known).
    CActivityPane(std::function<QString()> historyPath, std::function<int()> cpus,
                  QWidget* parent = nullptr);
    ~CActivityPane() override;

    // Reads the history again for the span chosen, ending now.
    void Reload();
    // The top lists of this range; an empty one is the whole span.
    void ShowTop(HistoryRange range);
    // Seconds of the span shown: an hour to a year.
    int SpanSeconds() const;

signals:
    // A session of the top list was double-clicked: "sid" and "serial#".
    void sessionWanted(const QString& sid, const QString& serial);
    // The top lists show what was last asked for.
    void topListsShown();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct TopLists {
        std::vector<TopEntry> sql;
        std::vector<TopEntry> sessions;
    };
    // A history file and a range of it.
    using TopQuestion = std::pair<QString, HistoryRange>;
    // The history file, opened afresh when the path changes; null when there is none to read.
    ActivityHistory* History();
    // Reads the waiting question's top lists in the background.
    void ReadTop();
    void TopRead(const TopQuestion& question, const TopLists& lists);
    void FillTop(const TopLists& lists);

    std::function<QString()> m_historyPath;
    std::function<int()> m_cpus;
    std::unique_ptr<ActivityHistory> m_history;
    QComboBox* m_span;
    CActivityChart* m_chart;
    QLabel* m_range;
    QTreeWidget* m_topSql;
    QTreeWidget* m_topSessions;
    QTimer* m_reload;
    HistoryRange m_shown;
    HistoryRange m_picked;
    // What the top lists show, whether a question is being read, and the one asked meanwhile.
    TopQuestion m_topShown;
    bool m_topReading = false;
    std::optional<TopQuestion> m_topWaiting;
};
