#pragma once
// The options dialog: refresh interval, listing of server sessions, automatic log-on, whether
// passwords are remembered, and the sampling of activity. OK stores them all; the caller then
// applies the interval, the listing and the sampling itself.

#include <QDialog>

class QCheckBox;
class QLabel;
class QSlider;
class QSpinBox;

class COptionsDialog : public QDialog {
    Q_OBJECT
public:
    // Reads "AutoLogin" and "RememberPassword" from the store.
    explicit COptionsDialog(QWidget* parent = nullptr);

    // Seconds, 0 = off; the slider keeps it within 0 to 60, and it follows the slider.
    void SetRefreshSec(int seconds);
    int RefreshSec() const { return m_nRefreshSec; }
    void SetShowSystem(bool showSystem);
    // Taken from the check boxes by OK.
    bool ShowSystem() const { return m_bShowSystem; }
    bool AutoLogin() const { return m_bAutoLogin; }
    // Turned off, OK also forgets the stored log-on's password (ForgetPassword).
    bool RememberPassword() const { return m_bRememberPassword; }

public slots:
    void accept() override;

private:
    void CreateControls();
    void Place(QWidget* control, const QRect& units) const;
    void OnSliderMoved(int position);

    int m_nRefreshSec = 0;
    bool m_bShowSystem = false;
    bool m_bAutoLogin = false;
    bool m_bRememberPassword = true;
    QSlider* m_slider = nullptr;
    QLabel* m_intervalLabel = nullptr;
    QCheckBox* m_showSystemCheck = nullptr;
    QCheckBox* m_autoLoginCheck = nullptr;
    QCheckBox* m_rememberPasswordCheck = nullptr;
    QCheckBox* m_sampleCheck = nullptr;
    QSpinBox* m_sampleSecSpin = nullptr;
    QSpinBox* m_keepDaysSpin = nullptr;
};
