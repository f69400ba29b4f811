#include "host/desktop/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace pla {

MainWindow::MainWindow(std::function<void(const QString&)> openModule)
    : openModule_(std::move(openModule)) {
    setWindowTitle(QStringLiteral("Distribuição do Cardápio"));
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);

    QMenu* modules = menuBar()->addMenu(QStringLiteral("&Módulos"));
    QAction* dist = modules->addAction(QStringLiteral("&Distribuição do Cardápio (PLA15400)"));
    connect(dist, &QAction::triggered, this, [this] { openModule_(QStringLiteral("PLA15400")); });
    modules->addSeparator();
    QAction* quit = modules->addAction(QStringLiteral("&Sair"));
    quit->setShortcut(QKeySequence(QStringLiteral("Alt+F4")));
    connect(quit, &QAction::triggered, this, [this] { close(); });

    windowMenu_ = menuBar()->addMenu(QStringLiteral("&Janela"));
    connect(windowMenu_, &QMenu::aboutToShow, this, [this] { FillWindowMenu(); });
    FillWindowMenu();

    statusBar()->showMessage(QStringLiteral("Pronto"));
    resize(1300, 860);
}

void MainWindow::SetContext(const QString& text) {
    auto* label = new QLabel(text, this);
    statusBar()->addPermanentWidget(label);
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
