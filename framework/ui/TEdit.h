#pragma once

#include "framework/ui/TCustomEdit.h"

// A single-line text edit.
class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};
