#pragma once

#include "framework/qt/BusyOverlay.h"
#include "framework/qt/InputBlocker.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>

namespace pla {

// Busy feedback for work the interface thread waits for. Begin blocks user input at once and
// shows the wait cursor; when the work is still running after the delay, an animation appears
// over the window. End (as often as Begin was called) removes all of it. RunBlocking runs the
// work on another thread while this thread keeps the windows painting, so the screen never
// looks frozen and no second action can start.
class BusyIndicator : public QObject {
public:
    static constexpr std::chrono::milliseconds DefaultDelay{300};

    explicit BusyIndicator(QObject* parent = nullptr);
    ~BusyIndicator() override;

    // The window the animation covers; may change between busy periods (not owned).
    void SetWindow(QWidget* window);
    QWidget* Window() const { return window_; }
    void SetDelay(std::chrono::milliseconds delay) { delay_ = delay; }

    // Counted: the first Begin starts the busy period, the matching End finishes it.
    void Begin();
    void End();
    bool Active() const { return depth_ > 0; }
    // True once the animation has appeared in the current busy period.
    bool AnimationShown() const;
    const InputBlocker& Blocker() const { return blocker_; }

    // Lifts the busy period's effects (blocked input, animation, wait cursor) while a dialog
    // the user must answer is open inside it; Resume puts them back. Counted.
    void Pause();
    void Resume();
    // Pause for a scope.
    class PauseScope {
    public:
        explicit PauseScope(BusyIndicator& b) : b_(b) { b_.Pause(); }
        ~PauseScope() { b_.Resume(); }
        PauseScope(const PauseScope&) = delete;
        PauseScope& operator=(const PauseScope&) = delete;

    private:
        BusyIndicator& b_;
    };

    // Runs work on a worker thread inside a busy period and returns when it has finished,
    // keeping this thread's event loop turning (input blocked) in the meantime. An exception
    // thrown by work is thrown again here.
    void RunBlocking(const std::function<void()>& work);

private:
    void ShowAnimation();

    QPointer<QWidget> window_;
    QPointer<BusyOverlay> overlay_;
    InputBlocker blocker_;
    QTimer delayTimer_;
    std::chrono::milliseconds delay_ = DefaultDelay;
    int depth_ = 0;
    int paused_ = 0;
};

} // namespace pla
