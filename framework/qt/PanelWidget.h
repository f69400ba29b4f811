#pragma once

#include <QFrame>

namespace pla {

// A panel: a filled area with raised or lowered bevels and an optional caption drawn centred
// (title bars of the screens are panels with a caption).
class PanelWidget : public QFrame {
public:
    explicit PanelWidget(QWidget* parent);

    void SetCaption(const QString& caption);
    QString Caption() const { return caption_; }
    // Outer and inner bevels: 0 none, 1 lowered, 2 raised.
    void SetBevels(int outer, int inner);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    int outer_ = 2;
    int inner_ = 0;
};

} // namespace pla
