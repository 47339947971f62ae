#pragma once
// How the window was laid out when it last closed, in section "Layout": the list's header as
// QHeaderView saves it, with the columns it was saved for, and the main window's geometry and
// bars. Binary states are kept as base64 text.

#include <QByteArray>
#include <QStringList>

struct LayoutSettings {
    // QHeaderView::saveState of the list's header.
    QByteArray Header;
    // The names of the list's columns when Header was saved, in their model order: a header
    // saved for other columns is not restored as it is.
    QStringList HeaderColumns;
    // The shown columns left to right ("sql_id:120": name and width), for a header saved for
    // other columns.
    QStringList Shown;
    // The column the list is sorted by, "name" or "name:desc"; empty for the statement's order.
    QString Sort;
    bool HideIdle = false;
    // QMainWindow::saveGeometry and saveState.
    QByteArray Geometry;
    QByteArray WindowState;
    bool StatusBar = true;

    static LayoutSettings Load();
    // Writes only what changed since it was stored.
    static void Save(const LayoutSettings& layout);
};
