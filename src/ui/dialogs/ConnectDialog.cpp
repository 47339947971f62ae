#include "dialogs/ConnectDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QStringList>
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>

#include "LogonFlow.h"
#include "RememberedPassword.h"
#include "SecretWipe.h"
#include "ServerHistory.h"
#include "widgets/DialogUnits.h"
#include "widgets/MessageBox.h"
#include "widgets/WaitCursor.h"

CConnectDialog::CConnectDialog(QWidget* parent, bool presetPassword)
    : QDialog(parent), m_data(LoginData::Load()) {
    m_data.Password = presetPassword ? KeyringPassword(m_data) : QString();
    CreateControls();
    m_userEdit->setText(m_data.UserName);
    m_passwordEdit->setText(m_data.Password);
    WipeSecret(m_data.Password);
    FillHostList();
    PresetHost(m_data.HostString);
    SelectMode(m_data.Mode);
    (m_data.UserName.isEmpty() ? m_userEdit : m_passwordEdit)->setFocus();
    // Typing replaces a remembered password.
    m_passwordEdit->selectAll();
    m_bPasswordPreset = !m_passwordEdit->text().isEmpty();
    connect(m_passwordEdit, &QLineEdit::textChanged, this, [this] { m_bPasswordPreset = false; });
    connect(m_userEdit, &QLineEdit::textChanged, this, &CConnectDialog::DropPresetPassword);
    connect(m_hostCombo, &QComboBox::editTextChanged, this, &CConnectDialog::DropPresetPassword);
}

void CConnectDialog::DropPresetPassword() {
    if (m_bPasswordPreset) {
        m_passwordEdit->clear();
    }
}

void CConnectDialog::CreateControls() {
    setWindowTitle(QStringLiteral("Connect Dialog"));
    setFixedSize(DialogUnitsToPixels(QSize(163, 113), font()));

    Place(new QLabel(QStringLiteral("Username:"), this), QRect(7, 7, 46, 11));
    Place(new QLabel(QStringLiteral("Password:"), this), QRect(7, 25, 40, 10));
    Place(new QLabel(QStringLiteral("Host string:"), this), QRect(7, 45, 35, 10));
    Place(new QLabel(QStringLiteral("Connect as:"), this), QRect(7, 63, 40, 10));

    m_userEdit = new QLineEdit(this);
    m_userEdit->setObjectName(QStringLiteral("userEdit"));
    m_userEdit->setMaxLength(kMaxLogonField);
    Place(m_userEdit, QRect(53, 7, 95, 13));

    m_passwordEdit = new QLineEdit(this);
    m_passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    m_passwordEdit->setMaxLength(kMaxLogonField);
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    Place(m_passwordEdit, QRect(53, 25, 95, 12));

    m_hostCombo = new QComboBox(this);
    m_hostCombo->setObjectName(QStringLiteral("hostCombo"));
    m_hostCombo->setEditable(true);
    // Enter belongs to the OK button; the list changes only through the history.
    m_hostCombo->setInsertPolicy(QComboBox::NoInsert);
    // What is typed stays as typed: no completion from the list.
    m_hostCombo->setCompleter(nullptr);
    // The template's height includes the dropped list; closed, the control keeps its own.
    const QRect host = DialogUnitsToPixels(QRect(53, 43, 95, 40), font());
    m_hostCombo->setGeometry(host.x(), host.y(), host.width(), m_hostCombo->sizeHint().height());
    connect(m_hostCombo, &QComboBox::activated, this, &CConnectDialog::OnHostActivated);

    m_modeCombo = new QComboBox(this);
    m_modeCombo->setObjectName(QStringLiteral("connectAsCombo"));
    for (ConnectAs mode : kConnectAsModes) {
        m_modeCombo->addItem(QString::fromLatin1(ConnectAsName(mode)), int(mode));
    }
    const QRect mode = DialogUnitsToPixels(QRect(53, 61, 95, 60), font());
    m_modeCombo->setGeometry(mode.x(), mode.y(), mode.width(), m_modeCombo->sizeHint().height());

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    Place(ok, QRect(17, 91, 60, 15));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    Place(cancel, QRect(87, 91, 60, 15));
    connect(ok, &QPushButton::clicked, this, &CConnectDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CConnectDialog::reject);

    setTabOrder(m_userEdit, m_passwordEdit);
    setTabOrder(m_passwordEdit, m_hostCombo);
    setTabOrder(m_hostCombo, m_modeCombo);
    setTabOrder(m_modeCombo, ok);
    setTabOrder(ok, cancel);
}

