#pragma once

class QDate;
class QString;
class TNetConnection;
class TfrmDistribuicaoFilial;

// The single branch generation screen: null until the first CriaDistribuicaoFilial, and again
// after the screen is destroyed.
extern TfrmDistribuicaoFilial* frmDistribuicaoFilial;

// Opens the branch generation screen modally for the caller's branch code and menu date and
// returns when it is closed. The screen is created on the first call (owned by nobody but
// the process) and reused afterwards; every remote call it makes during this opening goes
// through net, the distribution screen's connection, which must outlive the call. When the
// branch is empty or not registered, or a remote call of the opening is refused, the message
// is shown, the screen is not shown, and the caller's action ends (Abort is thrown).
void CriaDistribuicaoFilial(const QString& cdFilial, const QDate& dtCardapio, TNetConnection& net);
