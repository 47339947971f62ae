// The list report's pages, recorded in device units on a 600-dpi surface with 10 mm (236-unit)
// margins.

#include <QPaintEngine>
#include <QPainter>
#include <QSet>
#include <QtTest>
#include <memory>

#include "ListReport.h"
#include "PrintEnvironment.h"
#include "PrintListSource.h"
#include "PrinterContext.h"

namespace {
constexpr int kMargin = 236;

struct Text {
    QString text;
    QPoint topLeft;
    int pixelSize;
    QRect clip;  // null when unclipped
};
struct Page {
    QList<QLine> lines;
    QList<int> penWidths;  // of the lines
    QList<QRect> boxes;
    QList<Text> texts;
    QStringList textsOfSize(int pixelSize) const {
        QStringList found;
        for (const Text& t : texts) {
            if (t.pixelSize == pixelSize) {
                found << t.text;
            }
        }
        return found;
    }
};

class Recorder : public QPaintEngine {
public:
    explicit Recorder(std::vector<Page>& pages) : QPaintEngine(AllFeatures), m_pages(pages) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    Type type() const override { return User; }
    void drawLines(const QLine* lines, int count) override {
        for (int i = 0; i < count; ++i) {
            m_pages.back().lines << lines[i];
            m_pages.back().penWidths << painter()->pen().width();
        }
    }
    void drawRects(const QRect* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            m_pages.back().boxes << rects[i];
        }
    }
    void drawTextItem(const QPointF& baseline, const QTextItem& item) override {
        const QFontMetrics metrics(painter()->font(), painter()->device());
        m_pages.back().texts << Text{
            item.text(), baseline.toPoint() - QPoint(0, metrics.ascent()),
            painter()->font().pixelSize(),
            painter()->hasClipping() ? painter()->clipBoundingRect().toRect() : QRect()};
    }

private:
    std::vector<Page>& m_pages;
};

// A 600-dpi surface, width units between the margins; each page started adds a page to the record.
class Surface : public QPaintDevice, public CPrinterContext {
public:
    Surface(int width, int height) : m_width(width), m_height(height), m_engine(pages) {}
    QPaintEngine* paintEngine() const override { return const_cast<Recorder*>(&m_engine); }
    QPaintDevice& Device() override { return *this; }
    bool StartDoc(const QString& name, const QString& file) override {
        started = true;
        return CPrinterContext::StartDoc(name, file);
    }
    bool StartPage() override {
        pages.emplace_back();
        return CPrinterContext::StartPage();
    }
    int metric(PaintDeviceMetric m) const override {
        const bool dpi = m >= PdmDpiX && m <= PdmPhysicalDpiY;
        return m == PdmWidth                    ? m_width + 2 * kMargin
               : m == PdmHeight                 ? m_height
               : dpi                            ? 600
               : m == PdmDevicePixelRatioScaled ? static_cast<int>(devicePixelRatioFScale())
                                                : 1;
    }
    std::vector<Page> pages;
    bool started = false;

private:
    int m_width;
    int m_height;
    Recorder m_engine;
};

// Answers the print dialog with the surface and a page range (from 0: all pages).
class Environment : public CPrintEnvironment {
public:
    CPrinterContext* RunPrintDialog(CPrintInfo& info, QWidget*) override {
        ++dialogs;
        if (from != 0) {
            info.m_nFromPage = static_cast<quint16>(from);
            info.m_nToPage = static_cast<quint16>(to);
        }
        return surface;
    }
    QString AskOutputFileName(QWidget*, const QString&) override { return {}; }
    Surface* surface = nullptr;
    int from = 0;
    int to = 0;
    int dialogs = 0;
};

// Columns of the given widths on screen (-1: cannot be read), headed H0, H1, ...; cells "r.c".
class List : public PrintListSource {
public:
    List(QList<int> widths, int rows) : widths(widths), rows(rows) {}
    int RowCount() const override { return rows; }
    int ColumnCount() const override { return static_cast<int>(widths.size()); }
    bool GetColumn(int column, PrintListColumn& out) const override {
        if (widths[column] < 0) {
            return false;
        }
        out = {heading.isNull() ? QString("H%1").arg(column) : heading, widths[column], alignment};
        return true;
    }
    QString CellText(int row, int column) const override {
        return cell.isNull() ? QString("%1.%2").arg(row).arg(column) : cell;
    }
    QList<int> widths;
    int rows;
    QString heading;  // for every column, when set
    QString cell;     // for every cell, when set
    Qt::Alignment alignment = Qt::AlignLeft;
};

