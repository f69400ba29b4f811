#include "host/desktop/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTextBrowser>
#include <QUrl>
#include <algorithm>

namespace pla {

MainWindow::MainWindow(std::function<void(const QString&)> openModule)
    : openModule_(std::move(openModule)) {
    setWindowTitle(QStringLiteral("Distribuição do Cardápio"));
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);

    QMenu* modules = menuBar()->addMenu(QStringLiteral("Mó&dulos"));
    QAction* dist = modules->addAction(QStringLiteral("&Distribuição do Cardápio (PLA15400)"));
    connect(dist, &QAction::triggered, this, [this] { openModule_(QStringLiteral("PLA15400")); });
    modules->addSeparator();
    QAction* quit = modules->addAction(QStringLiteral("&Sair"));
    quit->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Q")), QKeySequence(QStringLiteral("Alt+F4"))});
    quit->setShortcutContext(Qt::ApplicationShortcut);
    connect(quit, &QAction::triggered, this, [this] { close(); });

    windowMenu_ = menuBar()->addMenu(QStringLiteral("&Janela"));
    connect(windowMenu_, &QMenu::aboutToShow, this, [this] { FillWindowMenu(); });
    FillWindowMenu();

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Ajuda"));
    QAction* guide = help->addAction(QStringLiteral("&Guia do usuário"));
    connect(guide, &QAction::triggered, this, [this] { ShowHelp(QString()); });

    statusBar()->showMessage(QStringLiteral("Pronto"));
}

QRect MainWindow::OpeningGeometry(const QRect& available, bool& maximised) {
    const QSize preferred(1300, 860);
    // The window manager's title bar and borders around the window.
    const QSize frame(16, 48);
    maximised = preferred.width() + frame.width() > available.width() ||
                preferred.height() + frame.height() > available.height();
    if (maximised) return available;
    QRect placed(QPoint(0, 0), preferred);
    placed.moveCenter(available.center());
    return placed;
}

void MainWindow::ShowOnScreen() {
    bool maximised = false;
    setGeometry(OpeningGeometry(screen()->availableGeometry(), maximised));
    if (maximised)
        showMaximized();
    else
        show();
}

void MainWindow::SetContext(const QString& text) {
    auto* label = new QLabel(text, this);
    statusBar()->addPermanentWidget(label);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (quitCheck_ && !quitCheck_()) {
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::ShowHelp(const QString& topic) {
    auto* browser = static_cast<QTextBrowser*>(help_);
    if (!browser) {
        browser = new QTextBrowser(this);
        browser->setWindowFlag(Qt::Window);
        browser->setWindowTitle(QStringLiteral("Ajuda — Distribuição do Cardápio"));
        browser->setOpenExternalLinks(true);
        // Esc closes the guide, as it closes every dialog.
        auto* close = new QAction(browser);
        close->setShortcut(QKeySequence(Qt::Key_Escape));
        close->setShortcutContext(Qt::WindowShortcut);
        connect(close, &QAction::triggered, browser, &QWidget::close);
        browser->addAction(close);
        help_ = browser;
    }
    // Over the main window and whole on the screen, however small the screen.
    const QRect available = screen()->availableGeometry();
    QRect placed(QPoint(0, 0), QSize(760, 640).boundedTo(available.size() - QSize(16, 48)));
    placed.moveCenter(frameGeometry().center());
    placed.moveLeft(
        std::clamp(placed.left(), available.left(), available.right() - placed.width()));
    placed.moveTop(
        std::clamp(placed.top(), available.top() + 32, available.bottom() - placed.height()));
    browser->setGeometry(placed);
    QUrl page(QStringLiteral("qrc:/ajuda/ajuda.html"));
    if (!topic.isEmpty()) page.setFragment(topic);
    browser->setSource(page);
    if (!topic.isEmpty()) browser->scrollToAnchor(topic);
    browser->show();
    browser->raise();
    browser->activateWindow();
}

void MainWindow::FillWindowMenu() {
    windowMenu_->clear();
    windowMenu_->addAction(QStringLiteral("&Cascata"), mdi_, &QMdiArea::cascadeSubWindows);
    windowMenu_->addAction(QStringLiteral("&Lado a lado"), mdi_, &QMdiArea::tileSubWindows);
    windowMenu_->addAction(QStringLiteral("&Próxima"), mdi_, &QMdiArea::activateNextSubWindow);
    const auto windows = mdi_->subWindowList();
    if (windows.isEmpty()) return;
    windowMenu_->addSeparator();
    int n = 1;
    for (QMdiSubWindow* w : windows) {
        if (!w->isVisible()) continue;
        QAction* a =
            windowMenu_->addAction(QStringLiteral("&%1 %2").arg(n++).arg(w->windowTitle()));
        a->setCheckable(true);
        a->setChecked(w == mdi_->activeSubWindow());
        connect(a, &QAction::triggered, mdi_, [this, w] { mdi_->setActiveSubWindow(w); });
    }
}

} // namespace pla
