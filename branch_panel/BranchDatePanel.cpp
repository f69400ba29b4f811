#include "branch_panel/BranchDatePanel.h"

#include "framework/data/StringField.h"
#include "framework/services/Consiste.h"
#include "framework/services/Pesquisa.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/Colors.h"
#include "framework/ui/ControlFactory.h"
#include "framework/ui/TBtnPesquisa.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMessages.h"

namespace pla {

namespace {

constexpr int kCodeWidth = 4;

// The places of the controls: label, code, lookup button and name on the branch row; label,
// date and week day on the date row, which may be the same.
struct Places {
    int labelWidth, branchTop, codeWidth, dateLeft, dateTop, dateWidth;
};

} // namespace

BranchDatePanel::BranchDatePanel() = default;
BranchDatePanel::~BranchDatePanel() = default;

void BranchDatePanel::BuildBranchQuery() {
    qryFilial = std::make_unique<TADOIBQuery>(QStringLiteral("qryFilial"));
    qryFilial->SQL = QStringLiteral(
        "SELECT CDFILIAL, NMFILIAL, IDCNTRRESC, CDFILCENTPME, IDFILCENTPME FROM FILIAL "
        "WHERE (CDFILIAL = :P_CDFILIAL OR :P_TCDFILIAL = 'T') ORDER BY CDFILIAL");
    qryFilial->SetConnectionName(Zelvora::DatabaseConnectionName());
    TFieldDef code = pla::StringField("CDFILIAL", kCodeWidth, QStringLiteral("Código"));
    code.DisplayWidth = 6;
    code.Required = true;
    code.EditMask = QStringLiteral(">aaaa;0; ");
    qryFilial->AddField(code);
    qryFilial->AddField(pla::StringField("NMFILIAL", 30, QStringLiteral("Nome")));
    qryFilial->AddField(pla::StringField("IDCNTRRESC", 1, {}, false));
    qryFilial->AddField(pla::StringField("CDFILCENTPME", kCodeWidth, {}, false));
    qryFilial->AddField(pla::StringField("IDFILCENTPME", 1, {}, false));
    dtsFilial = std::make_unique<TDataSource>(QStringLiteral("dtsFilial"), qryFilial.get());
}

void BranchDatePanel::BuildBranchDateControls(TComponent* owner, TWinControl* parent,
                                              Arrangement arrangement, int nameWidth,
                                              const TMessages& messages) {
    messages_ = &messages;
    const Places at = arrangement == Arrangement::OneRow ? Places{40, 6, 67, -1, 6, 106}
                                                         : Places{36, 18, 50, 8, 46, 100};
    lblFilial = MakeBoldLabel(owner, parent, "lblFilial", QStringLiteral("Filial"), 8,
                              at.branchTop + 4, at.labelWidth);

    edtCdFilial = MakeControl<TEdit>(owner, parent, "edtCdFilial");
    edtCdFilial->SetBounds(48, at.branchTop, at.codeWidth, 21);
    edtCdFilial->SetEditMask(QStringLiteral(">aaaa;0; "));
    edtCdFilial->SetMaxLength(kCodeWidth);
    edtCdFilial->SetCharCase(TEditCharCase::ecUpperCase);
    edtCdFilial->SetColor(clInfoBk);

    const int buttonLeft = 48 + at.codeWidth + 1;
    btnFilial = MakeControl<TBtnPesquisa>(owner, parent, "btnFilial");
    btnFilial->SetBounds(buttonLeft, at.branchTop, 21, 21);
    btnFilial->SetHint(QStringLiteral("Pesquisar filial"));
    btnFilial->SetShowHint(true);
    btnFilial->SetEdit(edtCdFilial);

    const int nameLeft = buttonLeft + 23;
    edtNmFilial = MakeControl<TEdit>(owner, parent, "edtNmFilial");
    edtNmFilial->SetBounds(nameLeft, at.branchTop, nameWidth, 21);
    edtNmFilial->SetColor(clBtnFace);
    edtNmFilial->SetEnabled(false);
    edtNmFilial->SetTabStop(false);

    // On one row the date follows the name; on two it starts the second row.
    const int labelLeft = at.dateLeft < 0 ? nameLeft + nameWidth + 14 : at.dateLeft;
    const int dateLeft = labelLeft + (at.dateLeft < 0 ? 34 : 40);
    lblData = MakeBoldLabel(owner, parent, "lblData", QStringLiteral("Data"), labelLeft,
                            at.dateTop + 4, at.labelWidth);
    depCardapio = MakeControl<TDateEditPlus>(owner, parent, "depCardapio");
    depCardapio->SetBounds(dateLeft, at.dateTop, at.dateWidth, 21);
    depCardapio->SetColor(clInfoBk);
    lblDiaDaSemanaCard = MakeControl<TLabel>(owner, parent, "lblDiaDaSemanaCard");
    lblDiaDaSemanaCard->SetBounds(dateLeft + at.dateWidth + 8, at.dateTop + 4, 80, 13);
    lblDiaDaSemanaCard->SetCaption(QString());
    // What a screen reader says for each field.
    lblFilial->SetFocusControl(edtCdFilial);
    edtNmFilial->SetAccessibleName(QStringLiteral("Nome da filial"));
    lblData->SetFocusControl(depCardapio);
}

void BranchDatePanel::OpenBranchQuery(const QVariant& code, const QVariant& all) {
    // The code is bound as a value, never pasted into the statement.
    qryFilial->Close();
    qryFilial->SetConnectionName(Zelvora::DatabaseConnectionName());
    qryFilial->SetParam(QStringLiteral("P_CDFILIAL"), code);
    qryFilial->SetParam(QStringLiteral("P_TCDFILIAL"), all);
    qryFilial->Open();
}

bool BranchDatePanel::ValidateBranch(bool mandatory) {
    const QString typed = edtCdFilial->Text();
    if (Consiste::EmptyString(typed)) {
        if (!mandatory) return false;
        edtCdFilial->FocusIfPossible();
        Consiste::MensErro(messages_->Msg(QStringLiteral("FILIAL_N_INF")), true);
    }
    const QString code = Consiste::Ajusta(typed, kCodeWidth);
    if (code != typed) edtCdFilial->SetText(code);

    OpenBranchQuery(edtCdFilial->Text(), QVariant());
    if (qryFilial->IsEmpty()) {
        edtCdFilial->FocusIfPossible();
        // Selected, so that the next code typed replaces the wrong one.
        edtCdFilial->SelectAll();
        Consiste::MensErro(messages_->Msg(QStringLiteral("FILIAL_N_CAD")), true);
    }
    edtNmFilial->SetText(qryFilial->FieldByName(QStringLiteral("NMFILIAL")).AsString());
    return true;
}

void BranchDatePanel::RequireDate(const QString& emptyKey) {
    depCardapio->CheckValidDate();
    if (!depCardapio->IsEmpty()) return;
    depCardapio->FocusIfPossible();
    Consiste::MensErro(messages_->Msg(emptyKey), true);
}

void BranchDatePanel::LookUpBranch() {
    OpenBranchQuery(QVariant(), QStringLiteral("T"));
    const QString caption = messages_->Msg(QStringLiteral("FILIAL")) + QLatin1Char('|') +
                            messages_->Msg(QStringLiteral("N_HA_FILIAL"));
    if (Pesquisa::Pesquisar(*dtsFilial, caption, false, true))
        edtCdFilial->SetText(qryFilial->FieldByName(QStringLiteral("CDFILIAL")).AsString());
}

void BranchDatePanel::ShowWeekDay() {
    const QDate date = depCardapio->GetDate();
    // Qt counts Monday as 1 and Sunday as 7; the week-day names count from Sunday.
    lblDiaDaSemanaCard->SetCaption(
        date.isValid() ? Consiste::DiaSemana(QString::number(date.dayOfWeek() % 7 + 1))
                       : QString());
}

void BranchDatePanel::ApplyBranchTie(bool enabled) {
    edtCdFilial->SetEnabled(enabled && !Zelvora::ModuFili);
    btnFilial->SetEnabled(edtCdFilial->Enabled());
}

} // namespace pla
