#pragma once
// The session properties sheet: pages "General", "SQL" and "Long Operations" with OK, Cancel and
// a greyed Apply. It shows what its pages were given and hands nothing back.

#include <QDialog>

class CPropsGeneralPage;
class CPropsLongOpsPage;
class CPropsSqlPage;
class QTabWidget;

class CPropsSheet : public QDialog {
    Q_OBJECT
public:
    // firstPage: 0 General, 1 SQL, 2 Long Operations.
    CPropsSheet(const QString& caption, QWidget* parent, int firstPage);

    CPropsGeneralPage* GeneralPage() const { return m_general; }
    CPropsSqlPage* SqlPage() const { return m_sql; }
    CPropsLongOpsPage* LongOpsPage() const { return m_longOps; }
    QWidget* CurrentPage() const;

signals:
    // Another page has come to the front.
    void pageShown(QWidget* page);

private:
    CPropsGeneralPage* m_general;
    CPropsSqlPage* m_sql;
    CPropsLongOpsPage* m_longOps;
    QTabWidget* m_tabs;
};
