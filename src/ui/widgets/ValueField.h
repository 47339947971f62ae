#pragma once
// A read-only field for one value: selectable and copyable whole, drawn with an ellipsis when
// the value is wider than the field and it has no focus, the whole value then its tool tip.

#include <QLineEdit>

class CValueField : public QLineEdit {
    Q_OBJECT
public:
    explicit CValueField(QWidget* parent = nullptr);

    void SetValue(const QString& value);
    // Whether the value is wider than the field shows.
    bool IsCut() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect TextArea() const;
    void UpdateToolTip();
};
