#pragma once
// View > Blocking Sessions: the chains of blockers and waiters as a tree beside the list,
// rebuilt with every refresh. Selecting a session selects it in the list; the tree's menu
// offers the list's session commands on the tree's selection.

#include <QWidget>
#include <vector>

class CBlockingTreeModel;
class CListViewEx;
class CNimbraView;
class QAction;
class QLabel;

class CBlockingPane : public QWidget {
    Q_OBJECT
public:
    // commands: the session commands of the list's menu, null for a separator.
    CBlockingPane(CNimbraView& view, std::vector<QAction*> commands, QWidget* parent = nullptr);

    CListViewEx* Tree() const { return m_tree; }
    CBlockingTreeModel* Model() const { return m_model; }

signals:
    // The tree's menu is about to act on its selection: the commands should be enabled for it.
    void commandsWanted();
    // The tree's menu has closed.
    void commandsDone();

private:
    void Rebuild();
    void SelectInList();
    void OnContextMenu(const QPoint& point);

    CNimbraView& m_view;
    std::vector<QAction*> m_commands;
    QLabel* m_note;
    CListViewEx* m_tree;
    CBlockingTreeModel* m_model;
};
