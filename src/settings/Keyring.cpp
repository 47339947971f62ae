#include "Keyring.h"

#include <qt6keychain/keychain.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "SecretWipe.h"

namespace {
const QString kService = QStringLiteral("Nimbra");

// The Secret Service, and KWallet, which QtKeychain prefers on a KDE desktop.
const QStringList kServiceNames = {QStringLiteral("org.freedesktop.secrets"),
                                   QStringLiteral("org.kde.kwalletd6"),
                                   QStringLiteral("org.kde.kwalletd5")};

std::chrono::milliseconds g_waitLimit = Keyring::kDefaultWaitLimit;

// The job with its answer in, or null when WaitLimit() passed first; such a job is left to
// delete itself whenever its answer comes, since the keyring library still holds it.
template <typename JobType>
std::unique_ptr<JobType> run(std::unique_ptr<JobType> job, const QString& entry) {
    job->setAutoDelete(false);
    job->setKey(entry);
    QEventLoop loop;
    bool finished = false;
    QObject::connect(job.get(), &QKeychain::Job::finished, &loop, [&finished, &loop] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(g_waitLimit, &loop, &QEventLoop::quit);
    job->start();
    // Input waits: a second OK in the dialog behind must not start a second log-on meanwhile.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!finished) {
        job.release()->setAutoDelete(true);
    }
    return job;
}

Keyring::Answer answerOf(const QKeychain::Job* job) {
    if (!job) {
        return Keyring::Answer::Failed;
    }
    switch (job->error()) {
        case QKeychain::NoError:
            return Keyring::Answer::Done;
        case QKeychain::EntryNotFound:
            return Keyring::Answer::NotFound;
        default:
            return Keyring::Answer::Failed;
    }
}
}  // namespace

namespace Keyring {

bool IsReachable() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusConnectionInterface* daemon = bus.isConnected() ? bus.interface() : nullptr;
    if (!daemon) {
        return false;
    }
    const QStringList startable = daemon->activatableServiceNames().value();
    return std::any_of(kServiceNames.begin(), kServiceNames.end(), [&](const QString& name) {
        return daemon->isServiceRegistered(name).value() || startable.contains(name);
    });
}

QString EntryName(const QString& user, const QString& host) {
    return user + QLatin1Char('@') + host;
}

Reading Read(const QString& user, const QString& host) {
    if (!IsReachable()) {
        return {};
    }
    auto job = run(std::make_unique<QKeychain::ReadPasswordJob>(kService), EntryName(user, host));
    Reading reading{answerOf(job.get()), QString()};
    if (reading.answer == Answer::Done) {
        QByteArray stored = job->binaryData();
        // The job's own copy goes first, so that this one is the last and can be wiped.
        job.reset();
        reading.password = QString::fromUtf8(stored);
        WipeSecret(stored);
    }
    return reading;
}

Answer Write(const QString& user, const QString& host, const QString& password) {
    if (!IsReachable()) {
        return Answer::Unreachable;
    }
    auto job = std::make_unique<QKeychain::WritePasswordJob>(kService);
    job->setTextData(password);
    return answerOf(run(std::move(job), EntryName(user, host)).get());
}

Answer Remove(const QString& user, const QString& host) {
    if (!IsReachable()) {
        return Answer::Unreachable;
    }
    return answerOf(
        run(std::make_unique<QKeychain::DeletePasswordJob>(kService), EntryName(user, host)).get());
}

std::chrono::milliseconds WaitLimit() {
    return g_waitLimit;
}

void SetWaitLimit(std::chrono::milliseconds limit) {
    g_waitLimit = limit;
}

}  // namespace Keyring
