// The full-row list: its model's list-control operations, and rows painted as one band checked
// on the pixels of a shown, focused window.

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "list/ListModel.h"
#include "list/ListViewEx.h"

namespace {
const QString kBlock = QStringLiteral("\u2588");
enum Column { kLabel, kRight, kCentre, kLeft };

class CountingView : public CListViewEx {
public:
    using CListViewEx::CListViewEx;
    int invalidations = 0;

protected:
    void InvalidateSelectedRows() override {
        ++invalidations;
        CListViewEx::InvalidateSelectedRows();
    }
};

// A shown, active window: the list, narrower in its columns than the view, and a line edit
// that holds the focus until a test gives it to the list. Glyphs come out in the pen's colour.
struct ListWindow {
    QWidget window;
    CountingView* view = new CountingView(&window);
    QLineEdit* other = new QLineEdit(&window);
    CListModel* model = new CListModel(view);

    explicit ListWindow(int rows) {
        window.resize(400, 200);
        view->setGeometry(0, 0, 400, 150);
        other->setGeometry(0, 160, 100, 20);
        QFont font(QStringLiteral("DejaVu Sans"), 10);
        font.setStyleStrategy(QFont::NoAntialias);
        view->setFont(font);
        // An inactive selection colour of its own, to tell the two selections apart.
        QPalette colours = view->palette();
        colours.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0x90, 0x90, 0x90));
        colours.setColor(QPalette::Inactive, QPalette::HighlightedText, QColor(0x20, 0x20, 0x20));
        view->setPalette(colours);
        view->setModel(model);
        for (const auto& [column, heading, alignment, width] :
             {std::tuple{kLabel, "Name", Qt::AlignLeft, 80},
              std::tuple{kRight, "Sid", Qt::AlignRight, 70},
              std::tuple{kCentre, "Status", Qt::AlignHCenter, 90},
              std::tuple{kLeft, "Program", Qt::AlignLeft, 90}}) {
            model->InsertColumn(column, QString::fromLatin1(heading), alignment);
            view->header()->resizeSection(column, width);
        }
        for (int row = 0; row < rows; ++row) {
            model->InsertItem(row, QString());
        }
        other->setFocus();
        window.show();
        QApplication::setActiveWindow(&window);
    }
    bool Ready() { return QTest::qWaitForWindowActive(&window); }
    void Select(int row) {
        view->selectionModel()->select(model->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QRect Cell(int row, int column) const { return view->visualRect(model->index(row, column)); }
    int Inset() const { return 2 * QFontMetrics(view->font()).horizontalAdvance(' '); }
    int Right() const { return view->viewport()->width() - 1; }
    QColor Colour(QPalette::ColorRole role, QPalette::ColorGroup group = QPalette::Active) const {
        return view->palette().color(group, role);
    }
    // What the painting code draws now, and what the window shows after the last paints.
    QImage Drawn() const { return view->viewport()->grab().toImage(); }
    QImage Shown() const {
        const QRect area(view->viewport()->mapTo(&window, QPoint()), view->viewport()->size());
        return window.screen()
            ->grabWindow(window.winId(), area.x(), area.y(), area.width(), area.height())
            .toImage();
    }
};

// First and last x in area whose pixels differ from the background; (-1, -1) when none.
QPair<int, int> InkSpan(const QImage& image, const QRect& area, const QColor& background) {
    QPair<int, int> span{-1, -1};
    for (int x = area.left(); x <= area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (image.pixelColor(x, y) != background) {
                span = {span.first < 0 ? x : span.first, x};
                break;
            }
        }
    }
    return span;
}

bool Contains(const QImage& image, const QRect& area, const QColor& colour) {
    for (int x = area.left(); x <= area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (image.pixelColor(x, y) == colour) {
                return true;
            }
        }
    }
    return false;
}
}  // namespace

