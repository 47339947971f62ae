#pragma once
// The log-on dialog: user name, password and host string with the remembered host strings, and
// the privilege to connect as. exec() returns 1 when logged on (access checked, log-on data
// stored), 0 when cancelled.

#include <QDialog>

#include "LoginData.h"

class QComboBox;
class QLineEdit;

class CConnectDialog : public QDialog {
    Q_OBJECT
public:
    // Presets the user name and host string from the stored log-on data, and with
    // presetPassword the password the keyring holds for them (it may ask to be unlocked).
    explicit CConnectDialog(QWidget* parent = nullptr, bool presetPassword = true);

    const LoginData& Data() const { return m_data; }

public slots:
    void accept() override;

private:
    void CreateControls();
    // Places a control at its rectangle of the template, given in dialog units.
    void Place(QWidget* control, const QRect& units) const;
    // The remembered host strings, kept sorted ignoring letter case.
    void FillHostList();
    void AddHost(const QString& host);
    // Selects the first entry that begins with host, case ignored; else edits host itself.
    void PresetHost(const QString& host);
    void SelectMode(ConnectAs mode);
    ConnectAs SelectedMode() const;
    // A host string picked from the list brings the privilege of its last log-on.
    void OnHostActivated(int index);
    // Copies the fields into the record; false, with the message shown, when one is too long or
    // the user name's " as sysdba" names another privilege than "Connect as".
    bool TakeFields();
    // Takes SQL*Plus's " as sysdba" off the user name into "Connect as"; false, with the
    // message shown, when the two disagree.
    bool TakeModeFromUserName();
    // A remembered password belongs to the stored user and host: editing either drops it.
    void DropPresetPassword();

    LoginData m_data;
    QLineEdit* m_userEdit = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QComboBox* m_hostCombo = nullptr;
    QComboBox* m_modeCombo = nullptr;
    bool m_bPasswordPreset = false;
};
