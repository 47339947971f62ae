#pragma once
// View > Columns...: which session columns the list shows, and in what order.

#include <QDialog>
#include <vector>

#include "SessionColumns.h"

class QListWidget;
class QPushButton;

class CColumnsDialog : public QDialog {
    Q_OBJECT
public:
    // shown: the columns shown now, left to right; the others follow, unticked, in the table's
    // order.
    CColumnsDialog(const std::vector<SessionColumnId>& shown, QWidget* parent = nullptr);

    // The ticked columns, top to bottom.
    std::vector<SessionColumnId> Shown() const;

private:
    void Move(int step);
    // OK needs one column at least, and Up and Down a row to move.
    void UpdateButtons();

    QListWidget* m_list;
    QPushButton* m_up;
    QPushButton* m_down;
    QPushButton* m_ok;
};
