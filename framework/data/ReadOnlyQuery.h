#pragma once

#include "framework/data/ClientDataSet.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>

// A read-only query on a named QSqlDatabase connection. Parameters (":NAME" in SQL) are
// always bound as values, never pasted into the text. The result fills the data set: fields
// defined beforehand keep their definitions (columns matched by name); without definitions the
// columns become the fields. Append, Insert, Edit and Delete are refused.
//
// A connection name may instead be served: its queries are answered by a function rather than
// a database (the host's general database when the application server answers for it).
class TADOIBQuery : public TClientDataSet {
public:
    // Answers a served query: its statement and bound parameters (upper-case names without
    // the colon, only those the statement uses) in, its rows out. Throws EDatabaseError.
    using Answerer =
        std::function<TDataPacket(const QString& sql, const QHash<QString, QVariant>& params)>;

    explicit TADOIBQuery(const QString& name = {});

    // Serves the queries on `connection` with `answerer` from now on; an empty answerer
    // gives the connection back to its database.
    static void ServeConnection(const QString& connection, Answerer answerer);

    // The statement to run.
    QString SQL;
    // Name of the QSqlDatabase connection to use ("" is Qt's default connection).
    void SetConnectionName(const QString& name);
    QString ConnectionName() const;
    // Sets the value bound to :name (without the colon, any letter case).
    void SetParam(const QString& name, const QVariant& value);
    // Runs SQL with the bound parameters and loads the result (browse state, first record).
    // Throws EDatabaseError when the connection is missing or cannot be opened, a parameter
    // used by SQL was not set, or the database (or the answerer of a served connection)
    // refuses the statement; the set is then unchanged.
    void Open();

private:
    QString connection_;
    QHash<QString, QVariant> params_; // upper-case name -> value
};
