#pragma once
// The log-on dialog: user name, password and host string with the remembered host strings.
// exec() returns 1 when logged on (access checked, log-on data stored), 0 when cancelled.

#include <QDialog>

#include "LoginData.h"

class QComboBox;
class QLineEdit;

class CConnectDialog : public QDialog {
    Q_OBJECT
public:
    // Presets the user name and host string from the stored log-on data; never the password.
    explicit CConnectDialog(QWidget* parent = nullptr);

    const LoginData& Data() const { return m_data; }

public slots:
    void accept() override;

private:
    LoginData m_data;
    QLineEdit* m_userEdit;
    QLineEdit* m_passwordEdit;
    QComboBox* m_hostCombo;
};