void CConnectDialog::Place(QWidget* control, const QRect& units) const {
    PlaceInDialogUnits(control, units);
}

void CConnectDialog::FillHostList() {
    m_hostCombo->clear();
    QStringList hosts = ServerHistory::Load();
    // In one go, equal texts in stored order: where adding them one by one would put them.
    std::stable_sort(hosts.begin(), hosts.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    m_hostCombo->addItems(hosts);
}

void CConnectDialog::AddHost(const QString& host) {
    int index = 0;
    while (index < m_hostCombo->count() &&
           m_hostCombo->itemText(index).compare(host, Qt::CaseInsensitive) <= 0) {
        ++index;
    }
    m_hostCombo->insertItem(index, host);
}

void CConnectDialog::PresetHost(const QString& host) {
    for (int index = 0; index < m_hostCombo->count(); ++index) {
        if (m_hostCombo->itemText(index).startsWith(host, Qt::CaseInsensitive)) {
            m_hostCombo->setCurrentIndex(index);
            return;
        }
    }
    m_hostCombo->setEditText(host);
}

void CConnectDialog::SelectMode(ConnectAs mode) {
    m_modeCombo->setCurrentIndex(m_modeCombo->findData(int(mode)));
}

ConnectAs CConnectDialog::SelectedMode() const {
    return ConnectAs(m_modeCombo->currentData().toInt());
}

void CConnectDialog::OnHostActivated(int index) {
    if (const std::optional<ConnectAs> mode = ServerHistory::ModeOf(m_hostCombo->itemText(index))) {
        SelectMode(*mode);
    }
}

bool CConnectDialog::TakeModeFromUserName() {
    std::string user = m_userEdit->text().toStdString();
    const std::optional<ConnectAs> typed = TakeConnectAsSuffix(user);
    if (!typed) {
        return true;
    }
    if (SelectedMode() != ConnectAs::Normal && SelectedMode() != *typed) {
        NimbraMessageBox(QStringLiteral("The user name asks to connect as %1, but \"Connect as\" "
                                        "says %2: choose one of them.")
                             .arg(QString::fromLatin1(ConnectAsName(*typed)),
                                  QString::fromLatin1(ConnectAsName(SelectedMode()))),
                         MsgButtons::Ok, MsgIcon::Warning);
        m_userEdit->setFocus();
        return false;
    }
    m_userEdit->setText(QString::fromStdString(user));
    SelectMode(*typed);
    return true;
}

bool CConnectDialog::TakeFields() {
    const std::array<std::pair<QWidget*, QString>, 3> fields = {{
        {m_userEdit, m_userEdit->text()},
        {m_passwordEdit, m_passwordEdit->text()},
        {m_hostCombo, m_hostCombo->currentText()},
    }};
    for (const auto& [field, text] : fields) {
        if (text.size() > kMaxLogonField) {
            NimbraMessageBox(FieldTooLongMessage(), MsgButtons::Ok, MsgIcon::Warning);
            field->setFocus();
            return false;
        }
    }
    if (!TakeModeFromUserName()) {
        return false;
    }
    m_data.UserName = m_userEdit->text();
    m_data.Password = fields[1].second;
    m_data.HostString = fields[2].second;
    m_data.Mode = SelectedMode();
    return true;
}

void CConnectDialog::accept() {
    const CWaitCursor wait;
    if (!TakeFields()) {
        return;
    }
    // Remembered before the log-on, so a host string that fails stays in the list.
    if (ServerHistory::Remember(m_data.HostString)) {
        AddHost(m_data.HostString);
    }
    const bool loggedOn = LogOnWithAccessCheck(m_data) == LogonOutcome::LoggedOn;
    if (loggedOn) {
        m_passwordEdit->clear();
    }
    WipeSecret(m_data.Password);
    if (loggedOn) {
        QDialog::accept();
    }
}
