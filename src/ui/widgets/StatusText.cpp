#include "widgets/StatusText.h"

#include <QWidget>

#include "widgets/StatusBar.h"

namespace {
CStatusBar* messageBar(QWidget* widget) {
    if (!widget) {
        return nullptr;
    }
    return widget->window()->findChild<CStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
}
}  // namespace

void SetStatusPaneText(QWidget* widget, const QString& text) {
    if (CStatusBar* bar = messageBar(widget)) {
        bar->SetMessageText(text);
    }
}

QString StatusPaneText(QWidget* widget) {
    const CStatusBar* bar = messageBar(widget);
    return bar ? bar->MessageText() : QString();
}

void SetSessionPaneText(QWidget* widget, const QString& text) {
    if (CStatusBar* bar = messageBar(widget)) {
        bar->SetSessionText(text);
    }
}

QString SessionPaneText(QWidget* widget) {
    const CStatusBar* bar = messageBar(widget);
    return bar ? bar->SessionText() : QString();
}
