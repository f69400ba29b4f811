#pragma once

class TfrmDistEmbCard;

namespace pla {

// Opens the distribution screen for the module's entry points: creates it once (running its
// creation sequence) and shows it; later calls show the same instance again. The module's
// exported globals are passed in, so the rule is tested without the module's exports.
class DistEmbCardOpener {
public:
    // When created is false, builds a screen into screen and runs its creation sequence; only
    // when the whole sequence succeeds is created set. A screen whose creation stopped at a
    // failing step (its message already shown) is destroyed again and both globals stay
    // empty, so the next call tries anew. Then shows the screen. Destroying the screen later
    // clears both globals. Never throws: failures are shown to the user.
    static void Open(bool& created, TfrmDistEmbCard*& screen);
};

} // namespace pla
