#include "PdfOutput.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <utility>

namespace {
// A write cut short by the disk leaves the file device without a reason, but errno has it.
QString WriteFailure(int error, const QFileDevice& file) {
    return error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : file.errorString();
}

// A file that keeps the reason of its first failed write: the file device's own error is
// overwritten by the next call, and the PDF writer goes on writing after a failure.
template <class File>
class CheckedFile : public File {
public:
    template <class... Args>
    explicit CheckedFile(QString& failure, Args&&... args)
        : File(std::forward<Args>(args)...), m_failure(failure) {}

protected:
    qint64 writeData(const char* data, qint64 length) override {
        errno = 0;
        const qint64 written = File::writeData(data, length);
        if (written != length && m_failure.isEmpty()) {
            m_failure = WriteFailure(errno, *this);
        }
        return written;
    }

private:
    QString& m_failure;
};
}  // namespace

CPdfOutput::CPdfOutput() = default;

CPdfOutput::~CPdfOutput() = default;

bool CPdfOutput::Open(const QString& path, const QPageLayout& layout, int resolution,
                      const QString& title) {
    if (path.isEmpty()) {
        // Readable by its owner only, and without a name in the folder until one is asked for.
        m_file = std::make_unique<CheckedFile<QTemporaryFile>>(
            m_strFailure, QDir::tempPath() + QStringLiteral("/nimbra-print-XXXXXX.pdf"));
    } else {
        m_file = std::make_unique<CheckedFile<QFile>>(m_strFailure, path);
    }
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        Fail(m_file->errorString());
        return false;
    }
    m_writer = std::make_unique<QPdfWriter>(m_file.get());
    m_writer->setResolution(resolution);
    m_writer->setPageLayout(layout);
    m_writer->setTitle(title);
    return true;
}

QString CPdfOutput::FileName() const {
    return m_file ? m_file->fileName() : QString();
}

bool CPdfOutput::Close() {
    m_writer.reset();
    const qint64 written = m_file->pos();
    errno = 0;
    if (!m_file->flush()) {
        Fail(WriteFailure(errno, *m_file));
    }
    m_file->close();
    if (Written()) {
        // A file that took every write may still be short on disk; its size tells.
        const QFileInfo stored(m_file->fileName());
        if (stored.isFile() && (stored.size() != written || written == 0)) {
            Fail(QStringLiteral("%1 of %2 bytes stored").arg(stored.size()).arg(written));
        }
    }
    if (!Written()) {
        Remove();
    }
    return Written();
}

void CPdfOutput::Discard() {
    m_writer.reset();
    if (m_file) {
        m_file->close();
        Remove();
    }
}

void CPdfOutput::Fail(const QString& reason) {
    if (m_strFailure.isEmpty()) {
        m_strFailure = reason;
    }
}

// A temporary file goes with its object. Of the user's, only a plain file is removed: a device
// such as /dev/full stays where it is.
void CPdfOutput::Remove() {
    if (!qobject_cast<QTemporaryFile*>(m_file.get()) && QFileInfo(m_file->fileName()).isFile()) {
        QFile::remove(m_file->fileName());
    }
}
