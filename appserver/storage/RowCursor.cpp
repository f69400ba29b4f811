#include "appserver/storage/RowCursor.h"

#include "appserver/storage/SqlUtil.h"
#include "appserver/storage/StorageError.h"

#include <QSqlResult>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace pla {

namespace {

// The statement SQLite's driver prepared for `q`, or null on another driver. The driver keeps
// owning it: it is finalized with the query or when the connection closes.
sqlite3_stmt* sqliteStatement(const QSqlQuery& q) {
    const QVariant handle = q.result()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0) return nullptr;
    return *static_cast<sqlite3_stmt* const*>(handle.constData());
}

// A number in PostgreSQL's text form, read whatever the process's locale.
template <class T> T pgNumber(const PGresult* r, int row, int column) {
    const char* v = PQgetvalue(r, row, column);
    T n = 0;
    std::from_chars(v, v + PQgetlength(r, row, column), n);
    return n;
}

} // namespace

// Short texts repeat down a result (units, container codes and names, "S" and "N"): each one
// is made once and then shared, rather than allocated again for every row. Slots are chosen by
// the hash of the stored bytes; a collision only replaces the slot.
struct RowCursor::RecentTexts {
    static constexpr qsizetype kMaxBytes = 48;
    struct Slot {
        qsizetype bytes = -1;
        char raw[kMaxBytes];
        QString text;
    };
    std::array<Slot, 64> slots;
};

template <class Make> QString RowCursor::recent(const void* raw, qsizetype bytes, Make make) const {
    if (bytes > RecentTexts::kMaxBytes) return make();
    if (!recent_) recent_ = std::make_unique<RecentTexts>();
    // The length and the first and last eight bytes tell these texts apart well enough.
    quint64 head = 0, tail = 0;
    std::memcpy(&head, raw, size_t(std::min<qsizetype>(bytes, 8)));
    if (bytes > 8) std::memcpy(&tail, static_cast<const char*>(raw) + bytes - 8, 8);
    const quint64 h =
        (head * 0x9E3779B97F4A7C15ULL) ^ (tail * 0xC2B2AE3D27D4EB4FULL) ^ quint64(bytes);
    RecentTexts::Slot& s = recent_->slots[(h ^ (h >> 29)) % recent_->slots.size()];
    if (s.bytes != bytes || std::memcmp(s.raw, raw, size_t(bytes)) != 0) {
        s.text = make();
        s.bytes = bytes;
        std::memcpy(s.raw, raw, size_t(bytes));
    }
    return s.text;
}

RowCursor::RowCursor(const QSqlDatabase& db, const QString& sql, const QVariantList& values)
    : use_(StatementCache::prepared(db, sql)), sql_(sql) {
    QSqlQuery& q = use_->query();
    stmt_ = sqliteStatement(q);
    if (stmt_) {
        bind(values);
        return;
    }
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec()) throw SqlUtil::failure(q, sql);
}

RowCursor::RowCursor(const std::vector<pg_result*>& results) : results_(&results) {}

RowCursor::~RowCursor() {
    if (!stmt_) return;
    // Releases SQLite's read snapshot with the statement, as finishing a query does.
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

void RowCursor::bind(const QVariantList& values) {
    sqlite3_reset(stmt_);
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& v = values[i];
        int rc = SQLITE_OK;
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(stmt_, i + 1, v.toLongLong());
            break;
        case QMetaType::Double:
            rc = sqlite3_bind_double(stmt_, i + 1, v.toDouble());
            break;
        default: {
            // As the driver binds: a null text is NULL, anything else its text.
            const QString s = v.toString();
            rc = s.isNull() ? sqlite3_bind_null(stmt_, i + 1)
                            : sqlite3_bind_text16(stmt_, i + 1, s.utf16(),
                                                  static_cast<int>(s.size() * sizeof(QChar)),
                                                  SQLITE_TRANSIENT);
        }
        }
        if (rc != SQLITE_OK)
            throw StorageError(
                QStringLiteral("%1 [%2]").arg(QString::fromUtf8(sqlite3_errstr(rc)), sql_),
                QString::number(rc));
    }
}

bool RowCursor::next() {
    if (results_) {
        ++row_;
        for (; part_ < results_->size(); ++part_, row_ = 0) {
            result_ = (*results_)[part_];
            if (row_ < PQntuples(result_)) return true;
        }
        return false;
    }
    if (!stmt_) return use_->query().next();
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw StorageError(QStringLiteral("%1 [%2]").arg(
                           QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(stmt_))), sql_),
                       QString::number(rc));
}

bool RowCursor::isNull(int column) const {
    if (result_) return PQgetisnull(result_, row_, column);
    if (!stmt_) return use_->query().isNull(column);
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

QString RowCursor::text(int column) const {
    if (result_) {
        if (PQgetisnull(result_, row_, column)) return QString();
        const char* chars = PQgetvalue(result_, row_, column);
        const int bytes = PQgetlength(result_, row_, column);
        return recent(chars, bytes, [&] { return QString::fromUtf8(chars, bytes); });
    }
    if (!stmt_) {
        const QVariant v = use_->query().value(column);
        return v.isNull() ? QString() : v.toString();
    }
    // A database created in UTF-16 hands its text over without a conversion; NULL gives none.
    const auto* chars = static_cast<const QChar*>(sqlite3_column_text16(stmt_, column));
    if (!chars) return QString();
    const int bytes = sqlite3_column_bytes16(stmt_, column);
    return recent(chars, bytes, [&] { return QString(chars, bytes / qsizetype(sizeof(QChar))); });
}

double RowCursor::real(int column) const {
    if (result_) return pgNumber<double>(result_, row_, column);
    if (!stmt_) return use_->query().value(column).toDouble();
    return sqlite3_column_double(stmt_, column);
}

qint64 RowCursor::integer(int column) const {
    if (result_) return pgNumber<qint64>(result_, row_, column);
    if (!stmt_) return use_->query().value(column).toLongLong();
    return sqlite3_column_int64(stmt_, column);
}

} // namespace pla
