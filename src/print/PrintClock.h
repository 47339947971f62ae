#pragma once
// The time a printout is stamped with: the local clock, or one a test sets.

#include <QDateTime>
#include <QString>
#include <functional>

QDateTime PrintTime();
// An empty clock restores the local one.
void SetPrintClock(std::function<QDateTime()> clock);
// "08-DEC-2026 10:42": the day, the month's English abbreviation in capitals, the year and the
// 24-hour time, whatever the user's language.
QString PrintTimeText(const QDateTime& time);
