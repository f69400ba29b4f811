// Copying another day's distribution that cannot be copied: the clerk is told why and the
// loaded distribution stays exactly as it was.
#include "framework/ui/Dispatch.h"
#include "tests/distribution/PackagingFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace pla::test {
namespace {

QJsonObject Packet(const QStringList& fields, const QJsonArray& rows) {
    return QJsonObject{{"fields", QJsonArray::fromStringList(fields)}, {"rows", rows}};
}

// The print read of a branch day holding one packaging of client and destination with dish.
QJsonObject Day(const char* date, const char* client, const char* destination,
                const char* container, const char* dish) {
    const QJsonArray day{
        Packet({"CDSERVFILI", "NMSERVICO"}, {}),
        Packet({"NREMBDISTCARD", "CDSERVFILI", "CDCLIENTE", "CDDESTFILI", "CDCONTAINER",
                "IDPROPOSITO", "QTCONTAINER"},
               QJsonArray{
                   QJsonValue(QJsonArray{7, "00010", client, destination, container, "I", 40})}),
        Packet({"NREMBDISTCARD", "CDPRATO", "NMPRATO", "QTCOMENSAIS", "QTPRATO", "QTEXTRA"},
               QJsonArray{QJsonValue(QJsonArray{7, dish, dish, 40, 4, 0})}),
        Packet({}, {})};
    return QJsonObject{{"params", QJsonArray{"0001", date}},
                       {"result", QJsonObject{{"ok", true}, {"data", day}}}};
}

QByteArray CopyFixture() {
    QJsonObject root = QJsonDocument::fromJson(PackagingFixture()).object();
    QJsonObject methods = root.value("methods").toObject();
    methods.insert("GetImpressaoDistribuicao",
                   QJsonArray{Day("2026-11-24", "99999", "001", "00001", "P1"),
                              Day("2026-11-25", "12345", "001", "00001", "P9"),
                              Day("2026-11-26", "12345", "001", "00001", "P4")});
    root.insert("methods", methods);
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

class CopyMessagesTest : public PackagingTest {};

TEST_F(CopyMessagesTest, NothingToCopyIsToldAndNothingChanges) {
    OpenOn(CopyFixture());
    const struct {
        QDate date;
        QString message;
    } cases[] = {
        {QDate(2026, 11, 24), "Não há distribuição gravada em 24/11/2026 para este serviço e "
                              "ponto de entrega: nada foi copiado."},
        {QDate(2026, 11, 25), "Nenhum prato da distribuição de 25/11/2026 está no cardápio de "
                              "08/12/2026: nada foi copiado."},
        {QDate(2026, 11, 26), "Nenhum prato pôde ser copiado de 26/11/2026.\nSalada: sem relação "
                              "de transporte com o container 00001."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date.toString().toStdString());
        EXPECT_FALSE(Dispatch([&] { screen->CopiaDistribuicao(c.date); }));
        EXPECT_EQ(NextMessage(), c.message);
        EXPECT_EQ(screen->cdsDistCard->State(), TDataSetState::Browse);
        EXPECT_EQ(screen->cdsEmbDistCard->TotalRecordCount(), 2);
        EXPECT_EQ(screen->cdsItEmbDistCard->TotalRecordCount(), 0);
        EXPECT_EQ(Available(1).quantity, 4.8);
        EXPECT_EQ(screen->NewPackagingCounter(), 2);
    }
}

} // namespace
} // namespace pla::test
