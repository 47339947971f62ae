#include "widgets/BrowserCommand.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include "widgets/UrlLauncher.h"

namespace {
constexpr int kQueryTimeoutMs = 10000;

const QStringList kPlaceholders = {QStringLiteral("%1"), QStringLiteral("%u"), QStringLiteral("%U"),
                                   QStringLiteral("%f"), QStringLiteral("%F")};

// Where the earliest of forms begins in text, -1 when none occurs.
qsizetype firstOf(const QString& text, const QStringList& forms) {
    qsizetype first = -1;
    for (const QString& form : forms) {
        const qsizetype at = text.indexOf(form);
        if (at >= 0 && (first < 0 || at < first)) {
            first = at;
        }
    }
    return first;
}

QStringList quoted(const QStringList& forms) {
    QStringList result;
    for (const QString& form : forms) {
        result << QLatin1Char('"') + form + QLatin1Char('"');
    }
    return result;
}

// The desktop id of the text/html handler, empty when none is registered or xdg-mime is missing.
QString htmlHandler() {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    if (!query.waitForFinished(kQueryTimeoutMs)) {
        query.kill();
        query.waitForFinished();
        return {};
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) {
        return {};
    }
    return QString::fromLocal8Bit(query.readAllStandardOutput())
        .section(QLatin1Char('\n'), 0, 0)
        .trimmed();
}

// OpenResult::Opened when the file can be run, else why not.
int checkFile(const QFileInfo& file) {
    if (!file.exists()) {
        return OpenResult::FileNotFound;
    }
    return file.isFile() && file.isExecutable() ? OpenResult::Opened : OpenResult::AccessDenied;
}

// A bare name is looked up along $PATH, as the start will look it up.
int checkProgram(const QString& program) {
    if (program.contains(QLatin1Char('/'))) {
        return checkFile(QFileInfo(program));
    }
    int result = OpenResult::FileNotFound;
    const QStringList dirs =
        qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& dir : dirs) {
        const int found = checkFile(QFileInfo(QDir(dir).filePath(program)));
        if (found == OpenResult::Opened) {
            return found;
        }
        if (found == OpenResult::AccessDenied) {
            result = found;
        }
    }
    return result;
}
}  // namespace

QString RegisteredBrowserCommand() {
    const QString browser = qEnvironmentVariable("BROWSER");
    if (!browser.isEmpty()) {
        return browser.section(QLatin1Char(':'), 0, 0);
    }
    const QString handler = htmlHandler();
    if (handler.isEmpty()) {
        return {};
    }
    const QString file = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, handler);
    return file.isEmpty() ? QString() : DesktopEntryExec(file);
}

QString DesktopEntryExec(const QString& filePath) {
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inEntry && equals > 0 && line.left(equals).trimmed() == QStringLiteral("Exec")) {
            return line.mid(equals + 1).trimmed();
        }
    }
    return {};
}

QString BrowserCommandLine(const QString& command, const QString& address) {
    qsizetype cut = firstOf(command, quoted(kPlaceholders));
    if (cut < 0) {
        cut = firstOf(command, kPlaceholders);
    }
    return (cut < 0 ? command : command.left(cut)) + QLatin1Char(' ') + address;
}

int StartCommandLine(const QString& commandLine) {
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty()) {
        return OpenResult::FileNotFound;
    }
    const QString program = arguments.takeFirst();
    const int usable = checkProgram(program);
    if (usable != OpenResult::Opened) {
        return usable;
    }
    return QProcess::startDetached(program, arguments) ? OpenResult::Opened
                                                       : OpenResult::StartFailed;
}

int OpenWithBrowserCommand(const QString& address, int firstResult) {
    const QString command = RegisteredBrowserCommand();
    if (command.isEmpty()) {
        return firstResult;
    }
    return StartCommandLine(BrowserCommandLine(command, address));
}
