// Small RAII helpers over SQLite for the host's database files (settings,
// dialog histories). Not in the Windows build (no SQLite there).
#pragma once

#if !defined(ZELVANE_HOST_NO_SQLITE)

#include <sqlite3.h>

#include <cstdint>
#include <string>

namespace Host {

// A prepared statement, finalized when it goes out of scope.
class Statement {
public:
    Statement(sqlite3* db, const char* sql)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &Handle, nullptr) != SQLITE_OK)
            Handle = nullptr;
    }
    ~Statement() { sqlite3_finalize(Handle); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Valid() const { return Handle != nullptr; }
    Statement& Bind(int index, int64_t value)
    {
        if (Handle)
            sqlite3_bind_int64(Handle, index, value);
        return *this;
    }
    Statement& Bind(int index, const std::string& text)
    {
        if (Handle)
            sqlite3_bind_text(Handle, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& BindBlob(int index, const std::string& bytes)
    {
        if (Handle)
            sqlite3_bind_blob(Handle, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step() { return Handle ? sqlite3_step(Handle) : SQLITE_ERROR; }
    bool Run() { return Step() == SQLITE_DONE; }

    int64_t Integer(int column) { return sqlite3_column_int64(Handle, column); }
    std::string Text(int column)
    {
        auto text = reinterpret_cast<const char*>(sqlite3_column_text(Handle, column));
        return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(Handle, column))) : std::string();
    }
    std::string Blob(int column)
    {
        auto data = static_cast<const char*>(sqlite3_column_blob(Handle, column));
        return data ? std::string(data, static_cast<size_t>(sqlite3_column_bytes(Handle, column))) : std::string();
    }
    int Type(int column) { return sqlite3_column_type(Handle, column); }

private:
    sqlite3_stmt* Handle = nullptr;
};

inline bool Execute(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace Host

#endif
