#pragma once
// The about box: the logo, the title and version in a heavy font, a note on how the program
// reaches the database, and links to the home page, the author and the database vendor.

#include <QDialog>
#include <QList>
#include <QString>

class CUrlLabel;
class QLabel;
class QWidget;

// Shows the about box with text as its title lines, owned by the main window, until closed.
void ShowAboutBox(const QString& text);

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent = nullptr);

    // The title and version, one per line.
    void SetAboutText(const QString& text);

private:
    void CreateControls();
    // Places a control at its rectangle of the template, given in dialog units.
    void Place(QWidget* control, const QRect& units) const;
    CUrlLabel* CreateLink(const QString& name, const QString& text, const QRect& units);
    QLabel* CreateStatic(const QString& text, const QRect& units);
    void CreateLogo();
    // The template's box holds the note in its own font; a wider font needs more lines, so the
    // note grows and the controls below it, the frame and the dialog make room.
    void MakeRoomForNote(QLabel* note, const QList<QWidget*>& below, QWidget* frame);

    CUrlLabel* m_linkMail = nullptr;
    CUrlLabel* m_linkHome = nullptr;
    CUrlLabel* m_linkVendor = nullptr;
    QLabel* m_titleStatic = nullptr;
    QString m_aboutText;
};
