#pragma once
// The "General" page of the properties sheet: nine details of one session, read-only.

#include <QWidget>
#include <array>

#include "SessionRecords.h"

class QLabel;

class CPropsGeneralPage : public QWidget {
    Q_OBJECT
public:
    // All fields empty.
    explicit CPropsGeneralPage(QWidget* parent = nullptr);

    // Copies the nine texts; the SQL text is the other page's.
    void SetDetails(const SessionDetails& details);

private:
    std::array<QLabel*, 9> m_values{};
};
