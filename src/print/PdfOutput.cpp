#include "PdfOutput.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryFile>

CPdfOutput::CPdfOutput() = default;

CPdfOutput::~CPdfOutput() = default;

bool CPdfOutput::Open(const QString& path, const QPrinter& printer, const QString& title) {
    if (path.isEmpty()) {
        // Readable by its owner only, and without a name in the folder until one is asked for.
        m_file = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                  QStringLiteral("/nimbra-print-XXXXXX.pdf"));
    } else {
        m_file = std::make_unique<QFile>(path);
    }
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    m_writer = std::make_unique<QPdfWriter>(m_file.get());
    m_writer->setResolution(printer.resolution());
    m_writer->setPageLayout(printer.pageLayout());
    m_writer->setTitle(title);
    return true;
}

QString CPdfOutput::FileName() const {
    return m_file ? m_file->fileName() : QString();
}

bool CPdfOutput::Written() {
    if (m_file->error() != QFileDevice::NoError) {
        Fail(m_file->errorString());
    }
    return m_strFailure.isEmpty();
}

bool CPdfOutput::Close() {
    m_writer.reset();
    const qint64 written = m_file->pos();
    m_file->flush();
    // Closing forgets a failed write, so it is noted before.
    Written();
    m_file->close();
    if (Written()) {
        // A file that took every write may still be short on disk; its size tells.
        const QFileInfo stored(m_file->fileName());
        if (stored.isFile() && (stored.size() != written || written == 0)) {
            Fail(QStringLiteral("%1 of %2 bytes stored").arg(stored.size()).arg(written));
        }
    }
    if (!m_strFailure.isEmpty()) {
        Remove();
    }
    return m_strFailure.isEmpty();
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
        m_strFailure = QStringLiteral("Could not write the PDF file \"%1\": %2.")
                           .arg(QDir::toNativeSeparators(m_file->fileName()), reason);
    }
}

// A temporary file goes with its object. Of the user's, only a plain file is removed: a device
// such as /dev/full stays where it is.
void CPdfOutput::Remove() {
    if (!qobject_cast<QTemporaryFile*>(m_file.get()) && QFileInfo(m_file->fileName()).isFile()) {
        QFile::remove(m_file->fileName());
    }
}
