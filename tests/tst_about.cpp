// The about box and its link labels: colours by state, opening an address and explaining a
// failure, the registered-browser fallback, fitting to the text, and the About command.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "Strings.h"
#include "dialogs/AboutDialog.h"
#include "frame/MainFrame.h"
#include "frame/NimbraApp.h"
#include "widgets/BrowserCommand.h"
#include "widgets/CommandIds.h"
#include "widgets/DialogUnits.h"
#include "widgets/MessageBox.h"
#include "widgets/UrlLabel.h"
#include "widgets/UrlLauncher.h"

namespace {
const QString kAddress = QStringLiteral("https://nimbra.velmoor.example/");
const QColor kLink(0, 0, 238);
const QColor kVisited(85, 26, 139);

// The commonest colour other than the background: the pen of the glyphs' inner pixels.
QColor textColour(QWidget* widget) {
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb background = widget->palette().color(QPalette::Window).rgba();
    QHash<QRgb, int> counts;
    QRgb commonest = background;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (pixel != background && ++counts[pixel] > counts.value(commonest)) {
                commonest = pixel;
            }
        }
    }
    return QColor::fromRgba(commonest);
}

void moveMouse(QWidget* widget, QPoint to) {
    QMouseEvent move(QEvent::MouseMove, to, widget->mapToGlobal(to), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// Notes its beeps in the list that also takes the messages.
class RecordingLabel : public CUrlLabel {
public:
    RecordingLabel(QStringList* events, QWidget* parent)
        : CUrlLabel(kAddress, parent), m_events(events) {}

protected:
    void Beep() override { *m_events << QStringLiteral("beep"); }

private:
    QStringList* m_events;
};

bool writeFile(const QString& path, const QByteArray& text, bool executable) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() &&
           (!executable || file.setPermissions(file.permissions() | QFile::ExeOwner));
}
}  // namespace

class tst_AboutBox : public QObject {
    Q_OBJECT

private:
    // An attached label in a shown window.
    RecordingLabel* shownLabel() {
        m_host = std::make_unique<QWidget>();
        auto* label = new RecordingLabel(&m_events, m_host.get());
        label->setGeometry(10, 10, 300, 30);
        label->Attach();
        m_host->show();
        return label;
    }

    std::unique_ptr<QWidget> m_host;
    QStringList m_events;
    QList<QWidget*> m_topLevelsBefore;
    QHash<QByteArray, QByteArray> m_environment;  // as it was before browserFallback

private slots:
    void init() {
        m_events.clear();
        SetMessageBoxHandler([this](const QString& text, MsgButtons buttons, MsgIcon icon) {
            const bool exclamation = buttons == MsgButtons::Ok && icon == MsgIcon::Warning;
            m_events << (exclamation ? text : "not an exclamation box: " + text);
            return IDOK;
        });
        m_topLevelsBefore = QApplication::topLevelWidgets();
    }

