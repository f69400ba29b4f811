// The screen's datasets, the branch query and their data sources, with every field's type,
// label, visibility and format, and the columns of the grids over them.
#include "distribution/DistEmbCard.h"
#include "framework/data/StringField.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/TColumn.h"
#include "framework/ui/TDBEdit.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TDBMemo.h"
#include "framework/ui/TDBText.h"

namespace {

const QString kQuantityFormat = QStringLiteral("##0.00000;0; ");

TFieldDef Num(const char* name, bool visible = true, const QString& format = {}) {
    TFieldDef d;
    d.Name = QString::fromLatin1(name);
    d.Type = TFieldType::Float;
    d.Visible = visible;
    d.DisplayFormat = format;
    return d;
}

TFieldDef Int(const char* name, bool visible = true) {
    TFieldDef d;
    d.Name = QString::fromLatin1(name);
    d.Type = TFieldType::Integer;
    d.Visible = visible;
    return d;
}

TFieldDef Calc(TFieldDef d) {
    d.Kind = TFieldKind::Calculated;
    return d;
}

std::unique_ptr<TClientDataSet> NewSet(const char* name, std::initializer_list<TFieldDef> defs) {
    auto ds = std::make_unique<TClientDataSet>(QString::fromLatin1(name));
    for (const TFieldDef& d : defs)
        ds->AddField(d);
    return ds;
}

std::unique_ptr<TDataSource> NewSource(const char* name, TClientDataSet* ds) {
    return std::make_unique<TDataSource>(QString::fromLatin1(name), ds);
}

} // namespace

void TfrmDistEmbCard::BuildDataSets() {
    const QString code = QStringLiteral("Código");
    const QString name = QStringLiteral("Nome");

    cdsServicos = NewSet("cdsServicos", {
                                            pla::StringField("CDGRUPSERV", 3, {}, false),
                                            pla::StringField("CDFILIAL", 4, {}, false),
                                            pla::StringField("CDSERVFILI", 5, code),
                                            pla::StringField("NMSERVICO", 40, name),
                                            Calc(pla::StringField("SERVICO", 100)),
                                            pla::StringField("IDSITUACAO", 1, {}, false),
                                        });

    BuildBranchQuery();

    cdsCardapioDisponivel =
        NewSet("cdsCardapioDisponivel", {
                                            Num("NRDISTCARD", false),
                                            Num("NRSEQPRATCAR", false),
                                            pla::StringField("CDFILAUXPRAT", 4, {}, false),
                                            pla::StringField("CDPRATO", 10, code),
                                            Num("QTTOTCOMENSAIS", false, kQuantityFormat),
                                            Num("QTTOTPRATO", false, kQuantityFormat),
                                            Num("QTTOTEXTRA", false, kQuantityFormat),
                                            Num("QTCOMENSAIS", false, kQuantityFormat),
                                            Num("QTPRATO", false, kQuantityFormat),
                                            Num("QTEXTRA", false, kQuantityFormat),
                                            Num("NRORDPRATCAR", false),
                                            Num("QTPORPESSOA", false),
                                            pla::StringField("NMPRATO", 40, name),
                                            pla::StringField("SGUNIDADE", 10, {}, false),
                                        });
    cdsCardapioDisponivel->SetIndexFieldNames(QStringLiteral("NRORDPRATCAR"));

    cdsDistCard = NewSet("cdsDistCard", {
                                            Num("NRDISTCARD"),
                                            pla::StringField("CDFILIAL", 4),
                                            pla::StringField("NRCARDAPIO", 10),
                                            pla::StringField("CDCLIENTE", 21),
                                            pla::StringField("CDDESTFILI", 3),
                                            Num("QTCOMENSAIS"),
                                            // The stored version the screen was loaded at;
                                            // empty when the server keeps none.
                                            Int("NRVERSAO", false),
                                        });

    cdsEmbDistCard = NewSet("cdsEmbDistCard", {
                                                  Num("NREMBDISTCARD", false),
                                                  pla::StringField("CDCONTAINER", 5, code),
                                                  Num("QTCONTAINER", false),
                                                  pla::StringField("NMCONTAINER", 40, name),
                                                  pla::StringField("IDPROPOSITO", 1, {}, false),
                                                  pla::StringField("DSOBSETIQUETA", 250, {}, false),
                                                  Num("QTPRATO", false),
                                                  Calc(Num("QTMEDIA", false, kQuantityFormat)),
                                              });

    cdsItEmbDistCard = NewSet("cdsItEmbDistCard", {
                                                      Num("NRSEQPRATCAR", false),
                                                      Num("NREMBDISTCARD", false),
                                                      Num("QTCOMENSAIS", false, kQuantityFormat),
                                                      Num("QTPRATO", false, kQuantityFormat),
                                                      Num("QTEXTRA", false, kQuantityFormat),
                                                      pla::StringField("CDPRATO", 10, code),
                                                      pla::StringField("NMPRATO", 40, name),
                                                      pla::StringField("SGUNIDADE", 10, {}, false),
                                                      pla::StringField("IDPRINCIPAL", 1, {}, false),
                                                      Num("VRQTDEPRATEMB", false),
                                                  });

    cdsVdEmbalagens = NewSet("cdsVdEmbalagens", {
                                                    pla::StringField("CDCONTAINER", 5, code),
                                                    pla::StringField("NMCONTAINER", 40, name),
                                                    pla::StringField("IDPROPOSITO", 1, {}, false),
                                                });

    dtsPadrao()->SetDataSet(cdsServicos.get());
    dtsCardapioDisponivel = NewSource("dtsCardapioDisponivel", cdsCardapioDisponivel.get());
    dtsDistCard = NewSource("dtsDistCard", cdsDistCard.get());
    dtsEmbDistCard = NewSource("dtsEmbDistCard", cdsEmbDistCard.get());
    dtsItEmbDistCard = NewSource("dtsItEmbDistCard", cdsItEmbDistCard.get());
    dtsVdEmbalagens = NewSource("dtsVdEmbalagens", cdsVdEmbalagens.get());

    for (TClientDataSet* ds : {cdsServicos.get(), static_cast<TClientDataSet*>(qryFilial.get()),
                               cdsCardapioDisponivel.get(), cdsDistCard.get(), cdsEmbDistCard.get(),
                               cdsItEmbDistCard.get(), cdsVdEmbalagens.get()})
        RegisterDataSet(ds);
}

