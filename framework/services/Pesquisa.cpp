#include "framework/services/Pesquisa.h"

#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/ui/DialogService.h"

namespace Pesquisa {

bool Pesquisar(TDataSource& source, const QString& caption, bool /*multiSelect*/, bool /*modal*/) {
    TClientDataSet* ds = source.DataSet();
    if (!ds || !ds->Active() || ds->IsEmpty()) {
        const qsizetype bar = caption.indexOf(QLatin1Char('|'));
        const QString empty = bar < 0 ? QString() : caption.mid(bar + 1);
        pla::Dialogs().ShowInformation(
            empty.isEmpty() ? QStringLiteral("Não há registros para selecionar.") : empty);
        return false;
    }
    const int before = ds->RecNo();
    if (pla::Dialogs().PickList(source, caption)) return true;
    // A list that moved the cursor while browsing must not leave it elsewhere on cancel.
    if (ds->Active() && ds->RecNo() != before && before >= 1 && before <= ds->RecordCount())
        ds->SetRecNo(before);
    return false;
}

} // namespace Pesquisa
