#pragma once

#include <QString>

#include <stdexcept>

namespace tarvik::db {

// Every failure of the data-access layer. text() is the server's own
// interpreted message (shown to users as it is), code() the first Firebird
// error code of the status vector (0 for failures found by the client).
class DbError : public std::runtime_error
{
public:
    DbError(const QString& text, long code = 0, long sqlCode = 0, const QString& statement = {});

    [[nodiscard]] const QString& text() const { return m_text; }
    [[nodiscard]] long code() const { return m_code; }
    [[nodiscard]] long sqlCode() const { return m_sqlCode; }
    [[nodiscard]] const QString& statement() const { return m_statement; }

private:
    QString m_text;
    long m_code;
    long m_sqlCode;
    QString m_statement;
};

// A row is held by another connection's uncommitted change (nowait).
class LockConflictError : public DbError
{
public:
    using DbError::DbError;
};

// A unique, primary or foreign key or a check refused the change.
class ConstraintError : public DbError
{
public:
    using DbError::DbError;
};

// A change meant for a row as it was read touched no row: another
// connection has changed or deleted it since and committed.
class RowChangedError : public DbError
{
public:
    using DbError::DbError;
};

// The server went away or refused the attachment.
class ConnectionError : public DbError
{
public:
    using DbError::DbError;
};

// The client library cannot be loaded or lacks a function.
class ClientLibraryError : public DbError
{
public:
    using DbError::DbError;
};

// A text holds a character that code page 1251 cannot store.
class EncodingError : public DbError
{
public:
    using DbError::DbError;
};

} // namespace tarvik::db