class tst_ListViewEx : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

    void insertItem_data();
    void insertItem();
    void itemText_data();
    void itemText();
    void replaceRows_data();
    void replaceRows();
    void clickSelectsAndNothingEdits();
    void getNextItem();
    void hitTest();
    void band_data();
    void band();
    void focusFrame_data();
    void focusFrame();
    void cellText_data();
    void cellText();
    void longTextEndsInEllipsis();
    void cutTextShowsAsToolTipAndFits();
    void deselectedRowLeavesNoStaleStrip();
    void focusChangeRepaintsAtOnce();
};

void tst_ListViewEx::insertItem_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("append") << 2 << 2 << QStringList{"a", "b", "new"};
    QTest::newRow("front") << 0 << 0 << QStringList{"new", "a", "b"};
    QTest::newRow("middle") << 1 << 1 << QStringList{"a", "new", "b"};
    QTest::newRow("past the end") << 3 << -1 << QStringList{"a", "b"};
    QTest::newRow("negative") << -1 << -1 << QStringList{"a", "b"};
}

void tst_ListViewEx::insertItem() {
    QFETCH(int, index);
    QFETCH(int, result);
    QFETCH(QStringList, items);
    CListModel model;
    model.InsertColumn(0, QStringLiteral("Name"), Qt::AlignLeft);
    model.InsertColumn(1, QStringLiteral("Sid"), Qt::AlignLeft);
    model.InsertItem(0, QStringLiteral("a"));
    model.InsertItem(1, QStringLiteral("b"));
    model.SetItemText(1, 1, QStringLiteral("b1"));
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

    QCOMPARE(model.InsertItem(index, QStringLiteral("new")), result);
    QStringList texts;
    for (int row = 0; row < model.GetItemCount(); ++row) {
        texts << model.GetItemText(row, 0);
    }
    QCOMPARE(texts, items);
    QCOMPARE(model.GetItemText(items.indexOf("b"), 1), QStringLiteral("b1"));
    QCOMPARE(model.GetItemText(items.indexOf("new"), 1), QString());
    QCOMPARE(inserted.size(), result < 0 ? 0 : 1);
}

void tst_ListViewEx::itemText_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("subItem");
    QTest::addColumn<bool>("exists");
    QTest::newRow("item text") << 0 << 0 << true;
    QTest::newRow("last sub-item") << 1 << 2 << true;
    QTest::newRow("sub-item past the columns") << 0 << 3 << false;
    QTest::newRow("row past the end") << 2 << 0 << false;
    QTest::newRow("negative row") << -1 << 0 << false;
    QTest::newRow("negative sub-item") << 0 << -1 << false;
}

void tst_ListViewEx::itemText() {
    QFETCH(int, item);
    QFETCH(int, subItem);
    QFETCH(bool, exists);
    CListModel model;
    for (int column = 0; column < 3; ++column) {
        model.InsertColumn(column, QString::number(column), Qt::AlignLeft);
    }
    model.InsertItem(0, QString());
    model.InsertItem(1, QString());
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    QCOMPARE(model.SetItemText(item, subItem, QStringLiteral("A&B")), exists);
    QCOMPARE(model.GetItemText(item, subItem), exists ? QStringLiteral("A&B") : QString());
    QCOMPARE(changed.size(), exists ? 1 : 0);
    if (exists) {
        QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(item, subItem));
    }
}

namespace {
// Rows "sid/serial=status" of a three-column list keyed by its first two columns.
std::vector<CListModel::Row> SessionRows(const QStringList& rows) {
    std::vector<CListModel::Row> out;
    for (const QString& row : rows) {
        const QStringList parts = row.split(QRegularExpression("[/=]"));
        out.push_back({parts[0].toStdString(), parts[1].toStdString(), parts[2].toStdString()});
    }
    return out;
}
QStringList Listed(const CListModel& model) {
    QStringList rows;
    for (int row = 0; row < model.GetItemCount(); ++row) {
        rows << model.GetItemText(row, 0) + "/" + model.GetItemText(row, 1) + "=" +
                    model.GetItemText(row, 2);
    }
    return rows;
}
}  // namespace