void TfrmDistEmbCard::BuildGridColumns() {
    dbtNome->SetDataField(QStringLiteral("SERVICO"));
    dbgPadrao->AddColumn(QStringLiteral("SERVICO"), 200);
    // The state is drawn as a light (grey, red, green); a screen reader says it in words.
    dbgPadrao->AddColumn(QStringLiteral("IDSITUACAO"), 25).SetSpokenText([](const QString& status) {
        return status == QLatin1String("N")   ? QStringLiteral("Sem distribuição")
               : status == QLatin1String("I") ? QStringLiteral("Incompleta")
                                              : QStringLiteral("Completa");
    });

    dbgCardapio->SetDataSource(dtsCardapioDisponivel.get());
    dbgCardapio->AddColumn(QStringLiteral("NMPRATO"), 164);
    dbgCardapio->AddColumn(QStringLiteral("QTCOMENSAIS"), 75, QStringLiteral("Comensais"));
    dbgCardapio->AddColumn(QStringLiteral("QTPRATO"), 75, QStringLiteral("Quantidade"));
    dbgCardapio->AddColumn(QStringLiteral("SGUNIDADE"), 29, QStringLiteral("UN"));
    dbgCardapio->AddColumn(QStringLiteral("QTEXTRA"), 75, QStringLiteral("Extra"));
    dbeQtPorPessoa->SetDataSource(dtsCardapioDisponivel.get());
    dbeQtPorPessoa->SetDataField(QStringLiteral("QTPORPESSOA"));
    dblUnidade->SetDataSource(dtsCardapioDisponivel.get());
    dblUnidade->SetDataField(QStringLiteral("SGUNIDADE"));

    dbgEmbalagens->SetDataSource(dtsEmbDistCard.get());
    dbgEmbalagens->AddColumn(QStringLiteral("CDCONTAINER"), 63)
        .SetButtonStyle(TColumnButtonStyle::cbsEllipsis);
    dbgEmbalagens->AddColumn(QStringLiteral("NMCONTAINER"), 142);
    dbgEmbalagens->AddColumn(QStringLiteral("IDPROPOSITO"), 74, QStringLiteral("Propósito"));
    dbgEmbalagens->AddColumn(QStringLiteral("QTCONTAINER"), 70, QStringLiteral("Unidades"));
    dbgEmbalagens->AddColumn(QStringLiteral("QTMEDIA"), 86, QStringLiteral("Prato / Unidade"));
    dbmObservacaoEtiqueta->SetDataSource(dtsEmbDistCard.get());
    dbmObservacaoEtiqueta->SetDataField(QStringLiteral("DSOBSETIQUETA"));

    dbgPratosEmb->SetDataSource(dtsItEmbDistCard.get());
    dbgPratosEmb->AddColumn(QStringLiteral("NMPRATO"), 136);
    dbgPratosEmb->AddColumn(QStringLiteral("QTCOMENSAIS"), 75, QStringLiteral("Comensais"));
    dbgPratosEmb->AddColumn(QStringLiteral("QTPRATO"), 75, QStringLiteral("Quantidade"));
    dbgPratosEmb->AddColumn(QStringLiteral("SGUNIDADE"), 29, QStringLiteral("UN"));
    dbgPratosEmb->AddColumn(QStringLiteral("QTEXTRA"), 75, QStringLiteral("Extra"));
    dbgPratosEmb->AddColumn(QStringLiteral("IDPRINCIPAL"), 48, QStringLiteral("Principal"));
}
