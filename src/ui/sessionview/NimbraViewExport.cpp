// What is shown, copied to the clipboard or exported to a CSV file.

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStandardPaths>

#include "TextTable.h"
#include "sessionview/NimbraView.h"
#include "widgets/MessageBox.h"

namespace {
std::function<QString(QWidget*, const QString&)>& exportFileChooser() {
    static std::function<QString(QWidget*, const QString&)> chooser = [](QWidget* parent,
                                                                         const QString& offered) {
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Export"), offered,
                                            QStringLiteral("CSV files (*.csv)"));
    };
    return chooser;
}

std::vector<std::string> fieldsOf(const QStringList& cells) {
    std::vector<std::string> fields;
    for (const QString& cell : cells) {
        fields.push_back(cell.toStdString());
    }
    return fields;
}
}  // namespace

void CNimbraView::SetExportFileChooser(
    std::function<QString(QWidget* parent, const QString& offered)> chooser) {
    exportFileChooser() = std::move(chooser);
}

std::vector<QStringList> CNimbraView::ShownTable(bool selectedOnly) const {
    const std::vector<int> columns = ShownColumns();
    std::vector<QStringList> table(1);
    for (int column : columns) {
        table.front() << model()->headerData(column, Qt::Horizontal).toString();
    }
    const std::vector<int> rows = selectedOnly ? SelectedItems() : std::vector<int>();
    const int count = selectedOnly ? int(rows.size()) : model()->rowCount();
    for (int i = 0; i < count; ++i) {
        const int row = selectedOnly ? rows[std::size_t(i)] : i;
        QStringList& cells = table.emplace_back();
        for (int column : columns) {
            cells << GetItemText(row, column);
        }
    }
    return table;
}

void CNimbraView::OnEditCopy() {
    if (SelectedItems().empty()) {
        return;
    }
    std::string text;
    for (const QStringList& line : ShownTable(true)) {
        text += TsvLine(fieldsOf(line));
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

// The file is written whole or not at all: a failed write leaves what was there before.
void CNimbraView::OnFileExport() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString start = QDir(QDir(folder).exists() ? folder : QDir::homePath())
                              .filePath(QStringLiteral("nimbra-sessions.csv"));
    const QString file = exportFileChooser()(window(), start);
    if (file.isEmpty()) {
        return;
    }
    std::string text;
    for (const QStringList& line : ShownTable(false)) {
        text += CsvLine(fieldsOf(line));
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(text.data(), qint64(text.size())) < 0 ||
        !out.commit()) {
        NimbraMessageBox(QStringLiteral("Could not export to \"%1\": %2.")
                             .arg(QDir::toNativeSeparators(file), out.errorString()),
                         MsgButtons::Ok, MsgIcon::Default);
    }
}
