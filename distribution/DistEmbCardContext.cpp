// Branch and menu date: validating the branch against the suite's branch table, the lookup,
// the week-day label, and what a change of either does to the rest of the screen.
#include "distribution/DistEmbCard.h"
#include "framework/services/Consiste.h"
#include "framework/services/Pesquisa.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMessages.h"

namespace {

// Puts the focus on c. A hidden form only remembers it; on a shown form a control that
// cannot take the focus (disabled by the branch lock) keeps the focus where it is.
void FocusIfPossible(TWinControl* c) {
    TForm* form = c->ParentForm();
    if (form && (!form->Showing() || c->CanFocus())) c->SetFocus();
}

} // namespace

void TfrmDistEmbCard::VdFilial(bool mandatory) {
    const QString typed = edtCdFilial->Text();
    if (Consiste::EmptyString(typed)) {
        if (!mandatory) return;
        FocusIfPossible(edtCdFilial);
        Consiste::MensErro(msgPadrao->Msg(QStringLiteral("FILIAL_N_INF")), true);
    }

    const QString code = Consiste::Ajusta(typed, 4);
    if (code != typed) edtCdFilial->SetText(code);

    // The code is bound as a value, never pasted into the statement.
    qryFilial->Close();
    qryFilial->SetConnectionName(Zelvora::DatabaseConnectionName());
    qryFilial->SetParam(QStringLiteral("P_CDFILIAL"), edtCdFilial->Text());
    qryFilial->SetParam(QStringLiteral("P_TCDFILIAL"), QVariant());
    qryFilial->Open();

    if (qryFilial->IsEmpty()) {
        FocusIfPossible(edtCdFilial);
        // Selected, so that the next code typed replaces the wrong one.
        edtCdFilial->SelectAll();
        Consiste::MensErro(msgPadrao->Msg(QStringLiteral("FILIAL_N_CAD")), true);
    }
    edtNmFilial->SetText(qryFilial->FieldByName(QStringLiteral("NMFILIAL")).AsString());
}

void TfrmDistEmbCard::edtCdFilialEnter(TComponent&) {
    Habilita();
}

void TfrmDistEmbCard::edtCdFilialChange(TComponent&) {
    edtNmFilial->SetText(QString());
    cdsServicos->EmptyDataSet();
    cmbPontosEntrega->Clear();
    LimpaDistribuicao();
}

void TfrmDistEmbCard::edtCdFilialExit(TComponent&) {
    VdFilial(false);
}

void TfrmDistEmbCard::btnFilialClick(TComponent&) {
    qryFilial->Close();
    qryFilial->SetConnectionName(Zelvora::DatabaseConnectionName());
    qryFilial->SetParam(QStringLiteral("P_CDFILIAL"), QVariant());
    qryFilial->SetParam(QStringLiteral("P_TCDFILIAL"), QStringLiteral("T"));
    qryFilial->Open();

    const QString caption = msgPadrao->Msg(QStringLiteral("FILIAL")) + QLatin1Char('|') +
                            msgPadrao->Msg(QStringLiteral("N_HA_FILIAL"));
    if (Pesquisa::Pesquisar(*dtsFilial, caption, false, true))
        edtCdFilial->SetText(qryFilial->FieldByName(QStringLiteral("CDFILIAL")).AsString());
}

void TfrmDistEmbCard::depCardapioChange(TComponent&) {
    cdsServicos->EmptyDataSet();
    cmbPontosEntrega->Clear();
    LimpaDistribuicao();
}

void TfrmDistEmbCard::depCardapioDateChange(TComponent&) {
    const QDate date = depCardapio->GetDate();
    // Qt counts Monday as 1 and Sunday as 7; the week-day names count from Sunday.
    const int sundayFirst = date.isValid() ? date.dayOfWeek() % 7 + 1 : 0;
    const QString digit = QString::number(sundayFirst).left(1);
    lblDiaDaSemanaCard->SetCaption(Consiste::DiaSemana(digit));
}

void TfrmDistEmbCard::depCardapioExit(TComponent&) {
    depCardapio->CheckValidDate();
}

void TfrmDistEmbCard::panFilialExit(TComponent&) {
    VdFilial(true);
    depCardapio->CheckValidDate();
    if (depCardapio->IsEmpty()) {
        FocusIfPossible(depCardapio);
        Consiste::MensErro(msgPadrao->Msg(QStringLiteral("DTCARDAPIO_N_INF")), true);
    }
    if (cdsServicos->IsEmpty()) GetServicos(edtCdFilial->Text(), depCardapio->GetDate(), false);
    Habilita();
}
