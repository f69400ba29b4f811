#pragma once

#include <QMainWindow>
#include <functional>

class QCloseEvent;
class QMdiArea;
class QMenu;

namespace pla {

// The host's main window: an MDI area for the module screens, a "Módulos" menu that opens a
// module, a "Janela" menu that arranges and lists the open windows, an "Ajuda" menu with the
// user guide, and a status line. Its menus' letters (Alt+D, Alt+J, Alt+A) leave Alt+M to the
// screens' maintenance menu.
class MainWindow : public QMainWindow {
public:
    // openModule is called with a module name when the user picks it in the menu.
    explicit MainWindow(std::function<void(const QString&)> openModule);

    QMdiArea* MdiArea() const { return mdi_; }
    // Shows the window within the screen's available area: at its preferred size, centred,
    // where that fits with its frame; maximised where it does not.
    void ShowOnScreen();
    // Where the window opens on a screen whose available area is available; maximised is
    // set when it opens maximised (the area itself is returned then).
    static QRect OpeningGeometry(const QRect& available, bool& maximised);
    // Text at the right of the status bar (who is logged in, which server).
    void SetContext(const QString& text);
    // Asked whenever the user quits (menu, Ctrl+Q, closing the window): false keeps the host
    // running.
    void SetQuitCheck(std::function<bool()> check) { quitCheck_ = std::move(check); }
    // Opens the user guide at the section of topic (a screen code; empty: the beginning).
    void ShowHelp(const QString& topic);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FillWindowMenu();

    std::function<bool()> quitCheck_;
    QWidget* help_ = nullptr;
    QMdiArea* mdi_;
    QMenu* windowMenu_;
    std::function<void(const QString&)> openModule_;
};

} // namespace pla
