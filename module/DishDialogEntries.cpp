#include "module/DishDialogEntries.h"

#include "dish_dialog/CriaDadosPrato.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/Dispatch.h"

#include <QString>
#include <exception>

extern "C" {

bool CriaDadosPrato(double* diners, double* quantity, const char* unit, double* extra,
                    double qtPerPerson) {
    if (!diners || !quantity || !extra) return false;
    bool confirmed = false;
    try {
        pla::Dispatch([&] {
            confirmed =
                ::CriaDadosPrato(*diners, *quantity, unit ? QString::fromUtf8(unit) : QString(),
                                 *extra, qtPerPerson);
        });
    } catch (const std::exception& e) {
        // Only when no failure handler is installed; a C caller cannot take an exception.
        if (pla::HasDialogs()) pla::Dialogs().ShowError(QString::fromUtf8(e.what()));
    } catch (...) {
        // Nothing may cross into a C caller.
    }
    return confirmed;
}
}
