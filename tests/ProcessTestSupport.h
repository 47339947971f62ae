#pragma once
// Whether a program makes itself undumpable, seen from outside: the kernel gives the /proc
// files of an undumpable process to root, so a test run as root runs the program as nobody.

#include <unistd.h>

#include <QFileInfo>
#include <QProcess>
#include <QtTest>

// True when the running program's /proc files turn root's within 10 seconds; it is ended then.
inline bool RunsUndumpable(const QString& program, const QStringList& arguments) {
    QProcess process;
    if (::getuid() == 0) {
        process.start(
            "setpriv",
            QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} + arguments);
    } else {
        process.start(program, arguments);
    }
    const QString entry = QString("/proc/%1/").arg(process.processId());
    bool undumpable = false;
    for (int i = 0; process.waitForStarted() && i < 200 && !undumpable; ++i) {
        // Only once the program itself runs: setpriv is undumpable between its two steps.
        undumpable = QFileInfo(entry + "exe").canonicalFilePath() ==
                         QFileInfo(program).canonicalFilePath() &&
                     QFileInfo(entry + "environ").ownerId() == 0;
        QTest::qWait(50);
    }
    process.kill();
    process.waitForFinished();
    return undumpable;
}