void tst_ListViewEx::replaceRows_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    // Signals: rows inserted, removed, moved, changed; whether the model was reset instead.
    QTest::addColumn<QList<int>>("announced");
    QTest::addColumn<bool>("reset");
    const QStringList three{"1/10=A", "2/20=A", "3/30=A"};
    QTest::newRow("unchanged") << three << three << QList<int>{0, 0, 0, 0} << false;
    QTest::newRow("a status changed")
        << three << QStringList{"1/10=A", "2/20=B", "3/30=A"} << QList<int>{0, 0, 0, 1} << false;
    QTest::newRow("adjacent changes are one range")
        << three << QStringList{"1/10=B", "2/20=B", "3/30=A"} << QList<int>{0, 0, 0, 1} << false;
    QTest::newRow("a session ended")
        << three << QStringList{"1/10=A", "3/30=A"} << QList<int>{0, 1, 0, 0} << false;
    QTest::newRow("sessions began above")
        << three << QStringList{"0/5=A", "0/6=A", "1/10=A", "2/20=A", "3/30=A"}
        << QList<int>{1, 0, 0, 0} << false;
    QTest::newRow("a SID reused with another serial")
        << three << QStringList{"1/10=A", "2/21=A", "3/30=A"} << QList<int>{1, 1, 0, 0} << false;
    QTest::newRow("every row changed")
        << three << QStringList{"4/40=A", "5/50=A"} << QList<int>{1, 1, 0, 0} << false;
    QTest::newRow("a session moved up")
        << three << QStringList{"3/30=A", "1/10=A", "2/20=A"} << QList<int>{0, 0, 1, 0} << false;
    QTest::newRow("into an empty list")
        << QStringList{} << three << QList<int>{1, 0, 0, 0} << false;
    QTest::newRow("emptied") << three << QStringList{} << QList<int>{0, 1, 0, 0} << false;
    QTest::newRow("a repeated key")
        << three << QStringList{"1/10=A", "9/90=A", "9/90=B"} << QList<int>{0, 0, 0, 0} << true;
    QStringList reversed;
    for (int i = 0; i < 100; ++i) {
        reversed.prepend(QString("%1/%1=A").arg(i));
    }
    QStringList ascending = reversed;
    std::reverse(ascending.begin(), ascending.end());
    QTest::newRow("reordered throughout")
        << reversed << ascending << QList<int>{0, 0, 0, 0} << true;
}

void tst_ListViewEx::replaceRows() {
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QList<int>, announced);
    QFETCH(bool, reset);
    CListModel model;
    for (int column = 0; column < 3; ++column) {
        model.InsertColumn(column, QString::number(column), Qt::AlignLeft);
    }
    model.ReplaceRows(SessionRows(before), {0, 1});
    QCOMPARE(Listed(model), before);
    // Each listed row followed by a persistent index, as the selection follows it.
    std::vector<QPersistentModelIndex> followed;
    for (int row = 0; row < model.GetItemCount(); ++row) {
        followed.emplace_back(model.index(row, 0));
    }
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    QCOMPARE(model.ReplaceRows(SessionRows(after), {0, 1}), !reset);

    QCOMPARE(Listed(model), after);
    QCOMPARE(resets.size(), reset ? 1 : 0);
    if (reset) {
        return;
    }
    QCOMPARE((QList<int>{int(inserted.size()), int(removed.size()), int(moved.size()),
                         int(changed.size())}),
             announced);
    for (std::size_t i = 0; i < followed.size(); ++i) {
        const QString key = before[int(i)].section('=', 0, 0);
        const int now =
            int(std::find_if(after.begin(), after.end(),
                             [&](const QString& row) { return row.section('=', 0, 0) == key; }) -
                after.begin());
        QCOMPARE(followed[i].isValid() ? followed[i].row() : int(after.size()), now);
    }
}

