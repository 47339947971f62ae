#pragma once
// The "Long Operations" page of the properties sheet: the session's operations as
// v$session_longops lists them, the newest first, renewed by each refresh while it is shown.

#include <QWidget>
#include <vector>

#include "LongOperations.h"

class QLabel;
class QTreeWidget;

class CPropsLongOpsPage : public QWidget {
    Q_OBJECT
public:
    // No operations, and a line saying they have not been read yet.
    explicit CPropsLongOpsPage(QWidget* parent = nullptr);

    // The session's operations; readable false: the user may not read the view.
    void SetOperations(const std::vector<LongOperation>& operations, bool readable);
    // The texts of row, one per column.
    QStringList RowTexts(int row) const;
    int RowCount() const;
    QString NoteText() const;

private:
    QTreeWidget* m_table;
    QLabel* m_note;
};
