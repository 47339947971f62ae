#pragma once
// A thin owner of one SQLite connection and its prepared statements, for the history's files.

#include <sqlite3.h>

#include <QString>
#include <cstdint>
#include <memory>
#include <string>

class HistoryStatement;

class HistoryDatabase {
public:
    HistoryDatabase() = default;
    ~HistoryDatabase();
    HistoryDatabase(HistoryDatabase&& other) noexcept;
    HistoryDatabase& operator=(HistoryDatabase&& other) noexcept;

    // Opens the file with a busy timeout, so that writers of other windows are waited for; the
    // SQLite result code.
    int Open(const QString& path, bool readOnly);
    bool IsOpen() const { return m_db != nullptr; }
    void Close();
    // Runs statements without results; the SQLite result code.
    int Exec(const char* sql);
    sqlite3* Handle() const { return m_db; }
    std::string ErrorText() const;

private:
    sqlite3* m_db = nullptr;
};

class HistoryStatement {
public:
    HistoryStatement(const HistoryDatabase& db, const char* sql);
    ~HistoryStatement();
    HistoryStatement(const HistoryStatement&) = delete;
    HistoryStatement& operator=(const HistoryStatement&) = delete;

    bool Prepared() const { return m_statement != nullptr; }
    HistoryStatement& Bind(int position, std::int64_t value);
    HistoryStatement& Bind(int position, const std::string& text);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();
    // Steps to the end and makes the statement ready for new values; the last result code.
    int Run();
    void Reset();
    std::int64_t Integer(int column) const;
    double Real(int column) const;
    std::string Text(int column) const;

private:
    sqlite3_stmt* m_statement = nullptr;
};

// Whether a result code says the file is no SQLite database or is damaged.
bool IsDamagedCode(int code);
