#pragma once

#include <QMainWindow>
#include <functional>

class QMdiArea;
class QMenu;

namespace pla {

// The host's main window: an MDI area for the module screens, a "Módulos" menu that opens a
// module, a "Janela" menu that arranges and lists the open windows, and a status line.
class MainWindow : public QMainWindow {
public:
    // openModule is called with a module name when the user picks it in the menu.
    explicit MainWindow(std::function<void(const QString&)> openModule);

    QMdiArea* MdiArea() const { return mdi_; }
    // Text at the right of the status bar (who is logged in, which server).
    void SetContext(const QString& text);

private:
    void FillWindowMenu();

    QMdiArea* mdi_;
    QMenu* windowMenu_;
    std::function<void(const QString&)> openModule_;
};

} // namespace pla