    void cleanup() {
        qDeleteAll(findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly));
        m_host.reset();
        SetMessageBoxHandler({});
        SetAddressOpener({});
        for (auto it = m_environment.cbegin(); it != m_environment.cend(); ++it) {
            it.value().isNull() ? qunsetenv(it.key().constData())
                                : qputenv(it.key().constData(), it.value());
        }
        m_environment.clear();
        QStringList leaked;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (!m_topLevelsBefore.contains(widget)) {
                leaked << widget->metaObject()->className();
                delete widget;
            }
        }
        QVERIFY2(leaked.isEmpty(), qPrintable("leaked windows: " + leaked.join(", ")));
    }

    void colours_data() {
        QTest::addColumn<bool>("visited");
        QTest::addColumn<bool>("pointedAt");
        QTest::addColumn<QColor>("colour");
        const QColor hot = QApplication::palette().color(QPalette::Highlight);
        QTest::newRow("link") << false << false << kLink;
        QTest::newRow("visited") << true << false << kVisited;
        QTest::newRow("pointed at") << false << true << hot;
        QTest::newRow("pointed at, visited") << true << true << hot;
    }

    // Pointing turns the label hot at once and holds the mouse until a move outside it.
    void colours() {
        QFETCH(bool, visited);
        QFETCH(bool, pointedAt);
        QFETCH(QColor, colour);
        CUrlLabel* label = shownLabel();
        label->MarkVisited(visited);
        if (pointedAt) {
            moveMouse(label, QPoint(2, 2));
            moveMouse(label, QPoint(label->width() - 1, label->height() - 1));
        }
        QCOMPARE(textColour(label), colour);
        QCOMPARE(QWidget::mouseGrabber(), pointedAt ? label : nullptr);
        moveMouse(label, QPoint(label->width() + 5, 2));
        QCOMPARE(textColour(label), visited ? kVisited : kLink);
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }

    void click_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("explanation");  // empty: opened
        QTest::newRow("opened") << 33 << "";
        QTest::newRow("0") << 0 << "The operating system is out\nof memory or resources.";
        QTest::newRow("26 with its trailing space") << 26 << "A sharing violation occurred. ";
        QTest::newRow("31") << 31
                            << "There is no application associated\nwith the given filename "
                               "extension.";
        QTest::newRow("4 has no row") << 4 << "Unknown Error (4) occurred.";
    }

    // Each click follows a successful one: a failure clears the visited state, beeps, explains.
    void click() {
        QFETCH(int, result);
        QFETCH(QString, explanation);
        CUrlLabel* label = shownLabel();
        label->SetTarget(Strings::AuthorMail, true);
        QList<int> results{OpenResult::Opened, result};
        QStringList opened;
        SetAddressOpener([&](const QString& address) {
            opened << address;
            return results.takeFirst();
        });
        QTest::mouseClick(label, Qt::LeftButton);
        QVERIFY(label->IsVisited());
        QTest::mouseClick(label, Qt::LeftButton);
        QCOMPARE(opened, QStringList(2, Strings::AuthorMail));
        QCOMPARE(m_events,
                 explanation.isEmpty()
                     ? QStringList()
                     : QStringList({"beep", "Unable to open hyperlink:\n\n" + explanation}));
        QCOMPARE(textColour(label), explanation.isEmpty() ? kVisited : kLink);
    }

    void browserCommandLine_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("line");
        QTest::newRow("quoted %1") << R"("C:\Web\web.exe" -nohome "%1" -new)"
                                   << R"("C:\Web\web.exe" -nohome  )" + kAddress;
        QTest::newRow("bare %1") << "web.exe %1 -new"
                                 << "web.exe  " + kAddress;
        QTest::newRow("none") << "web.exe -new"
                              << "web.exe -new " + kAddress;
        QTest::newRow("%u") << "firefox-esr %u"
                            << "firefox-esr  " + kAddress;
        QTest::newRow("quoted %U") << R"(web "a b" "%U")"
                                   << R"(web "a b"  )" + kAddress;
        QTest::newRow("earliest of %F, %f") << "web %F %f"
                                            << "web  " + kAddress;
        QTest::newRow("quoted before bare") << R"(web %f "%1")"
                                            << "web %f  " + kAddress;
    }

    void browserCommandLine() {
        QFETCH(QString, command);
        QFETCH(QString, line);
        QCOMPARE(BrowserCommandLine(command, kAddress), line);
    }

    void browserFallback_data() {
        QTest::addColumn<QString>("browser");  // null: unset; {bin} is the only folder on PATH
        QTest::addColumn<QString>("html");     // null: no xdg-mime; else the desktop id it gives
        QTest::addColumn<int>("result");
        QTest::newRow("$BROWSER started") << "{bin}/ok" << QString() << 33;
        QTest::newRow("$BROWSER's first entry") << "/nonexistent/web:{bin}/ok" << QString() << 2;
        QTest::newRow("$BROWSER not executable") << "{bin}/plain" << QString() << 5;
        QTest::newRow("$BROWSER along PATH") << "ok" << QString() << 33;
        QTest::newRow("no handler: the first code") << QString() << QString() << 31;
        QTest::newRow("text/html handler's Exec") << QString() << "web.desktop" << 2;
    }

    // Starts no browser: the programs are missing or tiny scripts.
    void browserFallback() {
        QFETCH(QString, browser);
        QFETCH(QString, html);
        QFETCH(int, result);
        QTemporaryDir root;
        const QString bin = root.filePath("bin");
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(root.filePath("share/applications")));
        QVERIFY(writeFile(bin + "/ok", "#!/bin/sh\n", true));
        QVERIFY(writeFile(bin + "/plain", "#!/bin/sh\n", false));
        QVERIFY(writeFile(root.filePath("share/applications/web.desktop"),
                          "[Desktop Entry]\nName=Web\nExec=/nonexistent/web %u\n", false));
        if (!html.isNull()) {
            QVERIFY(writeFile(bin + "/xdg-mime", "#!/bin/sh\necho " + html.toUtf8() + "\n", true));
        }
        const QHash<QByteArray, QString> variables = {{"PATH", bin},
                                                      {"BROWSER", browser.replace("{bin}", bin)},
                                                      {"XDG_DATA_HOME", root.filePath("share")},
                                                      {"XDG_DATA_DIRS", root.filePath("none")}};
        for (auto it = variables.cbegin(); it != variables.cend(); ++it) {
            m_environment.insert(it.key(), qgetenv(it.key().constData()));
            it.value().isNull() ? qunsetenv(it.key().constData())
                                : qputenv(it.key().constData(), it.value().toLocal8Bit());
        }
        QCOMPARE(OpenWithBrowserCommand(kAddress, OpenResult::NoAssociation), result);
    }

    void emptyTextOrTarget_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("target");
        QTest::newRow("empty text takes the target") << ""
                                                     << "https://a.example/";
        QTest::newRow("empty target takes the text") << "https://b.example/"
                                                     << "";
    }

    void emptyTextOrTarget() {
        QFETCH(QString, text);
        QFETCH(QString, target);
        CUrlLabel label(text);
        if (!target.isEmpty()) {
            label.SetTarget(target, true);
        }
        label.Attach();
        const QString shown = text + target;
        QCOMPARE(QStringList({label.text(), label.Target(), label.toolTip()}),
                 QStringList({shown, shown, shown}));
        QVERIFY(label.font().underline());
        QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
    }

    void centredLabelWiderThanItsBoxGrowsEquallyAndKeepsItsTop() {
        CUrlLabel label("https://a.rather.long.address.example/with/a/path");
        label.setAlignment(Qt::AlignHCenter);
        const QRect box(100, 40, 60, 40);
        label.setGeometry(box);
        label.Attach();
        const QRect fitted = label.geometry();
        QVERIFY(fitted.width() > box.width());
        QCOMPARE(box.left() - fitted.left(), fitted.right() - box.right());
        QCOMPARE(fitted.top(), box.top());
        QCOMPARE(fitted.height(), label.fontMetrics().size(0, label.text()).height());
    }

    void links_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("units");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("target");
        QTest::newRow("home page")
            << "homeLink1000" << QRect(15, 57, 206, 8) << Strings::HomePage << Strings::HomePage;
        QTest::newRow("author") << "mailLink1001" << QRect(15, 105, 206, 8) << "\u00A9 2026 Velmoor"
                                << "mailto:nimbra@velmoor.example";
        QTest::newRow("vendor") << "vendorLink1002" << QRect(15, 147, 206, 8) << "Contact Oracle"
                                << Strings::VendorSite;
    }

    // Each link shows its text, tips its address and shrinks to its text on its template box.
    void links() {
        QFETCH(QString, name);
        QFETCH(QRect, units);
        QFETCH(QString, text);
        QFETCH(QString, target);
        CAboutDialog dialog;
        auto* link = dialog.findChild<CUrlLabel*>(name);
        QVERIFY(link);
        QCOMPARE(QStringList({link->text(), link->Target(), link->toolTip()}),
                 QStringList({text, target, target}));
        const QRect box = DialogUnitsToPixels(units, dialog.font());
        const QRect fitted = link->geometry();
        QVERIFY(fitted.width() < box.width());
        QCOMPARE(fitted.left() - box.left(), box.right() - fitted.right());
    }

    // Two heavy lines, and the note whole above the vendor link however wide the font.
    void titleAndNote() {
        CAboutDialog dialog;
        dialog.SetAboutText(Strings::TemplateString);
        auto* title = dialog.findChild<QLabel*>("title1033");
        QCOMPARE(title->text(), QString("Nimbra - Oracle Sessions\nVersion 1.2.0"));
        QVERIFY(title->font().weight() > dialog.font().weight());
        QVERIFY(title->height() >= 2 * QFontMetrics(title->font()).lineSpacing());
        auto* note = dialog.findChild<QLabel*>("note");
        QVERIFY(note->heightForWidth(note->width()) <= note->height());
        QVERIFY(note->geometry().bottom() < dialog.findChild<QWidget*>("vendorLink1002")->y());
        QVERIFY(dialog.findChild<QWidget*>("okButton")->geometry().bottom() < dialog.height());
    }

    void aboutCommandShowsTheBoxOverTheMainWindow() {
        CMainFrame frame;
        frame.show();
        connect(&frame, &CMainFrame::aboutRequested, qobject_cast<CNimbraApp*>(qApp),
                &CNimbraApp::OnAppAbout);
        QStringList seen;
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<CAboutDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) {
                return;
            }
            poll->stop();
            const QPixmap logo = dialog->findChild<QLabel*>("logo1006")->pixmap();
            seen << dialog->windowTitle()
                 << (dialog->parentWidget() == &frame ? "over the main window" : "not owned")
                 << dialog->findChild<QLabel*>("title1033")->text()
                 << dialog->focusWidget()->objectName()
                 << QString("logo %1x%2").arg(logo.width()).arg(logo.height());
            QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
        });
        poll->start(5);
        frame.Action(CommandId::About)->trigger();
        QCOMPARE(seen, QStringList({"About", "over the main window", Strings::TemplateString,
                                    "okButton", "logo 180x70"}));
    }

    // The window shows the pictures the desktop entry installs, at each of their sizes, and
    // names that entry, so that the desktop matches the window to it.
    void windowCarriesTheDesktopEntrysIcon() {
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral(NIMBRA_APP_ID));
        const QIcon icon = CMainFrame().windowIcon();
        const QFileInfoList pictures = QDir(NIMBRA_ICON_DIR).entryInfoList({"nimbra-*.png"});
        QCOMPARE(pictures.size(), 8);
        // A pixmap holds premultiplied colours: compare both sides in that form.
        constexpr QImage::Format kPixmapFormat = QImage::Format_ARGB32_Premultiplied;
        for (const QFileInfo& picture : pictures) {
            const QImage installed = QImage(picture.filePath()).convertToFormat(kPixmapFormat);
            QCOMPARE(icon.pixmap(installed.size()).toImage().convertToFormat(kPixmapFormat),
                     installed);
        }
    }
};

int main(int argc, char** argv) {
    // The application object whose About handler the main frame reaches.
    CNimbraApp app(argc, argv);
    tst_AboutBox test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_about.moc"
