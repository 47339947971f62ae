#include "dialogs/AboutDialog.h"

#include <QApplication>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QPushButton>
#include <QRect>

#include "Strings.h"
#include "widgets/DialogUnits.h"
#include "widgets/UrlLabel.h"

namespace {
const QString kNote = QStringLiteral(
    "This application connects directly to Oracle using the OCI. (Oracle Call Interface) This is "
    "installed with SQL*Net or Net8.");

// The visible main window, which owns a dialog opened without a parent.
QWidget* mainWindow() {
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (qobject_cast<QMainWindow*>(window) && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}
}  // namespace

void ShowAboutBox(const QString& text) {
    CAboutDialog dialog(mainWindow());
    dialog.SetAboutText(text);
    dialog.exec();
}

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    CreateControls();
    // Bound as the template binds them: each link takes its text as a provisional target.
    for (CUrlLabel* link : {m_linkMail, m_linkHome, m_linkVendor}) {
        link->Attach();
    }
    QFont heavy = m_titleStatic->font();
    heavy.setWeight(QFont::Black);
    m_titleStatic->setFont(heavy);
    m_linkMail->SetTarget(Strings::AuthorMail, true);
    m_linkHome->SetTarget(Strings::HomePage, true);
    m_linkVendor->SetTarget(Strings::VendorSite, true);
}

void CAboutDialog::SetAboutText(const QString& text) {
    m_aboutText = text;
    m_titleStatic->setText(m_aboutText);
}

void CAboutDialog::CreateControls() {
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(DialogUnitsToPixels(QSize(236, 191), font()));

    m_linkHome =
        CreateLink(QStringLiteral("homeLink1000"), Strings::HomePage, QRect(15, 57, 206, 8));
    m_titleStatic = CreateStatic(QStringLiteral("..."), QRect(15, 77, 206, 23));
    m_titleStatic->setObjectName(QStringLiteral("title1033"));
    QLabel* note = CreateStatic(kNote, QRect(15, 127, 206, 18));
    note->setObjectName(QStringLiteral("note"));
    m_linkVendor = CreateLink(QStringLiteral("vendorLink1002"), QStringLiteral("Contact Oracle"),
                              QRect(15, 147, 206, 8));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    Place(ok, QRect(85, 170, 61, 14));
    connect(ok, &QPushButton::clicked, this, &CAboutDialog::accept);

    CreateLogo();
    m_linkMail =
        CreateLink(QStringLiteral("mailLink1001"), Strings::Copyright, QRect(15, 105, 206, 8));

    // Last in the template, so beneath the texts it frames.
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("groupBox"));
    Place(frame, QRect(7, 65, 222, 95));
    frame->lower();

    MakeRoomForNote(note, {m_linkVendor, ok}, frame);
    ok->setFocus();
}

void CAboutDialog::MakeRoomForNote(QLabel* note, const QList<QWidget*>& below, QWidget* frame) {
    const int extra = note->heightForWidth(note->width()) - note->height();
    if (extra <= 0) {
        return;
    }
    note->resize(note->width(), note->height() + extra);
    for (QWidget* control : below) {
        control->move(control->x(), control->y() + extra);
    }
    frame->resize(frame->width(), frame->height() + extra);
    setFixedSize(width(), height() + extra);
}

void CAboutDialog::Place(QWidget* control, const QRect& units) const {
    control->setGeometry(DialogUnitsToPixels(units, font()));
}

CUrlLabel* CAboutDialog::CreateLink(const QString& name, const QString& text, const QRect& units) {
    auto* link = new CUrlLabel(text, this);
    link->setObjectName(name);
    link->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Place(link, units);
    return link;
}

QLabel* CAboutDialog::CreateStatic(const QString& text, const QRect& units) {
    auto* label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    Place(label, units);
    return label;
}

void CAboutDialog::CreateLogo() {
    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("logo1006"));
    logo->setFrameStyle(QFrame::WinPanel | QFrame::Raised);
    logo->setPixmap(QPixmap(QStringLiteral(":/images/logo.png")));
    // A picture control takes its picture's size; kept centred on its template box.
    const QRect box = DialogUnitsToPixels(QRect(55, 5, 124, 53), font());
    const QSize size = logo->sizeHint();
    logo->setGeometry(box.left() + (box.width() - size.width()) / 2, box.top(), size.width(),
                      size.height());
}
