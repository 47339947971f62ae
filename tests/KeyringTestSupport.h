#pragma once
// A Secret Service of the test's own: a private session bus that starts no services by itself and
// gnome-keyring-daemon on it in a temporary HOME, unlocked with a test password, locked or absent.
// From Start() on this process and its children use that bus. The daemon stops with this object,
// which restores the environment; the bus ends with the process, as GLib ends a process whose
// session bus goes away.

#include <sys/prctl.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

#include "Keyring.h"

class PrivateKeyring {
public:
    enum class State { Unlocked, Locked, Absent };

    ~PrivateKeyring() {
        StopDaemon();
        for (auto it = m_environment.cbegin(); it != m_environment.cend(); ++it) {
            qputenv(it.key(), it.value());
        }
    }

    // False, with why, when the bus or the daemon does not come up.
    bool Start(State state, QString& why) {
        const QString d = m_dir.path();
        const auto set = [this](const char* name, const QString& value) {
            m_environment.insert(name, qgetenv(name));
            qputenv(name, QFile::encodeName(value));
        };
        QDir(d).mkpath("share");
        set("HOME", d);
        set("XDG_DATA_HOME", d + "/share");
        set("XDG_RUNTIME_DIR", d);  // owner-only, as the daemon wants it
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        QFile config(d + "/bus.conf");
        config.open(QIODevice::WriteOnly);
        config.write(QString("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                             "<auth>EXTERNAL</auth><policy context=\"default\"><allow "
                             "send_destination=\"*\" eavesdrop=\"true\"/><allow "
                             "eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                         .arg(d)
                         .toUtf8());
        config.close();
        Launch(Bus(), "dbus-daemon",
               {"--config-file=" + config.fileName(), "--nofork", "--print-address=1"});
        if (!Bus().waitForReadyRead(10000)) {
            why = "dbus-daemon did not start: " + Bus().readAllStandardError();
            return false;
        }
        set("DBUS_SESSION_BUS_ADDRESS", QString::fromUtf8(Bus().readLine().trimmed()));
        if (state == State::Absent) {
            return true;
        }
        // The login keyring is made by its first unlocking; a later start leaves it locked.
        if (!StartDaemon(true, why)) {
            return false;
        }
        if (state == State::Locked) {
            StopDaemon();
            return StartDaemon(false, why);
        }
        return true;
    }

    void StopDaemon() {
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }
    qint64 DaemonPid() const { return m_daemon.processId(); }

    // What the keyring holds for entry ("user@host") as secret-tool finds it; null when nothing.
    static QString Lookup(const QString& entry) {
        QProcess tool;
        tool.start("secret-tool", {"lookup", "server", "Nimbra", "user", entry});
        tool.waitForFinished();
        return tool.exitCode() == 0 ? QString::fromUtf8(tool.readAllStandardOutput()) : QString();
    }

private:
    // Never deleted, which would stop the bus; it stays reachable, so it is no leak.
    static QProcess& Bus() {
        static QProcess* bus = new QProcess;
        return *bus;
    }

    static void Launch(QProcess& process, const QString& program, const QStringList& arguments) {
        process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process.start(program, arguments);
    }

    bool StartDaemon(bool unlocked, QString& why) {
        QStringList arguments{"--foreground", "--components=secrets"};
        if (unlocked) {
            arguments << "--unlock";
        }
        Launch(m_daemon, "gnome-keyring-daemon", arguments);
        if (unlocked) {
            m_daemon.write("nimbra-test-keyring");
        }
        m_daemon.closeWriteChannel();
        for (int i = 0; i < 100 && m_daemon.state() != QProcess::NotRunning; ++i) {
            if (Keyring::IsReachable()) {
                return true;
            }
            QTest::qWait(50);
        }
        why = "gnome-keyring-daemon did not start: " + m_daemon.readAllStandardError();
        return false;
    }

    QTemporaryDir m_dir{QDir::tempPath() + "/nimbra-keyring-XXXXXX"};
    QProcess m_daemon;
    QMap<QByteArray, QByteArray> m_environment;  // as it was before Start
};
