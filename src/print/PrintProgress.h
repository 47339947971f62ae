#pragma once
// The modeless window a print job shows over the disabled main window: the page being printed,
// the remaining-time estimate and a Cancel button.

#include <QDialog>

class QLabel;

class CPrintProgress : public QDialog {
    Q_OBJECT
public:
    explicit CPrintProgress(QWidget* owner);

    // A page count of kPageCountUnknown shows the page alone.
    void ShowPage(unsigned page, unsigned pageCount, const QString& estimate);

signals:
    // Cancel, Escape or closing the window.
    void cancelRequested();

public slots:
    void reject() override;

private:
    QLabel* m_page;
    QLabel* m_estimate;
};
