#pragma once

#include "framework/data/FieldTypes.h"

namespace pla {

// A string field of `size` characters, the kind most of the screens' datasets are made of.
inline TFieldDef StringField(const char* name, int size, const QString& label = {},
                             bool visible = true) {
    TFieldDef d;
    d.Name = QString::fromLatin1(name);
    d.Type = TFieldType::String;
    d.Size = size;
    d.DisplayLabel = label;
    d.Visible = visible;
    return d;
}

} // namespace pla
