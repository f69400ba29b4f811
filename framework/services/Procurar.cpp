#include "framework/services/Procurar.h"

#include "framework/data/ClientDataSet.h"
#include "framework/ui/DialogService.h"

namespace Procurar {

void Procura(TClientDataSet& dataSet) {
    if (!dataSet.Active()) return;
    pla::Dialogs().Find(dataSet);
}

} // namespace Procurar
