#pragma once
// A static text turned into a link: underlined, fitted to its text, coloured by state, with a
// hand pointer and its address as the tool tip. A click opens the address through OpenAddress;
// a failed open beeps and explains the error code in a message box.

#include <QColor>
#include <QLabel>
#include <QString>

class CUrlLabel : public QLabel {
    Q_OBJECT
public:
    // Aligned left and top, as a static text is until its alignment is set.
    explicit CUrlLabel(const QString& text = QString(), QWidget* parent = nullptr);

    // Makes the placed label a link: an empty target takes the text and an empty text the
    // target; then the underline, the fit to the text, the hand pointer and the tool tip.
    void Attach();

    // Also applies the underline, refits and shows address as the tool tip; the text stays.
    void SetTarget(const QString& address, bool underlined);
    const QString& Target() const { return m_target; }
    void MarkVisited(bool visited);
    bool IsVisited() const { return m_isVisited; }
    void SetUnderlined(bool underlined);
    // Resizes the label to its text. A centred text keeps its centre, a right-aligned one its
    // right edge, any other its left; Qt::AlignVCenter keeps the middle, else the top stays.
    void FitToText();

    // Hot first, then visited, then the link colour.
    QColor TextColor() const;

    // "Unable to open hyperlink:" and the explanation of a failed open's code.
    static void ReportOpenError(int result);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // The exclamation beep that precedes the error message.
    virtual void Beep();

private:
    void OnLabelClicked();
    // Ends the hot state and gives the mouse back; repaints at once.
    void EndHot();

    QColor m_linkColor{0, 0, 238};
    QColor m_visitedColor{85, 26, 139};
    QColor m_hotColor;
    bool m_isHot = false;
    bool m_isVisited = false;
    bool m_isUnderlined = true;
    bool m_isPressed = false;
    QString m_target;
};
