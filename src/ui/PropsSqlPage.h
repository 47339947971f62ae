#pragma once
// The "SQL" page of the properties sheet: the statement a session runs, one stored piece per
// line, to read and copy.

#include <QWidget>

class QPlainTextEdit;

class CPropsSqlPage : public QWidget {
    Q_OBJECT
public:
    // The text empty.
    explicit CPropsSqlPage(QWidget* parent = nullptr);

    // sqlText as the statement delivers it, "\r\n" after each piece.
    void SetSqlText(const QString& sqlText);

private:
    QPlainTextEdit* m_edit;
};
