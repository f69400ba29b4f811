#pragma once

#include <QString>

class TfrmDadosPrato;

// The single dish dialog, created by the first CriaDadosPrato and kept (hidden between uses)
// until DestroyDadosPrato; null before that.
extern TfrmDadosPrato* frmDadosPrato;

// Asks the user how much of one dish to move. diners, quantity and extra are on entry the
// amounts that may be moved (the proposal and the maxima); unit is the dish's unit, shown
// beside quantity and extra; qtPerPerson keeps diners and quantity in proportion; dish names
// the dish ("P1 - Arroz") at the top of the dialog. Creates the
// dialog on the first call and reuses it afterwards.
// True when the user confirmed with at least one value not zero: the three then hold the
// choice, rounded to 5 decimals and none above its maximum. False when confirmed with all
// three zero (they are then zero) or when closed any other way (they are left untouched).
bool CriaDadosPrato(double& diners, double& quantity, const QString& unit, double& extra,
                    double qtPerPerson, const QString& dish = QString());

namespace pla {

// Destroys the dish dialog, if it exists, and clears frmDadosPrato; the next CriaDadosPrato
// builds a new one. For the module's unloading and for tests.
void DestroyDadosPrato();

} // namespace pla
