#include "PrintClock.h"

#include <QLocale>
#include <utility>

namespace {
std::function<QDateTime()>& Clock() {
    static std::function<QDateTime()> clock;
    return clock;
}
}  // namespace

QDateTime PrintTime() {
    return Clock() ? Clock()() : QDateTime::currentDateTime();
}

void SetPrintClock(std::function<QDateTime()> clock) {
    Clock() = std::move(clock);
}

QString PrintTimeText(const QDateTime& time) {
    return QLocale::c().toString(time, QStringLiteral("dd-MMM-yyyy HH:mm")).toUpper();
}
