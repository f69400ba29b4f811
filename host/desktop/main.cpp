// pla-host: the desktop host. Prepares the login context, the application server (embedded by
// default) and the general database, then opens the distribution module in its main window.

#include "framework/net/NetConnection.h"
#include "framework/qt/FormRenderer.h"
#include "framework/qt/QtDialogService.h"
#include "framework/qt/QtFormHost.h"
#include "framework/qt/QtPrintOutput.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/TForm.h"
#include "host/desktop/HostOptions.h"
#include "host/desktop/HostSession.h"
#include "host/desktop/LoginDialog.h"
#include "host/desktop/MainWindow.h"
#include "host/desktop/PdfExportRun.h"
#include "host/desktop/ScreenshotTaker.h"

#include <QApplication>
#include <QDate>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

namespace {

// Gives the focus to a control of the screen just opened, as a user clicking it would, so
// that whatever its enter and exit events load is on screen (e.g. the services of the
// branch and date for a documentation picture).
void FocusOnOpenedScreen(pla::QtFormHost& forms, const QString& name) {
    TForm* form = forms.ActiveMdiForm();
    if (!form) return;
    auto* control = form->Find<TWinControl>(name);
    pla::FormRenderer* renderer = forms.RendererFor(*form);
    if (!control || !renderer || !control->CanFocus()) {
        std::fprintf(stderr, "--focus: %s não existe ou não recebe o foco\n",
                     name.toLocal8Bit().constData());
        return;
    }
    renderer->RunAction([&] { form->FocusControl(control); });
}

} // namespace

int main(int argc, char* argv[]) {
    // A PDF for a script needs no display.
    if (pla::PdfExportRun::Requested(argc, argv) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pla-host"));
    QApplication::setApplicationDisplayName(QStringLiteral("Distribuição do Cardápio"));

    pla::HostOptions options;
    QString message;
    switch (pla::HostOptions::Parse(QApplication::arguments(), options, message)) {
    case pla::HostOptions::ParseResult::Help:
        std::printf("%s\n", message.toLocal8Bit().constData());
        return 0;
    case pla::HostOptions::ParseResult::Error:
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return 1;
    case pla::HostOptions::ParseResult::Run:
        break;
    }
    const bool screenshot = !options.screenshot.isEmpty();
    // Qt's own dialogs (files, printers, print preview) speak the clerk's language; only
    // after the options, whose --help (and the manual page made from it) stays as it was.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // The menu date of both screens, for a day that is not today.
    if (!options.date.isEmpty())
        Zelvora::SetToday(QDate::fromString(options.date, QStringLiteral("yyyy-MM-dd")));

    pla::QtDialogService dialogs;
    // Every box is also written to the error output, so unattended runs can be checked.
    dialogs.SetEcho(screenshot);
    dialogs.Install();
    // Remote calls travel on a worker thread while the windows keep painting behind the busy
    // animation, so the screen never looks frozen and no second action can start.
    TNetConnection::SetTransportRunner(
        [&dialogs](const std::function<void()>& send) { dialogs.Busy().RunBlocking(send); });
    pla::QtFormHost forms;
    forms.Install();
    pla::HostSession session(options);
    pla::MainWindow window([&session](const QString& name) { session.OpenModule(name); });
    forms.SetMdiArea(window.MdiArea());
    dialogs.SetMainWindow(&window);

    const auto prompt = [&session, &window](pla::ServerLogin& server) {
        return pla::LoginDialog(server, session.ServerAddress(), &window).Run();
    };
    if (!session.Start(message, prompt)) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        if (!screenshot && options.pdf.isEmpty()) dialogs.ShowError(message);
        return 1;
    }
    if (!options.pdf.isEmpty()) return pla::PdfExportRun::Run(session, options);
    pla::QtPrintOutput printing(&window);
    printing.Install();
    // Said as the user's own branch: the screens may be working on another one.
    window.SetContext(
        QStringLiteral("%1 da filial %2%3 · servidor %4")
            .arg(session.User() ? QStringLiteral("Usuário %1").arg(session.User()->name)
                                : QStringLiteral("Usuário"),
                 Zelvora::FiliProc, Zelvora::ModuFili ? QStringLiteral(" (fixa)") : QString(),
                 session.ServerAddress()));
    window.SetQuitCheck([&forms] { return forms.ConfirmQuit(); });
    Zelvora::SetHelpHandler([&window](const QString& topic) { window.ShowHelp(topic); });
    window.ShowOnScreen();

    bool attempted = false;
    std::unique_ptr<pla::ScreenshotTaker> taker;
    if (screenshot) {
        taker = std::make_unique<pla::ScreenshotTaker>(&window, options.screenshot,
                                                       [&attempted] { return attempted; });
        taker->Start();
    }
    QTimer::singleShot(0, &window, [&] {
        session.OpenModule(options.module);
        if (!options.focus.isEmpty()) FocusOnOpenedScreen(forms, options.focus);
        attempted = true;
    });
    const int rc = QApplication::exec();
    Zelvora::SetHelpHandler({});
    // The screens belong to the application: they go before the server they talk to.
    forms.DestroyForms();
    pla::SetPrintOutput(nullptr);
    TNetConnection::SetTransportRunner({});
    return rc;
}
