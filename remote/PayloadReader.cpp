#include "remote/PayloadReader.h"

#include "framework/data/Abort.h"
#include "framework/data/ClientDataSet.h"
#include "framework/data/DatabaseError.h"
#include "framework/data/PacketCodec.h"
#include "framework/services/Consiste.h"

#include <utility>

namespace pla {

namespace {

QString Where(const QString& what) {
    return what.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(what);
}

} // namespace

PayloadReader::PayloadReader(QString method) : method_(std::move(method)) {}

void PayloadReader::Fail(const QString& reason) const {
    QString text = QStringLiteral("Resposta inválida do servidor em %1: %2").arg(method_, reason);
    if (!text.endsWith(QLatin1Char('.'))) text += QLatin1Char('.');
    Consiste::MensErro(text, true);
    // MensErro ends the action itself; this keeps the promise even if it ever returned.
    throw Abort();
}

TDataPacket PayloadReader::Packet(const QJsonValue& v, const QString& what) const {
    try {
        return PacketCodec::FromJson(v);
    } catch (const EDatabaseError& e) {
        Fail(QStringLiteral("pacote de dados malformado%1 - %2").arg(Where(what), e.Message()));
    }
}

void PayloadReader::RequireFields(const TDataPacket& p, const QStringList& names,
                                  const QString& what) const {
    if (p.Fields.isEmpty() && p.Rows.isEmpty()) return;
    for (const QString& name : names) {
        bool found = false;
        for (const TPacketField& f : p.Fields)
            found = found || f.Name.compare(name, Qt::CaseInsensitive) == 0;
        if (!found) Fail(QStringLiteral("o pacote%1 não traz o campo %2").arg(Where(what), name));
    }
}

void PayloadReader::RequireLoadable(const TDataPacket& p, const TClientDataSet& target,
                                    const QString& what) const {
    TClientDataSet scratch(target.Name());
    for (int i = 0; i < target.FieldCount(); ++i) {
        const TField& f = target.Fields(i);
        TFieldDef def;
        def.Name = f.FieldName();
        def.Type = f.DataType();
        def.Size = f.Size();
        def.Kind = f.FieldKind();
        scratch.AddField(def);
    }
    try {
        scratch.SetData(p);
    } catch (const EDatabaseError& e) {
        Fail(QStringLiteral("o pacote%1 não serve para %2 - %3")
                 .arg(Where(what), target.Name(), e.Message()));
    }
}

QString PayloadReader::Text(const QJsonValue& v, const QString& what) const {
    if (v.isNull() || v.isUndefined()) return {};
    if (!v.isString()) Fail(QStringLiteral("%1 deveria ser um texto").arg(what));
    return v.toString();
}

} // namespace pla
