#pragma once
// A PDF document written into a file, the user's or a private temporary one, with every write
// checked: a file that could not be written completely is removed and the reason is kept.

#include <QString>
#include <memory>

class QFile;
class QPageLayout;
class QPdfWriter;

class CPdfOutput {
public:
    CPdfOutput();
    ~CPdfOutput();
    CPdfOutput(const CPdfOutput&) = delete;
    CPdfOutput& operator=(const CPdfOutput&) = delete;

    // Opens the file at path, or a new private temporary file when path is empty, for pages of
    // the layout and resolution; false, with the reason in Failure(), when it cannot be opened.
    bool Open(const QString& path, const QPageLayout& layout, int resolution, const QString& title);
    QPdfWriter& Writer() { return *m_writer; }
    QString FileName() const;
    // False once a write has failed.
    bool Written() const { return m_strFailure.isEmpty(); }
    // After the painter has ended: false, with the file removed, when the file does not hold
    // everything written to it.
    bool Close();
    // Closes the file and removes it.
    void Discard();
    // Why the file could not be opened or written, in the system's words
    // ("No space left on device"); empty while nothing failed.
    QString Failure() const { return m_strFailure; }

private:
    void Fail(const QString& reason);
    void Remove();

    std::unique_ptr<QFile> m_file;
    std::unique_ptr<QPdfWriter> m_writer;
    QString m_strFailure;
};
