#include "widgets/Commands.h"

#include <QAction>
#include <QIcon>

#include "Strings.h"
#include "widgets/CommandIds.h"

namespace P = Strings::Prompt;

const std::vector<CommandInfo>& CommandTable() {
    static const std::vector<CommandInfo> table = {
        {CommandId::Connect, QStringLiteral("&Connect\tCtrl+T"), P::Connect, {}, true},
        {CommandId::Options, QStringLiteral("&Options\tCtrl+O"), P::Options,
         QStringLiteral(":/images/options.png"), true},
        {CommandId::Print, QStringLiteral("Print\tCtrl+P"), P::Print,
         QStringLiteral(":/images/print.png"), true},
        {CommandId::Exit, QStringLiteral("E&xit"), P::Exit, {}, true},
        {CommandId::ViewToolbar, QStringLiteral("&Toolbar"), P::ViewToolbar, {}, true},
        {CommandId::ViewStatusBar, QStringLiteral("&Status Bar"), P::ViewStatusBar, {}, true},
        {CommandId::Refresh, QStringLiteral("&Refresh\tCtrl+R"), {}, {}, true},
        {CommandId::RefreshToolbar, QStringLiteral("Refresh"), P::RefreshToolbar,
         QStringLiteral(":/images/refresh.png"), true},
        {CommandId::About, QStringLiteral("&About Nimbra..."), P::About,
         QStringLiteral(":/images/about.png"), true},
        {CommandId::KillSession, QStringLiteral("&Kill session"), P::KillSession, {}, true},
        {CommandId::Properties, QStringLiteral("Pr&operties"), P::Properties, {}, true},
        {CommandId::KillImmediately,
         QStringLiteral("Kill &immediately"),
         P::KillImmediately,
         {},
         true},
        {CommandId::Disconnect,
         QStringLiteral("&Disconnect after transaction"),
         P::Disconnect,
         {},
         true},
        {CommandId::CancelSql, QStringLiteral("Cancel current &SQL"), P::CancelSql, {}, true},
        {CommandId::BlockingSessions,
         QStringLiteral("&Blocking Sessions"),
         P::BlockingSessions,
         {},
         true},
        {CommandId::Activity, QStringLiteral("&Activity"), P::Activity, {}, true},
        {CommandId::Filter, QStringLiteral("Fi&lter\tCtrl+F"), P::Filter, {}, true},
        {CommandId::HideIdle, QStringLiteral("&Hide Idle Sessions"), P::HideIdle, {}, true},
        {CommandId::ServerOrder, QStringLiteral("Ser&ver Order"), P::ServerOrder, {}, true},
        {CommandId::Columns, QStringLiteral("C&olumns..."), P::Columns, {}, true},
        {CommandId::Export, QStringLiteral("&Export..."), P::Export, {}, true},
        {CommandId::Cut, QStringLiteral("Cut"), P::Cut, QStringLiteral(":/images/cut.png"), false},
        {CommandId::Copy, QStringLiteral("&Copy\tCtrl+C"), P::Copy,
         QStringLiteral(":/images/copy.png"), true},
        {CommandId::Paste, QStringLiteral("Paste"), P::Paste, QStringLiteral(":/images/paste.png"),
         false},
        {CommandId::Undo, QStringLiteral("Undo"), P::Undo, {}, false},
        {CommandId::NextPane, QStringLiteral("Next Pane"), P::NextPane, {}, false},
        {CommandId::PreviousPane, QStringLiteral("Previous Pane"), P::PreviousPane, {}, false},
    };
    return table;
}

const CommandInfo* FindCommand(int id) {
    for (const CommandInfo& command : CommandTable()) {
        if (command.id == id) {
            return &command;
        }
    }
    return nullptr;
}

QAction* NewCommandAction(const CommandInfo& command, QObject* parent) {
    auto* action = new QAction(command.text, parent);
    action->setData(command.id);
    action->setStatusTip(StatusPrompt(command.prompt));
    action->setToolTip(ToolTipText(command.prompt));
    if (!command.image.isEmpty()) {
        action->setIcon(QIcon(command.image));
    }
    action->setEnabled(command.handled);
    // Menus show texts only; the pictures are the toolbar's.
    action->setIconVisibleInMenu(false);
    return action;
}

QString StatusPrompt(const QString& entry) {
    return entry.section(QLatin1Char('\n'), 0, 0);
}

QString ToolTipText(const QString& entry) {
    return entry.section(QLatin1Char('\n'), 1);
}

const std::vector<MenuLayout>& MenuBarLayout() {
    using namespace CommandId;
    static const std::vector<MenuLayout> layout = {
        {QStringLiteral("&File"),
         {Connect, kSeparator, Options, kSeparator, Print, Export, kSeparator, Exit}},
        {QStringLiteral("&Edit"), {Copy}},
        {QStringLiteral("&Session"),
         {KillSession, KillImmediately, Disconnect, CancelSql, kSeparator, Properties}},
        {QStringLiteral("&View"),
         {ViewToolbar, ViewStatusBar, kSeparator, Refresh, kSeparator, Filter, HideIdle,
          ServerOrder, Columns, kSeparator, BlockingSessions, Activity}},
        {QStringLiteral("&Help"), {About}},
    };
    return layout;
}

const std::vector<int>& ToolBarLayout() {
    using namespace CommandId;
    static const std::vector<int> layout = {
        RefreshToolbar, Options, kSeparator, Cut, Copy, Paste, kSeparator, Print, About,
    };
    return layout;
}

const std::vector<Accelerator>& AcceleratorTable() {
    using namespace CommandId;
    static const std::vector<Accelerator> table = {
        {QKeySequence(Qt::CTRL | Qt::Key_C), Copy},
        {QKeySequence(Qt::CTRL | Qt::Key_O), Options},
        {QKeySequence(Qt::CTRL | Qt::Key_P), Print},
        {QKeySequence(Qt::CTRL | Qt::Key_R), Refresh},
        {QKeySequence(Qt::CTRL | Qt::Key_T), Connect},
        {QKeySequence(Qt::CTRL | Qt::Key_V), Paste},
        {QKeySequence(Qt::ALT | Qt::Key_Backspace), Undo},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), Cut},
        {QKeySequence(Qt::Key_F6), NextPane},
        {QKeySequence(Qt::SHIFT | Qt::Key_F6), PreviousPane},
        {QKeySequence(Qt::CTRL | Qt::Key_Insert), Copy},
        {QKeySequence(Qt::SHIFT | Qt::Key_Insert), Paste},
        {QKeySequence(Qt::CTRL | Qt::Key_X), Cut},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), Undo},
        {QKeySequence(Qt::CTRL | Qt::Key_F), Filter},
    };
    return table;
}