QFontMetrics metricsOf(int pixelSize, QPaintDevice& device) {
    QFont font("Arial");
    font.setPixelSize(pixelSize);
    font.setKerning(false);
    return QFontMetrics(font, &device);
}

}  // namespace

class tst_ListReport : public QObject {
    Q_OBJECT

private:
    Environment m_environment;
    std::unique_ptr<Surface> m_surface;
    QStringList m_messages;
    QString m_title = "Oracle RDBMS Sessions";
    QString m_footer = "Nimbra Version 1.2.0\n\u00A9 2026 Velmoor";

    int m_width = 4400;

    void print(const PrintListSource* list, int height = 2000) {
        m_surface = std::make_unique<Surface>(m_width, height);
        m_environment.surface = m_surface.get();
        CListReport report;
        report.SetTitle(m_title);
        report.SetFooter(m_footer);
        report.SetPageFormat("Page %d of %d");
        report.SetList(list);
        report.SetMessageHandler([this](const QString& text) { m_messages << text; });
        report.Print();
    }
    // Row slots per page on a surface of that height.
    int rowsPerPage(int height = 2000) {
        List one({100, 100}, 1);
        print(&one, height);
        return static_cast<int>(rowTops(m_surface->pages.at(0)).size()) - 1;
    }
    // The tops of the row boxes, heading row first: the rules from the left margin but the last.
    QList<int> rowTops(const Page& page) const {
        QList<int> tops;
        for (const QLine& line : page.lines) {
            if (line.y1() == line.y2() && line.x1() == kMargin && !tops.contains(line.y1())) {
                tops << line.y1();
            }
        }
        tops.removeLast();
        return tops;
    }
    int right() const { return kMargin + m_width; }

private slots:
    void init() {
        m_environment = Environment();
        m_messages.clear();
        m_width = 4400;
        SetPrintEnvironment(&m_environment);
    }
    void cleanup() { SetPrintEnvironment(nullptr); }

    // Nothing to print ends the job before the dialog; a page without room for a row after it.
    void refused_data() {
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("dialogs");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("no list") << QList<int>{} << -1 << 2000 << 0 << QStringList();
        QTest::newRow("no rows") << QList<int>{100} << 0 << 2000 << 0 << QStringList();
        QTest::newRow("no columns") << QList<int>{} << 3 << 2000 << 0 << QStringList();
        QTest::newRow("page too small") << QList<int>{100} << 3 << 800 << 1
                                        << QStringList{"The page is too small for the report."};
    }
    void refused() {
        QFETCH(QList<int>, widths);
        QFETCH(int, rows);
        QFETCH(int, height);
        QFETCH(int, dialogs);
        QFETCH(QStringList, messages);
        List list(widths, rows);
        print(rows < 0 ? nullptr : &list, height);
        QCOMPARE(m_environment.dialogs, dialogs);
        QCOMPARE(m_messages, messages);
        QVERIFY(!m_surface->started);
    }

    void columns_data() {
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<QList<int>>("edges");
        QTest::addColumn<QStringList>("headings");
        QTest::newRow("session list")
            << QList<int>{100, 50, 50, 80, 100, 200, 300}
            << QList<int>{0, 113, 170, 227, 318, 431, 659, 1000}
            << QStringList{"H0", "\u2026", "\u2026", "\u2026", "H4", "H5", "H6"};
        QTest::newRow("all zero width shares equally")
            << QList<int>{0, 0, 0, 0} << QList<int>{0, 250, 500, 750, 1000}
            << QStringList{"H0", "H1", "H2", "H3"};
        QTest::newRow("unreadable column")
            << QList<int>{100, -1, 100} << QList<int>{0, 500, 500, 1000} << QStringList{"H0", "H2"};
        QTest::newRow("zero-width column clips its text away")
            << QList<int>{100, 0, 100} << QList<int>{0, 500, 500, 1000} << QStringList{"H0", "H2"};
    }
    void columns() {
        QFETCH(QList<int>, widths);
        QFETCH(QList<int>, edges);
        QFETCH(QStringList, headings);
        m_width = 1000;
        List list(widths, 1);
        print(&list);
        const Page& page = m_surface->pages.at(0);
        // The first body row's vertical lines: each cell's left edge, then the last right edge.
        const int slotTop = rowTops(page).at(1);
        QList<int> drawn;
        for (const QLine& line : page.lines) {
            if (line.x1() == line.x2() && line.y1() != line.y2() &&
                qMin(line.y1(), line.y2()) == slotTop) {
                drawn << line.x1() - kMargin;
            }
        }
        QCOMPARE(drawn, edges);
        QCOMPARE(page.textsOfSize(66).mid(0, headings.size()), headings);
    }

