#include "framework/qt/BusyIndicator.h"

#include <QApplication>
#include <QEventLoop>
#include <atomic>
#include <exception>
#include <thread>

namespace pla {

BusyIndicator::BusyIndicator(QObject* parent) : QObject(parent) {
    delayTimer_.setSingleShot(true);
    connect(&delayTimer_, &QTimer::timeout, this, [this] { ShowAnimation(); });
}

BusyIndicator::~BusyIndicator() {
    if (depth_ > 0 && paused_ == 0) QApplication::restoreOverrideCursor();
    delete overlay_.data();
}

void BusyIndicator::SetWindow(QWidget* window) {
    if (window_ == window) return;
    delete overlay_.data();
    window_ = window;
}

void BusyIndicator::Begin() {
    if (depth_++ > 0 || paused_ > 0) return;
    blocker_.Block(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    delayTimer_.start(delay_);
}

void BusyIndicator::End() {
    if (depth_ == 0 || --depth_ > 0 || paused_ > 0) return;
    delayTimer_.stop();
    if (overlay_) overlay_->Stop();
    QApplication::restoreOverrideCursor();
    blocker_.Block(false);
}

void BusyIndicator::Pause() {
    if (paused_++ > 0 || depth_ == 0) return;
    delayTimer_.stop();
    if (overlay_) overlay_->Stop();
    QApplication::restoreOverrideCursor();
    blocker_.Block(false);
}

void BusyIndicator::Resume() {
    if (paused_ == 0 || --paused_ > 0 || depth_ == 0) return;
    blocker_.Block(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    delayTimer_.start(delay_);
}

bool BusyIndicator::AnimationShown() const {
    return overlay_ && overlay_->isVisible();
}

void BusyIndicator::ShowAnimation() {
    if (depth_ == 0 || !window_) return;
    if (!overlay_) overlay_ = new BusyOverlay(window_);
    overlay_->Start();
}

void BusyIndicator::RunBlocking(const std::function<void()>& work) {
    Begin();
    std::exception_ptr failure;
    std::atomic<bool> done{false};
    QEventLoop loop;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        // Queued: reaches the loop even when it has not started turning yet.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    while (!done)
        loop.exec();
    worker.join();
    End();
    if (failure) std::rethrow_exception(failure);
}

} // namespace pla
