#pragma once

#include "framework/ui/TCustomEdit.h"

#include <QStringList>

// A multi-line text edit: Enter starts a new line; Tab moves the focus.
class TMemo : public TCustomEdit {
public:
    explicit TMemo(TComponent* owner);

    QStringList Lines() const;
    void SetLines(const QStringList& lines);
};