    void pageGeometry_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("footer");
        QTest::addColumn<bool>("wraps");
        QTest::newRow("session report") << m_title << m_footer << false;
        QTest::newRow("empty footer") << m_title << "" << false;
        QTest::newRow("long title wraps")
            << QString("Sessions of the Oracle RDBMS instance PROD ").repeated(3) << m_footer
            << true;
    }
    void pageGeometry() {
        QFETCH(QString, title);
        QFETCH(QString, footer);
        QFETCH(bool, wraps);
        m_title = title;
        m_footer = footer;
        List list({100, 100}, 1);
        print(&list);
        const Page& page = m_surface->pages.at(0);
        const QFontMetrics titleFont = metricsOf(100, *m_surface);
        const int h = metricsOf(66, *m_surface).height() + 4;
        const int fh = footer.isEmpty() ? 0 : 2 * metricsOf(50, *m_surface).height();
        const int bottom = 2000 - kMargin;

        // Page number at the right margin, the title left of it on as many lines as it needs.
        const Text number = page.texts.at(0);
        QCOMPARE(number.text, QString("Page 1 of 1"));
        QCOMPARE(number.topLeft, QPoint(right() - titleFont.horizontalAdvance(number.text), 236));
        const QList<Text> titleLines = page.texts.mid(1, page.textsOfSize(100).size() - 1);
        QCOMPARE(titleLines.first().topLeft, QPoint(kMargin, kMargin));
        for (const Text& line : titleLines) {
            QVERIFY(kMargin + titleFont.horizontalAdvance(line.text) <= number.topLeft.x());
        }
        QCOMPARE(titleLines.size() > 1, wraps);
        const int band = static_cast<int>(titleLines.size()) * titleFont.height();

        // Heading row, then slots every h + 1, then the closing line; one spare row is left.
        const QList<int> tops = rowTops(page);
        const int y0 = kMargin + band + h;
        const int rows = (bottom - fh - y0) / (h + 1) - 1;
        QCOMPARE(tops.first(), kMargin + band);
        QCOMPARE(tops.size(), rows + 1);
        for (int k = 0; k < rows; ++k) {
            QCOMPARE(tops.at(k + 1), y0 + k * (h + 1));
        }
        const int closing = y0 + rows * (h + 1);
        QCOMPARE(page.lines.last(), QLine(kMargin, closing, right(), closing));
        QVERIFY(page.lines.contains(QLine(kMargin, y0, kMargin, closing - 1)));
        // Every rule as wide as 1 unit at 300 dpi.
        QCOMPARE(QSet<int>(page.penWidths.begin(), page.penWidths.end()), QSet<int>{2});
        QCOMPARE(page.boxes.first(), QRect(kMargin, kMargin + band, m_width / 2 - 1, h - 1));

        // The footer's lines start fh + 2 above the bottom margin.
        const QStringList footerLines = page.textsOfSize(50);
        QCOMPARE(footerLines, footer.isEmpty() ? QStringList() : footer.split('\n'));
        if (!footer.isEmpty()) {
            QCOMPARE(page.texts.at(page.texts.size() - 2).topLeft,
                     QPoint(kMargin, bottom - fh - 2));
        }
    }

    void pages_data() {
        QTest::addColumn<int>("pages");  // of the report, R rows each
        QTest::addColumn<int>("extraRows");
        QTest::addColumn<int>("from");  // 0: all pages
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("stamps");
        QTest::newRow("R rows") << 1 << 0 << 0 << 0 << QStringList{"Page 1 of 1"};
        QTest::newRow("R + 1 rows")
            << 1 << 1 << 0 << 0 << QStringList{"Page 1 of 2", "Page 2 of 2"};
        QTest::newRow("2 to 3 of 5")
            << 5 << 0 << 2 << 3 << QStringList{"Page 2 of 5", "Page 3 of 5"};
    }
    void pages() {
        QFETCH(int, pages);
        QFETCH(int, extraRows);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, stamps);
        const int rows = rowsPerPage();
        const int items = pages * rows + extraRows;
        List list({100, 100}, items);
        m_environment.from = from;
        m_environment.to = to;
        print(&list);
        QCOMPARE(int(m_surface->pages.size()), stamps.size());
        for (std::size_t i = 0; i < m_surface->pages.size(); ++i) {
            const Page& page = m_surface->pages[i];
            QCOMPARE(page.textsOfSize(100).first(), stamps[int(i)]);
            // Every slot is ruled; cells are filled from the page's first row on.
            QCOMPARE(rowTops(page).size(), rows + 1);
            const int first = (stamps[int(i)].section(' ', 1, 1).toInt() - 1) * rows;
            const QStringList cells = page.textsOfSize(66).mid(2);
            QCOMPARE(cells.size(), 2 * qMin(rows, items - first));
            QCOMPARE(cells.first(), QString("%1.0").arg(first));
        }
    }

    // A title that fits beside "Page 0 of 0" but wraps beside "Page 10 of 10": the spare row
    // stays free above the footer on every page.
    void widestPageNumber() {
        Surface probe(m_width, 1300);
        const QFontMetrics titleFont = metricsOf(100, probe);
        const int h = metricsOf(66, probe).height() + 4;
        m_title = "Sessions";
        while (titleFont.horizontalAdvance(m_title) <=
               m_width - titleFont.horizontalAdvance("Page 10 of 10")) {
            m_title += " x";
        }
        QVERIFY(titleFont.horizontalAdvance(m_title) <=
                m_width - titleFont.horizontalAdvance("Page 0 of 0"));
        List list({100, 100}, 10 * rowsPerPage(1300));
        print(&list, 1300);
        QVERIFY(m_surface->pages.size() >= 10);
        for (const Page& page : m_surface->pages) {
            const int footerTop = page.texts.at(page.texts.size() - 2).topLeft.y();
            QVERIFY(page.lines.last().y1() + h + 1 <= footerTop);
        }
    }

    void cellText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<bool>("cut");  // ends in an ellipsis
        QTest::addColumn<bool>("clipped");
        const QString machine = QString("appserver-prod-01.corp.example.com ").repeated(4);
        QTest::newRow("fits") << "SCOTT" << int(Qt::AlignLeft) << false << false;
        QTest::newRow("ampersands print as they are")
            << "R&D && &x" << int(Qt::AlignLeft) << false << false;
        QTest::newRow("too long, cut with an ellipsis")
            << machine << int(Qt::AlignLeft) << true << false;
        QTest::newRow("too long, right-aligned") << machine << int(Qt::AlignRight) << true << false;
        QTest::newRow("right-aligned") << "42" << int(Qt::AlignRight) << false << false;
        QTest::newRow("centred") << "42" << int(Qt::AlignHCenter) << false << false;
        QTest::newRow("second line falls below")
            << "one\ntwo" << int(Qt::AlignLeft) << false << true;
    }
    void cellText() {
        QFETCH(QString, text);
        QFETCH(int, alignment);
        QFETCH(bool, cut);
        QFETCH(bool, clipped);
        List list({100, 100}, 1);
        list.heading = list.cell = text;
        list.alignment = Qt::Alignment(alignment);
        print(&list);
        const QFontMetrics body = metricsOf(66, *m_surface);
        const int column1 = kMargin + m_width / 2;
        // Texts stay 10 units, 5 at 300 dpi, inside their cell's edges.
        const int inner = m_width / 2 - 20;
        const QList<int> tops = rowTops(m_surface->pages.at(0));
        const QList<Text> texts = m_surface->pages.at(0).texts;
        // The heading of column 1 and the cell of column 1 in its heading and first slot.
        for (const int at : {0, 1}) {
            const QString line = text.section('\n', 0, 0);
            const Text& drawn = *std::find_if(texts.begin(), texts.end(), [&](const Text& t) {
                return t.topLeft.y() == tops[at] && t.topLeft.x() > column1;
            });
            if (cut) {
                QVERIFY2(drawn.text.endsWith(u'\u2026') && drawn.text.size() > 1 &&
                             line.startsWith(drawn.text.chopped(1)),
                         qPrintable(drawn.text));
            } else {
                QCOMPARE(drawn.text, line);
            }
            const int spare = inner - body.horizontalAdvance(drawn.text);
            QVERIFY(spare >= 0);
            const int offset = alignment == Qt::AlignRight     ? spare
                               : alignment == Qt::AlignHCenter ? spare / 2
                                                               : 0;
            QCOMPARE(drawn.topLeft.x(), column1 + 10 + offset);
            const int h = body.height() + 4;
            QCOMPARE(drawn.clip, clipped ? QRect(column1 + 10, tops[at], inner, h) : QRect());
        }
    }
};

QTEST_MAIN(tst_ListReport)
#include "tst_listreport.moc"
