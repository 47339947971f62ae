#pragma once
// The session properties sheet: pages "General" and "SQL" with OK, Cancel and a greyed Apply.
// It shows what its pages were given and hands nothing back.

#include <QDialog>

class CPropsGeneralPage;
class CPropsSqlPage;

class CPropsSheet : public QDialog {
    Q_OBJECT
public:
    // firstPage: 0 General, 1 SQL.
    CPropsSheet(const QString& caption, QWidget* parent, int firstPage);

    CPropsGeneralPage* GeneralPage() const { return m_general; }
    CPropsSqlPage* SqlPage() const { return m_sql; }

private:
    CPropsGeneralPage* m_general;
    CPropsSqlPage* m_sql;
};
