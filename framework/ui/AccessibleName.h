#pragma once

#include <QString>

class TControl;

namespace pla {

// The name a screen reader gives control, the way a sighted user reads the screen: the name
// set on it, else the caption of the label that names it (TLabel::FocusControl), else its own
// caption (buttons, check boxes, boxes; "&" marks dropped), else its hint (the part before
// "|"), else the caption of the box it is the only focusable control of. Empty when none
// says anything.
QString AccessibleName(const TControl& control);

} // namespace pla
