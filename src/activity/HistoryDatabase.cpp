#include "HistoryDatabase.h"

#include <utility>

namespace {
// Long enough for another window's batch of samples or a pruning step to end.
constexpr int kBusyTimeoutMilliseconds = 5000;
}  // namespace

HistoryDatabase::~HistoryDatabase() {
    Close();
}

HistoryDatabase::HistoryDatabase(HistoryDatabase&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)) {}

HistoryDatabase& HistoryDatabase::operator=(HistoryDatabase&& other) noexcept {
    if (this != &other) {
        Close();
        m_db = std::exchange(other.m_db, nullptr);
    }
    return *this;
}

int HistoryDatabase::Open(const QString& path, bool readOnly) {
    Close();
    const int flags =
        (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        Close();
        return rc;
    }
    sqlite3_busy_timeout(m_db, kBusyTimeoutMilliseconds);
    return SQLITE_OK;
}

void HistoryDatabase::Close() {
    if (m_db != nullptr) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

int HistoryDatabase::Exec(const char* sql) {
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
}

std::string HistoryDatabase::ErrorText() const {
    return m_db != nullptr ? sqlite3_errmsg(m_db) : "not open";
}

HistoryStatement::HistoryStatement(const HistoryDatabase& db, const char* sql) {
    if (sqlite3_prepare_v2(db.Handle(), sql, -1, &m_statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

HistoryStatement::~HistoryStatement() {
    sqlite3_finalize(m_statement);
}

HistoryStatement& HistoryStatement::Bind(int position, std::int64_t value) {
    sqlite3_bind_int64(m_statement, position, value);
    return *this;
}

HistoryStatement& HistoryStatement::Bind(int position, const std::string& text) {
    sqlite3_bind_text(m_statement, position, text.data(), int(text.size()), SQLITE_TRANSIENT);
    return *this;
}

int HistoryStatement::Step() {
    return m_statement != nullptr ? sqlite3_step(m_statement) : SQLITE_ERROR;
}

int HistoryStatement::Run() {
    int rc = Step();
    while (rc == SQLITE_ROW) {
        rc = Step();
    }
    Reset();
    return rc;
}

void HistoryStatement::Reset() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

std::int64_t HistoryStatement::Integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

double HistoryStatement::Real(int column) const {
    return sqlite3_column_double(m_statement, column);
}

std::string HistoryStatement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return text != nullptr ? std::string(text) : std::string();
}

bool IsDamagedCode(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}
