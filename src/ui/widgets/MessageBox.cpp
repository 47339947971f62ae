#include "widgets/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <optional>

#include "ErrorReport.h"
#include "Strings.h"
#include "widgets/WaitCursor.h"

namespace {
MessageBoxHandler& handler() {
    static MessageBoxHandler h;
    return h;
}

QMessageBox::Icon iconFor(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Critical:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Default:
        case MsgIcon::Warning:
            break;
    }
    return QMessageBox::Warning;
}
}  // namespace

int NimbraMessageBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                     MsgDefault defaultButton) {
    if (handler()) {
        return handler()(text, buttons, icon);
    }
    QMessageBox box(iconFor(icon), Strings::AppTitle, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    switch (buttons) {
        case MsgButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MsgButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MsgButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    if (defaultButton == MsgDefault::Second) {
        box.setDefaultButton(buttons == MsgButtons::OkCancel ? QMessageBox::Cancel
                                                             : QMessageBox::No);
    }
    const bool waiting = QApplication::overrideCursor() != nullptr;
    std::optional<CNormalCursor> pointer;
    if (waiting) {
        pointer.emplace();
    }
    switch (box.exec()) {
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        case QMessageBox::Cancel:
            return IDCANCEL;
        default:
            return IDOK;
    }
}

void SetMessageBoxHandler(MessageBoxHandler h) {
    handler() = std::move(h);
}

void ShowFailuresInMessageBoxes() {
    SetMessageSink([](const std::string& text) {
        NimbraMessageBox(QString::fromStdString(text), MsgButtons::Ok, MsgIcon::Warning);
    });
}

void MessageBeep() {
    QApplication::beep();
}
