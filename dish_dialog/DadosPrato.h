#pragma once

#include "framework/ui/TfrmRotiGeral.h"

#include <QChar>
#include <QString>

class TEdit;
class TLabel;

// Dialog PLA15410 "Dados do Prato": asks how many diners, how much of a dish and how much
// extra to move. The amounts given when it opens are both the proposed values and the maxima;
// the user may lower them. Changing the diners recomputes the quantity and changing the
// quantity recomputes the diners, through the dish's quantity per person. Every number is
// shown with five decimals and a decimal comma.
//
// Life: constructed once (it builds its own controls and catalogue), then opened any number
// of times with Ask(); closing only hides it.
class TfrmDadosPrato : public TfrmRotiGeral {
public:
    explicit TfrmDadosPrato(TComponent* owner = nullptr);
    ~TfrmDadosPrato() override;

    // ---- controls, all inside grbDadosRel ---------------------------------------------------
    TLabel *lblComensais = nullptr, *lblQuantidade = nullptr, *lblExtra = nullptr;
    TEdit *edtComensais = nullptr, *edtPrato = nullptr, *edtExtra = nullptr;
    // The dish's unit, right of the quantity and of the extra.
    TLabel *lblUnidade = nullptr, *lblUnidadeExtra = nullptr;

    // Puts the dialog in its opening state: the three amounts, each as DishAmounts::Maximum
    // gives it,
    // become the maxima and are shown with five decimals; an edit whose maximum is exactly
    // zero is disabled and grey, the others enabled and white; both unit labels show unit;
    // the changed flags are clear; qtPerPerson is kept unrounded for the recomputations.
    void Prepare(double diners, double quantity, const QString& unit, double extra,
                 double qtPerPerson);

    // Prepare() with dish named at the top, then the modal run through the installed form host.
    // True when the user confirmed and at least one chosen value is not zero: the three values then
    // hold the choice, each rounded to 5 decimals and none above its maximum. Confirmed with all
    // three zero: false, and the three are set to zero. Closed any other way: false, the
    // three values untouched.
    bool Ask(double& diners, double& quantity, const QString& unit, double& extra,
             double qtPerPerson, const QString& dish = QString());

    // The number typed in text (decimal comma) rounded to 5 decimal places. Text that is not
    // a finite number (empty, a lone comma, letters) throws EConvertError with a Portuguese
    // message naming field when one is given.
    static double StoFRound(const QString& text, const QString& field = QString());

    // Whether the text of the diners / quantity edit changed since its exit rule last ran.
    bool ComensaisChanged() const { return comensaisChanged_; }
    bool PratoChanged() const { return pratoChanged_; }

    // ---- handlers ---------------------------------------------------------------------------
    // Runs the pending exit rules of diners and quantity, then checks each value against its
    // maximum (a value equal to its maximum passes); the first one above it gets the focus
    // when it can take it and its message, and the dialog stays open. Otherwise the dialog
    // closes confirmed.
    void sbtConfirmaClick(TComponent& sender) override;
    // Lets through Backspace, Tab, Enter, the digits and one decimal comma; swallows every
    // other character (signs, points, letters, a second comma).
    void edtComensaisKeyPress(TComponent& sender, QChar& key);
    void edtPratoKeyPress(TComponent& sender, QChar& key);
    void edtExtraKeyPress(TComponent& sender, QChar& key);
    // Any change of the text, typed or written by a recomputation, marks the edit changed.
    void edtComensaisChange(TComponent& sender);
    // The same for the quantity; a quantity the user types also drops the pending rule of
    // diners that were recomputed from the quantity it replaces, so that confirming keeps
    // the quantity typed.
    void edtPratoChange(TComponent& sender);
    // When the diners changed: shows them with five decimals and recomputes the quantity
    // (the quantity maximum itself when the diners are their maximum).
    void edtComensaisExit(TComponent& sender);
    // When the quantity changed: shows it with five decimals and recomputes the diners (the
    // diners maximum itself when the quantity is its maximum). With no quantity per person
    // there is no proportion, so the diners are then left as they are.
    void edtPratoExit(TComponent& sender);
    // Always: shows the extra with five decimals.
    void edtExtraExit(TComponent& sender);

private:
    void BuildLayout();
    void BuildMessages();
    void BindEvents();
    // The key filter shared by the three edits.
    static void FilterKey(const TEdit& edit, QChar& key);
    // One opening step: maximum, text, enabled state and colour of an edit.
    static double PrepareEdit(TEdit& edit, double amount);
    // Reports the catalogue message key (its %s replaced by the arguments in turn) through
    // the error box and ends the action, after moving the focus to edit when it can take it.
    [[noreturn]] void Refuse(TEdit& edit, const QString& key, const QStringList& args);

    double maxComensais_ = 0;
    double maxPrato_ = 0;
    double maxExtra_ = 0;
    double qtPorPessoa_ = 0;
    bool comensaisChanged_ = false;
    bool pratoChanged_ = false;
};
