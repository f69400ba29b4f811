#include "framework/services/ServedGeneralDatabase.h"

#include "framework/data/DatabaseError.h"
#include "framework/data/PacketCodec.h"
#include "framework/data/ReadOnlyQuery.h"
#include "framework/services/Zelvora.h"

#include <QJsonObject>
#include <QRegularExpression>

namespace {

QJsonValue TextOrNull(const QVariant& v) {
    return v.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(v.toString());
}

} // namespace

ServedGeneralDatabase::ServedGeneralDatabase()
    : connection_(Zelvora::DatabaseConnectionName()), net_(QStringLiteral("netDBGeral")) {
    TADOIBQuery::ServeConnection(connection_, [this](const QString& sql, const auto& params) {
        return Answer(sql, params);
    });
}

ServedGeneralDatabase::~ServedGeneralDatabase() {
    TADOIBQuery::ServeConnection(connection_, {});
}

TDataPacket ServedGeneralDatabase::Answer(const QString& sql,
                                          const QHash<QString, QVariant>& params) {
    static const QRegularExpression branchTable(QStringLiteral("\\bFROM\\s+FILIAL\\b"),
                                                QRegularExpression::CaseInsensitiveOption);
    if (!branchTable.match(sql).hasMatch())
        throw EDatabaseError(QStringLiteral("O servidor de aplicação atende o banco geral só na "
                                            "consulta de filiais (tabela FILIAL); a consulta "
                                            "\"%1\" precisa de um banco geral próprio.")
                                 .arg(sql.simplified()));
    // Read at every call: the host may point the context at another server.
    net_.Host = Zelvora::WebURL;
    net_.Port = Zelvora::WebPort;
    const QJsonObject result = net_.Call(QString::fromLatin1(kBranchMethod),
                                         {TextOrNull(params.value(QStringLiteral("P_CDFILIAL"))),
                                          TextOrNull(params.value(QStringLiteral("P_TCDFILIAL")))})
                                   .toObject();
    if (!result.value(QStringLiteral("ok")).toBool()) {
        const QString message = result.value(QStringLiteral("message")).toString();
        throw EDatabaseError(message.isEmpty()
                                 ? QStringLiteral("O servidor de aplicação não respondeu à "
                                                  "consulta de filiais.")
                                 : message);
    }
    try {
        return PacketCodec::FromJson(result.value(QStringLiteral("data")));
    } catch (const EDatabaseError& e) {
        throw EDatabaseError(
            QStringLiteral("O servidor de aplicação respondeu à consulta de filiais com um "
                           "pacote inválido: %1")
                .arg(e.Message()));
    }
}
