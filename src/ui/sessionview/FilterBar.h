#pragma once
// The filter field above the list: what is typed filters the list at once; Escape clears the
// field and hides it.

#include <QWidget>

class QLineEdit;

class CFilterBar : public QWidget {
    Q_OBJECT
public:
    explicit CFilterBar(QWidget* parent = nullptr);

    // Shows the field and puts the keyboard in it.
    void Open();
    QString Text() const;

signals:
    void filterChanged(const QString& text);
    // Escape was pressed: the field is empty and hidden, the list should take the keyboard.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_edit;
};
