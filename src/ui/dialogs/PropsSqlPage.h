#pragma once
// The "SQL" page of the properties sheet: the statement a session runs, wrapped at the page's
// width to read, and selected and copied as it is; under it, once given, its execution plan in a
// fixed-width font.

#include <QWidget>

class QPlainTextEdit;

class CPropsSqlPage : public QWidget {
    Q_OBJECT
public:
    // The text empty.
    explicit CPropsSqlPage(QWidget* parent = nullptr);

    void SetSqlText(const QString& sqlText);
    QString SqlText() const;
    // The plan's lines, or the line that stands for it; empty hides the field.
    void SetPlanText(const QString& planText);
    QString PlanText() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut();

    QPlainTextEdit* m_edit;
    QPlainTextEdit* m_plan;
};
