#include "distribution/DistEmbCardOpener.h"

#include "distribution/DistEmbCard.h"
#include "framework/data/Abort.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/Dispatch.h"

#include <exception>

namespace pla {

namespace {

// Shows a failure that escaped the dispatcher (no error handler installed), as the last
// resort: the host calls the module through a C entry that must not throw.
void ShowEscaped(const QString& text) {
    if (HasDialogs()) Dialogs().ShowError(text);
}

} // namespace

void DistEmbCardOpener::Open(bool& created, TfrmDistEmbCard*& screen) {
    try {
        if (!created) {
            TfrmDistEmbCard* fresh = new TfrmDistEmbCard(nullptr);
            bool ok = false;
            try {
                ok = Dispatch([&] { fresh->DoCreate(); });
            } catch (...) {
                TForm::Free(fresh);
                throw;
            }
            if (!ok) {
                // The failing step showed its message; the half-made screen goes.
                TForm::Free(fresh);
                return;
            }
            screen = fresh;
            created = true;
            // The screen may be destroyed by its host at any time; the globals must not keep
            // pointing at it.
            bool* createdFlag = &created;
            TfrmDistEmbCard** slot = &screen;
            TfrmDistEmbCard* self = screen;
            screen->AddChangeListener([createdFlag, slot, self](TComponent&, TChange what) {
                if (what != TChange::Destroyed || *slot != self) return;
                *slot = nullptr;
                *createdFlag = false;
            });
        }
        Dispatch([&] { screen->Show(); });
    } catch (const Abort&) {
    } catch (const std::exception& e) {
        ShowEscaped(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowEscaped(QStringLiteral("Falha inesperada ao abrir a tela PLA15400."));
    }
}

} // namespace pla
