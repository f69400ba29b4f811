// What the dialog does: opening, the key filter, the changed flags, the exit rules that keep
// diners and quantity in proportion, and the checks of the confirmation.
#include "dish_dialog/DadosPrato.h"

#include "amounts/DishAmounts.h"
#include "framework/data/Abort.h"
#include "framework/data/NumberFormat.h"
#include "framework/services/Consiste.h"
#include "framework/ui/Colors.h"
#include "framework/ui/EConvertError.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMessages.h"

#include <cmath>

namespace {

// Every amount the dialog writes, apart from the whole-amount recomputations.
QString Fixed(double v) {
    return NumberFormat::Format(QStringLiteral("##0.00000"), v);
}

// A catalogue text with each %s replaced by the next argument; arguments beyond the
// placeholders are not shown.
QString FillPlaceholders(QString text, const QStringList& args) {
    qsizetype from = 0;
    for (const QString& arg : args) {
        const qsizetype at = text.indexOf(QLatin1String("%s"), from);
        if (at < 0) break;
        text.replace(at, 2, arg);
        from = at + arg.size();
    }
    return text;
}

} // namespace

double TfrmDadosPrato::StoFRound(const QString& text, const QString& field) {
    const std::optional<double> v = NumberFormat::Parse(text);
    if (v && std::isfinite(*v)) return pla::DishAmounts::Round5(*v);
    QString problem = Consiste::EmptyString(text)
                          ? QStringLiteral("informe um número.")
                          : QStringLiteral("'%1' não é um número válido.").arg(text.trimmed());
    if (field.isEmpty())
        problem[0] = problem[0].toUpper();
    else
        problem = field + QStringLiteral(": ") + problem;
    throw EConvertError(problem);
}

double TfrmDadosPrato::PrepareEdit(TEdit& edit, double amount) {
    // Rounding up would offer more than there is (0,111105 -> 0,11111) and a confirmed
    // proposal would then leave a negative amount behind.
    const double maximum = pla::DishAmounts::Maximum(amount);
    // The text is the maximum itself, so confirming an untouched proposal always passes.
    edit.SetText(Fixed(maximum));
    // Nothing can be taken from an amount of zero, so its edit is closed to the user.
    const bool open = maximum != 0;
    edit.SetEnabled(open);
    edit.SetColor(open ? clWindow : clBtnFace);
    return maximum;
}

void TfrmDadosPrato::Prepare(double diners, double quantity, const QString& unit, double extra,
                             double qtPerPerson) {
    maxComensais_ = PrepareEdit(*edtComensais, diners);
    maxPrato_ = PrepareEdit(*edtPrato, quantity);
    lblUnidade->SetCaption(unit);
    lblUnidadeExtra->SetCaption(unit);
    maxExtra_ = PrepareEdit(*edtExtra, extra);
    // Writing the proposals is not a change by the user.
    comensaisChanged_ = false;
    pratoChanged_ = false;
    qtPorPessoa_ = qtPerPerson;
}

bool TfrmDadosPrato::Ask(double& diners, double& quantity, const QString& unit, double& extra,
                         double qtPerPerson, const QString& dish) {
    grbDadosRel->SetCaption(dish);
    Prepare(diners, quantity, unit, extra, qtPerPerson);
    if (ShowModal() != mrOk) return false;
    // All three are read before any is handed back, so the caller never gets a mixture.
    const double d = StoFRound(edtComensais->Text(), lblComensais->Caption());
    const double q = StoFRound(edtPrato->Text(), lblQuantidade->Caption());
    const double e = StoFRound(edtExtra->Text(), lblExtra->Caption());
    diners = d;
    quantity = q;
    extra = e;
    return d != 0 || q != 0 || e != 0;
}

void TfrmDadosPrato::FilterKey(const TEdit& edit, QChar& key) {
    const char16_t c = key.unicode();
    if (c == 8 || c == 9 || c == 13) return; // Backspace, Tab, Enter
    if (c >= u'0' && c <= u'9') return;
    if (c == u',' && !edit.Text().contains(QLatin1Char(','))) return;
    key = QChar();
}

