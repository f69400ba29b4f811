#pragma once

#include "framework/data/DataSource.h"
#include "framework/data/ReadOnlyQuery.h"

#include <QString>
#include <memory>

class TBtnPesquisa;
class TComponent;
class TDateEditPlus;
class TEdit;
class TLabel;
class TMessages;
class TWinControl;

namespace pla {

// The branch and menu-date panel of the distribution screens (PLA15400, PLA15420, PLA15500):
// the branch code with its lookup button and the branch name, the menu date with its week
// day, the branch table query behind both, and the tie of a user to his own branch. A screen
// derives from it, so the controls have the same names on every screen; it builds the panel
// once into a box of its own and binds the events it reacts to, calling the rules here.
//
// The screen's message catalogue must hold FILIAL, N_HA_FILIAL (the lookup), FILIAL_N_INF
// and FILIAL_N_CAD (the branch check), besides the key it names for an empty date.
class BranchDatePanel {
public:
    // How the controls lie: the date beside the branch name, or below the branch.
    enum class Arrangement { OneRow, TwoRows };

    TLabel *lblFilial = nullptr, *lblData = nullptr, *lblDiaDaSemanaCard = nullptr;
    TEdit *edtCdFilial = nullptr, *edtNmFilial = nullptr;
    TBtnPesquisa* btnFilial = nullptr;
    TDateEditPlus* depCardapio = nullptr;
    // The branch table: one branch by its code (P_CDFILIAL), or all of them (P_TCDFILIAL 'T').
    std::unique_ptr<TADOIBQuery> qryFilial;
    std::unique_ptr<TDataSource> dtsFilial;

protected:
    BranchDatePanel();
    ~BranchDatePanel();
    BranchDatePanel(const BranchDatePanel&) = delete;
    BranchDatePanel& operator=(const BranchDatePanel&) = delete;

    // Creates the branch query and its source; the screen registers the query with its form.
    void BuildBranchQuery();
    // Creates the controls inside parent, owned by owner, the branch name nameWidth wide.
    // messages is the catalogue the rules below show their messages from.
    void BuildBranchDateControls(TComponent* owner, TWinControl* parent, Arrangement arrangement,
                                 int nameWidth, const TMessages& messages);

    // Checks the branch code: an empty one ends the action with FILIAL_N_INF (focus on the
    // code) when mandatory and is accepted silently otherwise (false); the code is written
    // back normalised ("1" -> "0001"); one the branch table lacks ends the action with
    // FILIAL_N_CAD. A registered branch shows its name (true).
    bool ValidateBranch(bool mandatory);
    // Checks the date: a text that is no date is refused by the edit itself; an empty date
    // ends the action with the message of emptyKey, the focus on the date.
    void RequireDate(const QString& emptyKey);
    // The lookup of every branch; the one the user picks goes into the code field.
    void LookUpBranch();
    // The week-day name of the date ("Quarta"), blank without a date.
    void ShowWeekDay();
    // The code field open when enabled is true and the user is not tied to his branch, closed
    // otherwise; the lookup button follows the code field.
    void ApplyBranchTie(bool enabled);

private:
    void OpenBranchQuery(const QVariant& code, const QVariant& all);
    const TMessages* messages_ = nullptr;
};

} // namespace pla
