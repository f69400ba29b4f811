#include "host/desktop/ScreenshotTaker.h"

#include <QApplication>
#include <QPainter>
#include <cstdio>

namespace pla {

ScreenshotTaker::ScreenshotTaker(QWidget* window, QString file, std::function<bool()> ready,
                                 int limitMs)
    : window_(window), file_(std::move(file)), ready_(std::move(ready)), limitMs_(limitMs) {
    timer_.setInterval(40);
    connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
}

void ScreenshotTaker::Start() {
    clock_.start();
    timer_.start();
}

QImage ScreenshotTaker::Capture() const {
    if (!window_) return {};
    QImage image = window_->grab().toImage();
    QWidget* box = QApplication::activeModalWidget();
    if (box && box != window_ && box->isVisible()) {
        QPainter p(&image);
        const QImage boxImage = box->grab().toImage();
        const QPoint at = window_->mapFromGlobal(box->mapToGlobal(QPoint(0, 0)));
        const QPoint centred((image.width() - boxImage.width()) / 2,
                             (image.height() - boxImage.height()) / 2);
        // Without a window manager the box may sit at the screen's corner; show it centred.
        const bool inside = QRect(QPoint(0, 0), image.size()).contains(QRect(at, boxImage.size()));
        p.drawImage(inside && at != QPoint(0, 0) ? at : centred, boxImage);
    }
    return image;
}

void ScreenshotTaker::Poll() {
    const bool waitingBox = QApplication::activeModalWidget() != nullptr;
    if (ready_() || waitingBox || clock_.elapsed() > limitMs_) ++settled_;
    // A few more turns of the event loop, so every window has painted its final state.
    if (settled_ < 4) return;
    timer_.stop();
    const QImage image = Capture();
    const bool ok = !image.isNull() && image.save(file_, "PNG");
    if (!ok)
        std::fprintf(stderr, "Não foi possível gravar a imagem em %s\n",
                     file_.toLocal8Bit().constData());
    QApplication::exit(ok ? 0 : 2);
}

} // namespace pla
