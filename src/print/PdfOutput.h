#pragma once
// A PDF document written into a file, the user's or a private temporary one, with its writing
// checked: a file that could not be written completely is removed and the failure is told.

#include <QString>
#include <memory>

class QFile;
class QPdfWriter;
class QPrinter;

class CPdfOutput {
public:
    CPdfOutput();
    ~CPdfOutput();
    CPdfOutput(const CPdfOutput&) = delete;
    CPdfOutput& operator=(const CPdfOutput&) = delete;

    // Opens the file at path, or a new private temporary file when path is empty, for pages of
    // the printer's layout and resolution; false when it cannot be opened.
    bool Open(const QString& path, const QPrinter& printer, const QString& title);
    QPdfWriter& Writer() { return *m_writer; }
    QString FileName() const;
    // False once a write has failed, with the failure told in Failure().
    bool Written();
    // After the painter has ended: false, with the failure told and the file removed, when the
    // file does not hold everything written to it.
    bool Close();
    // Closes the file and removes it.
    void Discard();
    QString Failure() const { return m_strFailure; }

private:
    void Fail(const QString& reason);
    void Remove();

    std::unique_ptr<QFile> m_file;
    std::unique_ptr<QPdfWriter> m_writer;
    QString m_strFailure;
};
