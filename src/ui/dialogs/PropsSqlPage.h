#pragma once
// The "SQL" page of the properties sheet: the statement a session runs, wrapped at the page's
// width to read, and selected and copied as it is.

#include <QWidget>

class QPlainTextEdit;

class CPropsSqlPage : public QWidget {
    Q_OBJECT
public:
    // The text empty.
    explicit CPropsSqlPage(QWidget* parent = nullptr);

    void SetSqlText(const QString& sqlText);
    QString SqlText() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPlainTextEdit* m_edit;
};
