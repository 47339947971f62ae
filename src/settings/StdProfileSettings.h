#pragma once
// The framework's standard sections "Recent File List" and "Settings": loaded at start-up and
// written back at exit; Nimbra itself never adds to them.

#include <QStringList>

class StdProfileSettings {
public:
    // Reads "File1".."File<maxFiles>" and "PreviewPages".
    void Load(int maxFiles);
    // Replaces "Recent File List" with the non-empty entries and writes "PreviewPages" only
    // when it was not 0 at load.
    void Save() const;

    const QStringList& RecentFiles() const { return m_recentFiles; }
    int PreviewPages() const { return m_previewPages; }

private:
    QStringList m_recentFiles;
    int m_previewPages = 0;
};
