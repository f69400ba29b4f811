#pragma once

#include <QDate>
#include <optional>

class TfrmCopiaDistribuicao;

// The single copy dialog, created by the first CriaCopiaDistribuicao and kept (hidden between
// uses) until DestroyCopiaDistribuicao; null before that.
extern TfrmCopiaDistribuicao* frmCopiaDistribuicao;

// Asks from which date to copy the distribution of menuDate: the date confirmed, or nothing
// when the user cancelled. Creates the dialog on the first call and reuses it afterwards.
std::optional<QDate> CriaCopiaDistribuicao(const QDate& menuDate);

namespace pla {

// Destroys the copy dialog, if it exists, and clears frmCopiaDistribuicao; the next
// CriaCopiaDistribuicao builds a new one. For the module's unloading and for tests.
void DestroyCopiaDistribuicao();

} // namespace pla
