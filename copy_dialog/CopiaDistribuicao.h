#pragma once

#include "framework/ui/TfrmRotiGeral.h"

#include <QDate>
#include <optional>

class TDateEditPlus;
class TLabel;

// Dialog "Copiar Distribuição": asks from which date the distribution of the screen's service
// and delivery point is copied. Opens on the date seven days before the menu date, the same
// week day of the week before.
//
// Life: constructed once (it builds its own controls and catalogue), then opened any number
// of times with Ask(); closing only hides it.
class TfrmCopiaDistribuicao : public TfrmRotiGeral {
public:
    explicit TfrmCopiaDistribuicao(TComponent* owner = nullptr);
    ~TfrmCopiaDistribuicao() override;

    TLabel *lblOrigem = nullptr, *lblDiaSemana = nullptr;
    TDateEditPlus* depOrigem = nullptr;

    // Shows menuDate less seven days, runs the dialog and gives the date confirmed; nothing
    // when the dialog was closed any other way.
    std::optional<QDate> Ask(const QDate& menuDate);

    // Refuses, with the focus on the date and its message, an empty or invalid date and the
    // menu date itself (a distribution is not copied onto itself); otherwise closes confirmed.
    void sbtConfirmaClick(TComponent& sender) override;
    // Shows the week day of the date typed.
    void depOrigemDateChange(TComponent& sender);

private:
    void BuildLayout();
    void Refuse(const QString& key);

    QDate menuDate_;
};
