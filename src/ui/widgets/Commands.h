#pragma once
// The table of all commands: id, text, prompt and picture; the menu bar, toolbar and
// accelerator layouts that refer to them by id.

#include <QKeySequence>
#include <QString>
#include <vector>

struct CommandInfo {
    int id;
    // Menu text with its "&" mnemonic and "\t" key name; a plain name for the others.
    QString text;
    // The status-bar prompt, then after "\n" the tool tip; empty when the command has none.
    QString prompt;
    // The toolbar picture's resource path; empty when none.
    QString image;
    // Commands without a handler stay disabled, so their keys do nothing.
    bool handled;
};

const std::vector<CommandInfo>& CommandTable();
// Null for an id the table does not hold.
const CommandInfo* FindCommand(int id);

class QAction;
class QObject;
// A new action for the command: its text, prompt, tool tip and picture, its id as data.
QAction* NewCommandAction(const CommandInfo& command, QObject* parent);

// The parts of a prompt entry: before "\n", and after it (empty when there is no "\n").
QString StatusPrompt(const QString& entry);
QString ToolTipText(const QString& entry);

// In the menu and toolbar layouts 0 stands for a separator.
inline constexpr int kSeparator = 0;

struct MenuLayout {
    QString title;
    std::vector<int> items;
};
const std::vector<MenuLayout>& MenuBarLayout();
// Left to right.
const std::vector<int>& ToolBarLayout();

struct Accelerator {
    QKeySequence keys;
    int commandId;
};
// In table order; a command reached by several keys has them in this order.
const std::vector<Accelerator>& AcceleratorTable();
