#include "widgets/StatusBar.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QTimerEvent>

#include "Strings.h"

namespace {
// Lock keys may change in any program, so the indicators look a few times a second.
constexpr int kPollMilliseconds = 400;

bool ledLit(const QString& entryPath) {
    QFile file(entryPath + QStringLiteral("/brightness"));
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    return file.readAll().trimmed().toInt() > 0;
}

void showIndicator(QLabel* label, const QString& text, bool on) {
    const QString shown = on ? text : QString();
    if (label->text() != shown) {
        label->setText(shown);
    }
}
}  // namespace

LockKeys ReadLockKeyLeds(const QString& ledsDir) {
    LockKeys keys;
    const QDir dir(ledsDir);
    for (const QString& entry : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System)) {
        bool* lock = nullptr;
        if (entry.endsWith(QStringLiteral("::capslock"))) {
            lock = &keys.caps;
        } else if (entry.endsWith(QStringLiteral("::numlock"))) {
            lock = &keys.num;
        } else if (entry.endsWith(QStringLiteral("::scrolllock"))) {
            lock = &keys.scroll;
        }
        if (lock && !*lock) {
            *lock = ledLit(dir.filePath(entry));
        }
    }
    return keys;
}

CStatusBar::CStatusBar(QWidget* parent)
    : QStatusBar(parent),
      m_message(new QLabel(Strings::Ready, this)),
      m_readLockKeys([] { return ReadLockKeyLeds(); }) {
    m_message->setObjectName(QStringLiteral("messagePane"));
    // Long prompts are cut off rather than widening the window.
    m_message->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addWidget(m_message, 1);
    m_sessions = new QLabel(this);
    m_sessions->setObjectName(QStringLiteral("sessionPane"));
    m_sessions->setAlignment(Qt::AlignCenter);
    m_sessions->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_sessions->setMinimumWidth(
        m_sessions->fontMetrics().horizontalAdvance(QStringLiteral("10,000 sessions")) +
        2 * m_sessions->fontMetrics().averageCharWidth());
    addPermanentWidget(m_sessions);
    m_caps = AddIndicator(QStringLiteral("capsIndicator"), QStringLiteral("CAP"));
    m_num = AddIndicator(QStringLiteral("numIndicator"), QStringLiteral("NUM"));
    m_scroll = AddIndicator(QStringLiteral("scrollIndicator"), QStringLiteral("SCRL"));
    UpdateIndicators();
    m_nPollTimerId = startTimer(kPollMilliseconds);
}

QLabel* CStatusBar::AddIndicator(const QString& objectName, const QString& text) {
    auto* label = new QLabel(this);
    label->setObjectName(objectName);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // Sized for its text whether lit or blank, so the panes never shift.
    label->setFixedWidth(label->fontMetrics().horizontalAdvance(text) +
                         2 * label->fontMetrics().averageCharWidth());
    addPermanentWidget(label);
    return label;
}

void CStatusBar::SetMessageText(const QString& text) {
    m_message->setText(text.isEmpty() ? Strings::Ready : text);
    m_message->repaint();
}

QString CStatusBar::MessageText() const {
    return m_message->text();
}

void CStatusBar::SetSessionText(const QString& text) {
    m_sessions->setText(text);
    m_sessions->repaint();
}

QString CStatusBar::SessionText() const {
    return m_sessions->text();
}

void CStatusBar::SetLockKeyReader(std::function<LockKeys()> reader) {
    m_readLockKeys = std::move(reader);
    UpdateIndicators();
}

void CStatusBar::UpdateIndicators() {
    const LockKeys keys = m_readLockKeys();
    showIndicator(m_caps, QStringLiteral("CAP"), keys.caps);
    showIndicator(m_num, QStringLiteral("NUM"), keys.num);
    showIndicator(m_scroll, QStringLiteral("SCRL"), keys.scroll);
}

void CStatusBar::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_nPollTimerId) {
        UpdateIndicators();
        return;
    }
    QStatusBar::timerEvent(event);
}
