#pragma once
// Overwrites a secret's characters before its memory goes back, then empties it. A buffer that
// another copy still shares is left to that copy: only its last holder can wipe it.

#include <QByteArray>
#include <QString>
#include <string>

void WipeSecret(QString& secret);
void WipeSecret(QByteArray& secret);
void WipeSecret(std::string& secret);
