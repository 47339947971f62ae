// Opening a history file: the private file and folder, the schema, and what becomes of a file
// that cannot be used.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "ActivityHistory.h"
#include "HistorySchema.h"

namespace {
enum class FileState { Usable, Damaged, Newer };

// Creates the file for the owner alone, or takes the group's and others' rights from one that
// exists; the folder likewise.
bool MakePrivate(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder) || ::chmod(QFile::encodeName(folder).constData(), 0700) != 0) {
        return false;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const bool made = ::fchmod(fd, 0600) == 0;
    ::close(fd);
    return made;
}

int UserVersion(const HistoryDatabase& db, int& version) {
    HistoryStatement statement(db, "PRAGMA user_version");
    const int rc = statement.Step();
    version = rc == SQLITE_ROW ? int(statement.Integer(0)) : 0;
    return rc == SQLITE_ROW ? SQLITE_OK : rc;
}

// Brings the schema to this Nimbra's version in one transaction, which a second window opening
// the same file waits for and then finds nothing left to do.
FileState Prepare(HistoryDatabase& db) {
    if (IsDamagedCode(db.Exec("PRAGMA journal_mode = WAL"))) {
        return FileState::Damaged;
    }
    db.Exec("PRAGMA synchronous = NORMAL");
    if (IsDamagedCode(db.Exec("BEGIN IMMEDIATE"))) {
        return FileState::Damaged;
    }
    int version = 0;
    int rc = UserVersion(db, version);
    if (rc == SQLITE_OK && version > kHistorySchemaVersion) {
        db.Exec("ROLLBACK");
        return FileState::Newer;
    }
    for (; rc == SQLITE_OK && version < kHistorySchemaVersion; ++version) {
        rc = db.Exec(HistoryMigration(version));
    }
    if (rc == SQLITE_OK) {
        const std::string set = "PRAGMA user_version = " + std::to_string(version);
        rc = db.Exec(set.c_str());
    }
    if (rc == SQLITE_OK) {
        rc = db.Exec("COMMIT");
    }
    if (rc != SQLITE_OK) {
        db.Exec("ROLLBACK");
    }
    return rc == SQLITE_OK ? FileState::Usable : FileState::Damaged;
}

// A name beside the file that no other moved file has: "<file>.<reason>-<UTC time>".
QString AsideName(const QString& path, const char* reason) {
    const QString stamp = QDateTime::currentDateTimeUtc().toString("yyyyMMdd'T'HHmmss");
    QString aside = QStringLiteral("%1.%2-%3").arg(path, reason, stamp);
    for (int n = 2; QFile::exists(aside); ++n) {
        aside = QStringLiteral("%1.%2-%3-%4").arg(path, reason, stamp).arg(n);
    }
    return aside;
}

// The write-ahead log goes with the file it belongs to; the shared memory index is rebuilt.
bool MoveAside(const QString& path, const QString& aside) {
    if (!QFile::rename(path, aside)) {
        return false;
    }
    if (QFile::exists(path + "-wal")) {
        QFile::rename(path + "-wal", aside + "-wal");
    }
    QFile::remove(path + "-shm");
    return true;
}

QString MovedMessage(FileState state, const QString& path, const QString& aside) {
    return state == FileState::Newer
               ? QStringLiteral(
                     "The activity history %1 was written by a newer Nimbra. It was "
                     "moved to %2 and a new history was started.")
                     .arg(path, aside)
               : QStringLiteral(
                     "The activity history %1 is damaged. It was moved to %2 and a "
                     "new history was started.")
                     .arg(path, aside);
}
}  // namespace

QString HistoryFolder() {
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) {
        data = QDir::homePath() + "/.local/share";
    }
    return data + "/Velmoor/Nimbra";
}

ActivityHistory::ActivityHistory(QString path, HistoryDatabase db)
    : m_path(std::move(path)), m_db(std::move(db)) {}

ActivityHistory::~ActivityHistory() = default;

ActivityHistory::Opening ActivityHistory::Open(const QString& path, HistoryAccess access) {
    HistoryDatabase db;
    if (access == HistoryAccess::Read) {
        int version = 0;
        if (!QFile::exists(path) || db.Open(path, true) != SQLITE_OK ||
            UserVersion(db, version) != SQLITE_OK || version < 1 ||
            version > kHistorySchemaVersion) {
            return {nullptr,
                    QStringLiteral("There is no readable activity history in %1.").arg(path)};
        }
        return {std::unique_ptr<ActivityHistory>(new ActivityHistory(path, std::move(db))), {}};
    }
    QString message;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!MakePrivate(path) || db.Open(path, false) != SQLITE_OK) {
            break;
        }
        const FileState state = Prepare(db);
        if (state == FileState::Usable) {
            return {std::unique_ptr<ActivityHistory>(new ActivityHistory(path, std::move(db))),
                    message};
        }
        db.Close();
        const QString aside = AsideName(path, state == FileState::Newer ? "newer" : "damaged");
        if (!MoveAside(path, aside)) {
            break;
        }
        message = MovedMessage(state, path, aside);
    }
    return {nullptr, QStringLiteral("The activity history %1 cannot be written.").arg(path)};
}