// A click on a cell of a selected row narrows the selection to that row, as on any other cell;
// neither the click nor F2 opens an editor.
void tst_ListViewEx::clickSelectsAndNothingEdits() {
    ListWindow list(3);
    QVERIFY(list.Ready());
    list.model->SetItemText(1, kLabel, QStringLiteral("scott"));
    list.view->setFocus();
    const auto rows = QItemSelectionModel::Select | QItemSelectionModel::Rows;
    list.view->selectionModel()->select(list.model->index(0, 0), rows);
    list.view->selectionModel()->select(list.model->index(1, 0), rows);
    list.view->setCurrentIndex(list.model->index(1, kLabel));
    list.view->selectionModel()->select(list.model->index(0, 0), rows);

    const QPoint label = list.view->visualRect(list.model->index(1, kLabel)).center();
    QTest::mouseClick(list.view->viewport(), Qt::LeftButton, {}, label);
    // A second click, after the double-click interval, is what used to open the editor.
    QTest::mouseClick(list.view->viewport(), Qt::LeftButton, {}, label, 1000);
    QTest::keyClick(list.view, Qt::Key_F2);
    QCoreApplication::processEvents();

    QCOMPARE(QApplication::focusWidget(), list.view);
    QCOMPARE(list.view->SelectedItems(), std::vector<int>{1});
    QCOMPARE(list.model->GetItemText(1, kLabel), QStringLiteral("scott"));
}

void tst_ListViewEx::getNextItem() {
    ListWindow list(5);
    const auto rows = QItemSelectionModel::Select | QItemSelectionModel::Rows;
    list.view->selectionModel()->select(list.model->index(3, 0), rows);
    list.view->selectionModel()->select(list.model->index(1, 0), rows);
    list.view->selectionModel()->setCurrentIndex(list.model->index(2, 0),
                                                 QItemSelectionModel::NoUpdate);

    QCOMPARE(list.view->GetNextItem(-1, CListViewEx::Selected), 1);
    QCOMPARE(list.view->GetNextItem(1, CListViewEx::Selected), 3);
    QCOMPARE(list.view->GetNextItem(3, CListViewEx::Selected), -1);
    QCOMPARE(list.view->GetNextItem(-1, CListViewEx::Focused), 2);
    QCOMPARE(list.view->GetNextItem(2, CListViewEx::Focused), -1);
}

void tst_ListViewEx::hitTest() {
    ListWindow list(3);
    const QRect first = list.Cell(0, kLabel);
    const QRect last = list.Cell(2, kLabel);
    QCOMPARE(list.view->HitTest(first.center()), 0);
    QCOMPARE(list.view->HitTest(QPoint(list.Right() - 2, last.center().y())), 2);
    QCOMPARE(list.view->HitTest(last.center() + QPoint(0, last.height())), -1);
}

void tst_ListViewEx::band_data() {
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("dropTarget");
    QTest::addColumn<bool>("highlighted");
    QTest::addColumn<int>("group");
    QTest::newRow("selected, with focus") << true << true << false << true << int(QPalette::Active);
    // The selection stays in sight while a menu, a question or a sheet has the focus.
    QTest::newRow("selected, without focus")
        << false << true << false << true << int(QPalette::Inactive);
    QTest::newRow("drop target, without focus")
        << false << false << true << true << int(QPalette::Active);
    QTest::newRow("unselected, with focus")
        << true << false << false << false << int(QPalette::Active);
}

