#include "dialogs/OptionsDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QSize>
#include <QSlider>
#include <QSpinBox>

#include "ActivitySettings.h"
#include "AppSettings.h"
#include "RememberedPassword.h"
#include "widgets/DialogUnits.h"

COptionsDialog::COptionsDialog(QWidget* parent) : QDialog(parent) {
    const AppSettings stored = AppSettings::Load();
    m_bAutoLogin = stored.AutoLogin;
    m_bRememberPassword = stored.RememberPassword;
    CreateControls();
    const ActivitySettings activity = ActivitySettings::Load();
    m_sampleCheck->setChecked(activity.Sample);
    m_sampleSecSpin->setValue(activity.SampleSec);
    m_keepDaysSpin->setValue(activity.KeepDays);
    m_autoLoginCheck->setChecked(m_bAutoLogin);
    m_rememberPasswordCheck->setChecked(m_bRememberPassword);
    OnSliderMoved(m_slider->value());
    m_slider->setFocus();
}

void COptionsDialog::CreateControls() {
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(DialogUnitsToPixels(QSize(293, 165), font()));

    // First, so that they lie beneath the controls they frame.
    Place(new QGroupBox(QStringLiteral("Refresh timer"), this), QRect(10, 5, 214, 38));
    Place(new QGroupBox(QStringLiteral("Display options"), this), QRect(10, 50, 215, 65));
    Place(new QGroupBox(QStringLiteral("Activity history"), this), QRect(10, 120, 215, 40));

    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("slider1001"));
    m_slider->setRange(0, kMaxRefreshSec);
    m_slider->setTickPosition(QSlider::TicksAbove);
    m_slider->setTickInterval(10);
    Place(m_slider, QRect(18, 18, 150, 22));

    m_intervalLabel = new QLabel(this);
    m_intervalLabel->setObjectName(QStringLiteral("interval1004"));
    m_intervalLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_intervalLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Place(m_intervalLabel, QRect(180, 20, 20, 10));

    m_showSystemCheck =
        new QCheckBox(QStringLiteral("Show all sessions (include server sessions)"), this);
    m_showSystemCheck->setObjectName(QStringLiteral("showSystem1003"));
    Place(m_showSystemCheck, QRect(20, 65, 195, 10));
    m_autoLoginCheck =
        new QCheckBox(QStringLiteral("Perform auto login (using current login data)"), this);
    m_autoLoginCheck->setObjectName(QStringLiteral("autoLogin1005"));
    Place(m_autoLoginCheck, QRect(20, 80, 195, 10));
    m_rememberPasswordCheck = new QCheckBox(QStringLiteral("Remember password"), this);
    m_rememberPasswordCheck->setObjectName(QStringLiteral("rememberPassword1006"));
    Place(m_rememberPasswordCheck, QRect(20, 95, 195, 10));

    m_sampleCheck = new QCheckBox(QStringLiteral("Sample active sessions every"), this);
    m_sampleCheck->setObjectName(QStringLiteral("sample1007"));
    Place(m_sampleCheck, QRect(20, 133, 120, 10));
    m_sampleSecSpin = new QSpinBox(this);
    m_sampleSecSpin->setObjectName(QStringLiteral("sampleSec1008"));
    m_sampleSecSpin->setRange(1, kMaxSampleSec);
    m_sampleSecSpin->setSuffix(QStringLiteral(" s"));
    Place(m_sampleSecSpin, QRect(145, 131, 40, 13));
    auto* keep = new QLabel(QStringLiteral("Keep samples for"), this);
    Place(keep, QRect(31, 147, 110, 10));
    m_keepDaysSpin = new QSpinBox(this);
    m_keepDaysSpin->setObjectName(QStringLiteral("keepDays1009"));
    m_keepDaysSpin->setRange(1, kMaxHistoryDays);
    m_keepDaysSpin->setSuffix(QStringLiteral(" days"));
    keep->setBuddy(m_keepDaysSpin);
    Place(m_keepDaysSpin, QRect(145, 145, 55, 13));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    Place(ok, QRect(236, 7, 50, 14));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    Place(cancel, QRect(236, 24, 50, 14));

    connect(m_slider, &QSlider::valueChanged, this, &COptionsDialog::OnSliderMoved);
    connect(ok, &QPushButton::clicked, this, &COptionsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &COptionsDialog::reject);

    setTabOrder(m_slider, m_showSystemCheck);
    setTabOrder(m_showSystemCheck, m_autoLoginCheck);
    setTabOrder(m_autoLoginCheck, m_rememberPasswordCheck);
    setTabOrder(m_rememberPasswordCheck, m_sampleCheck);
    setTabOrder(m_sampleCheck, m_sampleSecSpin);
    setTabOrder(m_sampleSecSpin, m_keepDaysSpin);
    setTabOrder(m_keepDaysSpin, ok);
    setTabOrder(ok, cancel);
}

void COptionsDialog::Place(QWidget* control, const QRect& units) const {
    control->setGeometry(DialogUnitsToPixels(units, font()));
}

void COptionsDialog::SetRefreshSec(int seconds) {
    // The slider clamps to its range and reports where it stands.
    m_slider->setValue(seconds);
    OnSliderMoved(m_slider->value());
}

void COptionsDialog::SetShowSystem(bool showSystem) {
    m_bShowSystem = showSystem;
    m_showSystemCheck->setChecked(showSystem);
}

void COptionsDialog::OnSliderMoved(int position) {
    m_nRefreshSec = position;
    m_intervalLabel->setText(m_nRefreshSec <= 0 ? QStringLiteral("OFF")
                                                : QString::number(m_nRefreshSec));
}

void COptionsDialog::accept() {
    m_bShowSystem = m_showSystemCheck->isChecked();
    m_bAutoLogin = m_autoLoginCheck->isChecked();
    const bool forget = m_bRememberPassword && !m_rememberPasswordCheck->isChecked();
    m_bRememberPassword = m_rememberPasswordCheck->isChecked();
    AppSettings::Save({.AutoLogin = m_bAutoLogin,
                       .RefreshSec = m_nRefreshSec,
                       .ShowSystem = m_bShowSystem,
                       .RememberPassword = m_bRememberPassword});
    ActivitySettings::Save({.Sample = m_sampleCheck->isChecked(),
                            .SampleSec = m_sampleSecSpin->value(),
                            .KeepDays = m_keepDaysSpin->value()});
    if (forget) {
        ForgetPassword();
    }
    QDialog::accept();
}
