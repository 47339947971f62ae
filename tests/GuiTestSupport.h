#pragma once
// What the widget tests need around each case: an empty settings location of their own, and a
// check afterwards that no window, wait cursor or connection outlived the case.

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "ErrorReport.h"
#include "OracleConnection.h"
#include "Sim.h"
#include "widgets/MessageBox.h"

// Points the settings store at a fresh empty folder for as long as it lives.
class SettingsLocation {
public:
    SettingsLocation() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// A message box that no case expects: answered OK, and reported as a warning.
inline void AnswerUnexpectedBoxes() {
    SetMessageBoxHandler([](const QString& text, MsgButtons, MsgIcon) {
        qWarning("unexpected message: %s", qPrintable(text));
        return IDOK;
    });
}

// Restores real message boxes and logs off, then fails the running case if a cursor was left
// open before the log-off, or a window or an override cursor was left over.
inline void VerifyNothingLeftBehind() {
    SetMessageSink({});
    SetMessageBoxHandler({});
    const int openCursors = sim::Controls::instance().openCursors();
    LogOff();
    QCOMPARE(openCursors, 0);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}