void tst_ListViewEx::band() {
    QFETCH(bool, focused);
    QFETCH(bool, selected);
    QFETCH(bool, dropTarget);
    QFETCH(bool, highlighted);
    QFETCH(int, group);
    ListWindow list(3);
    QVERIFY(list.Ready());
    for (int column = kLabel; column <= kLeft; ++column) {
        list.model->SetItemText(1, column, kBlock);
    }
    (focused ? static_cast<QWidget*>(list.view) : list.other)->setFocus();
    list.view->selectionModel()->setCurrentIndex(list.model->index(0, 0),
                                                 QItemSelectionModel::NoUpdate);
    if (selected) {
        list.Select(1);
    }
    list.view->SetDropHighlighted(1, dropTarget);

    const QImage image = list.Drawn();
    const auto colourGroup = QPalette::ColorGroup(group);
    const QColor fill =
        list.Colour(highlighted ? QPalette::Highlight : QPalette::Base, colourGroup);
    const QColor text =
        list.Colour(highlighted ? QPalette::HighlightedText : QPalette::Text, colourGroup);
    const int y = list.Cell(1, kLabel).center().y();
    for (int x : {list.Cell(1, kLabel).left(), list.Cell(1, kRight).left() + 1, list.Right()}) {
        QCOMPARE(image.pixelColor(x, y), fill);
    }
    for (int column = kLabel; column <= kLeft; ++column) {
        QVERIFY2(Contains(image, list.Cell(1, column), text), qPrintable(QString::number(column)));
    }
}

void tst_ListViewEx::focusFrame_data() {
    QTest::addColumn<bool>("focused");
    QTest::newRow("with focus") << true;
    QTest::newRow("without focus") << false;
}

void tst_ListViewEx::focusFrame() {
    QFETCH(bool, focused);
    ListWindow list(2);
    QVERIFY(list.Ready());
    (focused ? static_cast<QWidget*>(list.view) : list.other)->setFocus();
    list.view->setCurrentIndex(list.model->index(0, 0));

    const QImage image = list.Drawn();
    const QRect row = list.Cell(0, kLabel);
    const QColor fill = image.pixelColor(row.center());
    // Neighbouring pixels on the band's edges: a dotted frame marks one of each pair.
    const QList<QPoint> edges{{row.left(), row.top() + 1},
                              {row.left(), row.top() + 2},
                              {40, row.top()},
                              {41, row.top()},
                              {300, row.bottom()},
                              {301, row.bottom()},
                              {list.Right(), row.top() + 1},
                              {list.Right(), row.top() + 2}};
    int dots = 0;
    for (const QPoint& point : edges) {
        dots += image.pixelColor(point) != fill ? 1 : 0;
    }
    QCOMPARE(dots, focused ? 4 : 0);
}

void tst_ListViewEx::cellText_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("insets");  // where the ink starts, in half-insets from the cell's left
    QTest::addColumn<int>("alignment");
    const QString blocks = kBlock + kBlock;
    QTest::newRow("label: one space in") << int(kLabel) << blocks << 1 << int(Qt::AlignLeft);
    QTest::newRow("left-aligned: two spaces in") << int(kLeft) << blocks << 2 << int(Qt::AlignLeft);
    QTest::newRow("right-aligned: two spaces from the right")
        << int(kRight) << blocks << 2 << int(Qt::AlignRight);
    QTest::newRow("centred between the insets")
        << int(kCentre) << blocks << 2 << int(Qt::AlignHCenter);
    QTest::newRow("\"&\" drawn as itself")
        << int(kLeft) << kBlock + QStringLiteral("&") + kBlock << 2 << int(Qt::AlignLeft);
}

void tst_ListViewEx::cellText() {
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(int, insets);
    QFETCH(int, alignment);
    ListWindow list(1);
    list.model->SetItemText(0, column, text);
    const QRect cell = list.Cell(0, column);
    const int inset = list.Inset();
    const int width = QFontMetrics(list.view->font()).horizontalAdvance(text);
    const int room = cell.width() - inset * insets / 2 - inset;
    const int offset =
        alignment == Qt::AlignLeft ? 0 : (room - width) / (alignment == Qt::AlignRight ? 1 : 2);
    const int left = cell.left() + inset * insets / 2 + offset;

    // Glyphs stand at fractional positions: the ink may be a pixel off the advance.
    const auto [inkLeft, inkRight] = InkSpan(list.Drawn(), cell, list.Colour(QPalette::Base));
    QVERIFY2(qAbs(inkLeft - left) <= 1, qPrintable(QString::number(inkLeft)));
    QVERIFY2(qAbs(inkRight - (left + width - 1)) <= 1, qPrintable(QString::number(inkRight)));
}

