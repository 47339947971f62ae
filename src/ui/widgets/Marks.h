#pragma once
// Small pictures drawn in list rows.

#include <QIcon>

// The mark of a session that blocks others: a red stop sign, drawn at any size.
QIcon BlockerMark();
