#pragma once

#include "framework/ui/TDBEdit.h"

// A multi-line edit bound to a field (Enter starts a new line).
class TDBMemo : public TDBEdit {
public:
    explicit TDBMemo(TComponent* owner);
};