void tst_ListViewEx::longTextEndsInEllipsis() {
    ListWindow list(1);
    list.model->SetItemText(0, kLeft, kBlock.repeated(30));
    const QRect cell = list.Cell(0, kLeft);
    const QImage image = list.Drawn();
    const QColor base = list.Colour(QPalette::Base);

    const int inkRight = InkSpan(image, cell, base).second;
    QVERIFY(inkRight <= cell.right() - list.Inset());
    // The blocks stop short of the ink's end; the low dots of the ellipsis follow them.
    const QRect middle(cell.left(), cell.center().y(), cell.width(), 1);
    QVERIFY(InkSpan(image, middle, base).second < inkRight - 3);
}

void tst_ListViewEx::cutTextShowsAsToolTipAndFits() {
    ListWindow list(2);
    QVERIFY(list.Ready());
    const QString program = QStringLiteral("java@order-svc-5d8f7c9b4-qz7lp (TNS V1-V3)");
    list.model->SetItemText(0, kLeft, program);
    list.model->SetItemText(1, kLeft, QStringLiteral("two\twords"));
    const auto tipAt = [&](int row) {
        const QPoint at = list.Cell(row, kLeft).center();
        QHelpEvent help(QEvent::ToolTip, at, list.view->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(list.view->viewport(), &help);
        return help.isAccepted() ? QToolTip::text() : QString();
    };
    QCOMPARE(tipAt(0), program);
    QCOMPARE(tipAt(1), QString());
    // A tab shows as a blank, never joining the words.
    QCOMPARE(list.model->DisplayText(1, kLeft), QStringLiteral("two words"));

    // Fitted to its contents (a double click on the divider), the column cuts nothing.
    list.view->resizeColumnToContents(kLeft);
    QCOMPARE(list.view->columnWidth(kLeft),
             QFontMetrics(list.view->font()).horizontalAdvance(program) + 2 * list.Inset());
    QCOMPARE(tipAt(0), QString());
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_ListViewEx::deselectedRowLeavesNoStaleStrip() {
    ListWindow list(3);
    QVERIFY(list.Ready());
    list.view->setFocus();
    list.view->selectionModel()->setCurrentIndex(list.model->index(2, 0),
                                                 QItemSelectionModel::NoUpdate);
    list.Select(0);
    QCoreApplication::processEvents();
    const int y0 = list.Cell(0, kLabel).center().y();
    QCOMPARE(list.Shown().pixelColor(list.Right(), y0), list.Colour(QPalette::Highlight));

    list.view->selectionModel()->select(
        list.model->index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QCoreApplication::processEvents();
    const QImage shown = list.Shown();
    QCOMPARE(shown.pixelColor(list.Right(), y0), list.Colour(QPalette::Base));
    QCOMPARE(shown.pixelColor(list.Right(), list.Cell(1, kLabel).center().y()),
             list.Colour(QPalette::Highlight));
}

void tst_ListViewEx::focusChangeRepaintsAtOnce() {
    ListWindow list(3);
    QVERIFY(list.Ready());
    list.view->setFocus();
    list.Select(1);
    QCoreApplication::processEvents();
    const QPoint strip(list.Right(), list.Cell(1, kLabel).center().y());
    list.view->invalidations = 0;

    // No events are processed between the focus change and the look at the window.
    list.other->setFocus();
    QCOMPARE(list.Shown().pixelColor(strip), list.Colour(QPalette::Highlight, QPalette::Inactive));
    list.view->setFocus();
    QCOMPARE(list.Shown().pixelColor(strip), list.Colour(QPalette::Highlight));
    QCOMPARE(list.view->invalidations, 2);
}

QTEST_MAIN(tst_ListViewEx)
#include "tst_listview.moc"