void TfrmDadosPrato::edtComensaisKeyPress(TComponent&, QChar& key) {
    FilterKey(*edtComensais, key);
}

void TfrmDadosPrato::edtPratoKeyPress(TComponent&, QChar& key) {
    FilterKey(*edtPrato, key);
}

void TfrmDadosPrato::edtExtraKeyPress(TComponent&, QChar& key) {
    FilterKey(*edtExtra, key);
}

void TfrmDadosPrato::edtComensaisChange(TComponent&) {
    comensaisChanged_ = true;
}

void TfrmDadosPrato::edtPratoChange(TComponent&) {
    pratoChanged_ = true;
    // Diners still marked changed at this point were written by the quantity's own rule from
    // the quantity the user is now replacing. Left marked, the confirmation would run their
    // rule first and overwrite the quantity just typed with one computed from stale diners;
    // the quantity's rule recomputes them anyway.
    if (edtPrato->Modified()) comensaisChanged_ = false;
}

void TfrmDadosPrato::edtComensaisExit(TComponent&) {
    if (!comensaisChanged_) return;
    const QString field = lblComensais->Caption();
    edtComensais->SetText(Fixed(StoFRound(edtComensais->Text(), field)));
    const double d = StoFRound(edtComensais->Text(), field);
    if (d == maxComensais_) {
        // All the diners take all of the dish, exactly as it was offered.
        edtPrato->SetText(NumberFormat::General(maxPrato_));
    } else {
        if (const auto q = pla::DishAmounts::QuantityFor(d, qtPorPessoa_))
            edtPrato->SetText(Fixed(*q));
    }
    // The quantity's own flag stays set by the write above, so its rule runs next.
    comensaisChanged_ = false;
}

void TfrmDadosPrato::edtPratoExit(TComponent&) {
    if (!pratoChanged_) return;
    const QString field = lblQuantidade->Caption();
    edtPrato->SetText(Fixed(StoFRound(edtPrato->Text(), field)));
    const double q = StoFRound(edtPrato->Text(), field);
    if (q == maxPrato_) {
        edtComensais->SetText(NumberFormat::General(maxComensais_));
    } else if (const auto d = pla::DishAmounts::DinersFor(q, qtPorPessoa_)) {
        // Without a quantity per person there is no proportion to follow: the diners are left
        // as they are rather than shown as an infinite or undefined number.
        edtComensais->SetText(Fixed(*d));
    }
    pratoChanged_ = false;
}

void TfrmDadosPrato::edtExtraExit(TComponent&) {
    edtExtra->SetText(Fixed(StoFRound(edtExtra->Text(), lblExtra->Caption())));
}

void TfrmDadosPrato::Refuse(TEdit& edit, const QString& key, const QStringList& args) {
    if (edit.CanFocus()) edit.SetFocus();
    Consiste::MensErro(FillPlaceholders(msgPadrao->Msg(key), args), true);
    throw Abort(); // MensErro ends the action itself; this only tells the compiler so
}

void TfrmDadosPrato::sbtConfirmaClick(TComponent& sender) {
    // A change still pending in an edit counts as if the user had left it: after the diners
    // both rules run, so the diners shown are those of the recomputed quantity.
    edtComensaisExit(*edtComensais);
    edtPratoExit(*edtPrato);

    if (StoFRound(edtComensais->Text(), lblComensais->Caption()) > maxComensais_)
        Refuse(*edtComensais, QStringLiteral("COMENS_MAIOR"),
               {NumberFormat::General(maxComensais_)});
    if (StoFRound(edtPrato->Text(), lblQuantidade->Caption()) > maxPrato_)
        Refuse(*edtPrato, QStringLiteral("PRATO_MAIOR"),
               {NumberFormat::General(maxPrato_), lblUnidade->Caption()});
    if (StoFRound(edtExtra->Text(), lblExtra->Caption()) > maxExtra_)
        Refuse(*edtExtra, QStringLiteral("EXTRA_MAIOR"),
               {NumberFormat::General(maxExtra_), lblUnidade->Caption()});

    TfrmRotiGeral::sbtConfirmaClick(sender);
}
