#pragma once

#include <QEvent>
#include <QObject>

namespace pla {

// While installed, user input to every window of the application is discarded (mouse, keys,
// wheel, shortcuts, touch, close requests), so no second action can start while one is still
// running; painting, timers and other events pass untouched.
class InputBlocker : public QObject {
public:
    explicit InputBlocker(QObject* parent = nullptr);
    ~InputBlocker() override;

    // Starts or stops blocking (installs or removes the application-wide filter). Counted:
    // each Block(true) needs one Block(false).
    void Block(bool on);
    bool Blocking() const { return depth_ > 0; }
    // Input events discarded since construction (for checks).
    int Discarded() const { return discarded_; }

    // True for the event types a user produces.
    static bool IsUserInput(QEvent::Type type);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int depth_ = 0;
    int discarded_ = 0;
};

} // namespace pla
