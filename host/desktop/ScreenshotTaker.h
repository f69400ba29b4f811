#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace pla {

// Writes a PNG of a window once the screen is settled, then ends the application: when ready()
// says the work is done (or a message box waits for the user, which then appears in the
// picture too), after a few more paints; at the latest after the time limit.
class ScreenshotTaker : public QObject {
public:
    ScreenshotTaker(QWidget* window, QString file, std::function<bool()> ready,
                    int limitMs = 30000);

    // Starts watching; the application exits with 0 once the file is written, 2 when it
    // could not be written.
    void Start();
    // The picture as it would be written now: the window and any modal box over it.
    QImage Capture() const;

private:
    void Poll();

    QPointer<QWidget> window_;
    QString file_;
    std::function<bool()> ready_;
    int limitMs_;
    int settled_ = 0;
    QTimer timer_;
    QElapsedTimer clock_;
};

} // namespace pla
