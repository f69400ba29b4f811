#include "framework/qt/BusyOverlay.h"

#include <QEvent>
#include <QPainter>

namespace pla {

namespace {
constexpr int kDots = 12;
constexpr int kPanelWidth = 180;
constexpr int kPanelHeight = 120;
} // namespace

BusyOverlay::BusyOverlay(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    timer_.setInterval(80);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % kDots;
        update();
    });
    if (parent) parent->installEventFilter(this);
}

void BusyOverlay::Start() {
    if (parentWidget()) setGeometry(parentWidget()->rect());
    frames_ = 0;
    raise();
    show();
    timer_.start();
}

void BusyOverlay::Stop() {
    timer_.stop();
    hide();
}

bool BusyOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        setGeometry(parentWidget()->rect());
    return false;
}

void BusyOverlay::paintEvent(QPaintEvent*) {
    ++frames_;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(0, 0, 0, 40));
    const QRect panel(QPoint((width() - kPanelWidth) / 2, (height() - kPanelHeight) / 2),
                      QSize(kPanelWidth, kPanelHeight));
    p.setPen(QColor(120, 120, 120));
    p.setBrush(QColor(250, 250, 250, 235));
    p.drawRoundedRect(panel, 8, 8);

    const QPointF centre(panel.center().x() + 0.5, panel.top() + 45);
    for (int i = 0; i < kDots; ++i) {
        // The dot at the current step is darkest; the trail fades behind it.
        const int age = (step_ - i + kDots) % kDots;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 90, 170, 255 - age * 18));
        p.save();
        p.translate(centre);
        p.rotate(360.0 * i / kDots);
        p.drawEllipse(QPointF(0, -22), 4, 4);
        p.restore();
    }
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRect(panel.left(), panel.top() + 80, panel.width(), 24), Qt::AlignCenter,
               QStringLiteral("Aguarde…"));
}

} // namespace pla
