#include "framework/qt/InputBlocker.h"

#include <QCoreApplication>
#include <QEvent>

namespace pla {

InputBlocker::InputBlocker(QObject* parent) : QObject(parent) {}

InputBlocker::~InputBlocker() {
    if (depth_ > 0 && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void InputBlocker::Block(bool on) {
    auto* app = QCoreApplication::instance();
    if (on) {
        if (depth_++ == 0 && app) app->installEventFilter(this);
    } else if (depth_ > 0) {
        if (--depth_ == 0 && app) app->removeEventFilter(this);
    }
}

bool InputBlocker::IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::InputMethod:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    if (depth_ == 0) return false;
    if (event->type() == QEvent::Close && event->spontaneous()) {
        // A window closed by the user in the middle of a call would destroy the form the call
        // is working for; the close is refused instead.
        event->ignore();
        ++discarded_;
        return true;
    }
    if (IsUserInput(event->type())) {
        ++discarded_;
        return true;
    }
    return false;
}

} // namespace pla
