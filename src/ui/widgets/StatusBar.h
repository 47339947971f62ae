#pragma once
// The main window's status bar: the message pane, then the CAP, NUM and SCRL indicators.

#include <QStatusBar>
#include <functional>

class QLabel;

struct LockKeys {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// The lock states as the kernel shows them on keyboard LEDs (entries "<device>::capslock" and
// so on, each with a "brightness" file): a lock is on when any keyboard's LED for it is lit.
// All off where nothing can be read.
LockKeys ReadLockKeyLeds(const QString& ledsDir = QStringLiteral("/sys/class/leds"));

class CStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit CStatusBar(QWidget* parent = nullptr);

    // Shows text in the message pane, an empty text as the idle text "Ready", and paints the
    // pane before returning.
    void SetMessageText(const QString& text);
    QString MessageText() const;
    // The pane beside the message pane that says what the list holds; a menu's prompts and the
    // idle text never replace it.
    void SetSessionText(const QString& text);
    QString SessionText() const;

    // Where the indicators learn the lock states; ReadLockKeyLeds unless replaced.
    void SetLockKeyReader(std::function<LockKeys()> reader);
    void UpdateIndicators();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    QLabel* AddIndicator(const QString& objectName, const QString& text);

    QLabel* m_message;
    QLabel* m_sessions;
    QLabel* m_caps;
    QLabel* m_num;
    QLabel* m_scroll;
    std::function<LockKeys()> m_readLockKeys;
    int m_nPollTimerId;
};
