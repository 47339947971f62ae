#pragma once
// The "General" page of the properties sheet: nine details of one session in read-only fields
// that can be selected and copied, widening with the page.

#include <QWidget>
#include <array>

#include "SessionRecords.h"

class CValueField;

class CPropsGeneralPage : public QWidget {
    Q_OBJECT
public:
    // All fields empty.
    explicit CPropsGeneralPage(QWidget* parent = nullptr);

    // Copies the nine texts; the SQL text is the other page's.
    void SetDetails(const SessionDetails& details);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::array<CValueField*, 9> m_values{};
};
