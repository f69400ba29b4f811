#pragma once

#include <QTimer>
#include <QWidget>

namespace pla {

// A small animated "Aguarde…" panel drawn centred over its parent window. It turns on its own
// timer, so it moves whenever the event loop runs.
class BusyOverlay : public QWidget {
public:
    explicit BusyOverlay(QWidget* parent);

    // Shows the panel over the whole parent and starts turning.
    void Start();
    // Hides the panel and stops turning.
    void Stop();
    // Animation frames painted since Start (for checks).
    int Frames() const { return frames_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer timer_;
    int step_ = 0;
    int frames_ = 0;
};

} // namespace pla
