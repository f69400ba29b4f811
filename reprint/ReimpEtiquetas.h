#pragma once

#include "framework/ui/TfrmRotiGeral.h"
#include "remote/DistributionDay.h"
#include "report/LabelStock.h"

#include <QDateTime>
#include <QList>
#include <optional>

class TComboBox;
class TDateEditPlus;
class TEdit;
class TLabel;

// Dialog "Reimprimir etiquetas da embalagem": which units of one packaging to reprint (all,
// "2" or "1-3"), on which label stock, and the preparation the labels state (the one of the
// distribution's last labels print, so a reprinted label says what the torn one said).
class TfrmReimpEtiquetas : public TfrmRotiGeral {
public:
    // The user's choice.
    struct Choice {
        QList<int> units;
        const pla::LabelStock* stock = nullptr;
        QDateTime prepared;
    };

    explicit TfrmReimpEtiquetas(TComponent* owner = nullptr);
    ~TfrmReimpEtiquetas() override;

    TLabel *lblEmbalagem = nullptr, *lblUnidades = nullptr, *lblEtiqueta = nullptr,
           *lblPreparo = nullptr;
    TEdit *edtUnidades = nullptr, *edtHoraPreparo = nullptr;
    TComboBox* cmbEtiqueta = nullptr;
    TDateEditPlus* dpePreparo = nullptr;

    // Opens modally for `packaging`, units empty (all), the preparation proposed; the choice
    // once confirmed, nullopt when cancelled.
    std::optional<Choice> Ask(const pla::DayPackaging& packaging, const QDateTime& prepared);

    // Refuses units that are not one unit or a range of the packaging's, and an unreadable
    // preparation, focusing the field at fault; otherwise closes confirmed.
    void sbtConfirmaClick(TComponent& sender) override;

private:
    QDateTime Prepared() const;
    int count_ = 1;
    QList<int> units_;
};
