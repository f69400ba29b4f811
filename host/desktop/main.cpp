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
    pla::HostOptions options;
    QString message;
    {
        // The command line is read before any window system is touched, so that --help,
        // --version and a mistaken option answer on a terminal without a display.
        QCoreApplication reader(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("pla-host"));
        switch (pla::HostOptions::Parse(QCoreApplication::arguments(), options, message)) {
        case pla::HostOptions::ParseResult::Help:
        case pla::HostOptions::ParseResult::Version:
            std::printf("%s\n", message.toLocal8Bit().constData());
            return 0;
        case pla::HostOptions::ParseResult::Error:
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
            return 1;
        case pla::HostOptions::ParseResult::Run:
            break;
        }
    }
    // A PDF for a script needs no display, nor does a picture taken where there is none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        (options.PrintRun() || (options.Headless() && qEnvironmentVariableIsEmpty("DISPLAY") &&
                                qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pla-host"));
    QApplication::setApplicationDisplayName(QStringLiteral("Distribuição do Cardápio"));

    // Qt's own dialogs (files, printers, print preview) speak the clerk's language.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // The menu date of both screens, for a day that is not today.
    if (!options.date.isEmpty())
        Zelvora::SetToday(QDate::fromString(options.date, QStringLiteral("yyyy-MM-dd")));

    pla::QtDialogService dialogs;
    // Nobody answers a dialog of a PDF or picture run: every box goes to the error output
    // instead, and the run ends with a failure status.
    dialogs.SetUnattended(options.Headless());
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

    const auto prompt = [&session, &window, &dialogs](pla::ServerLogin& server,
                                                      const QString& login, const QString& reason) {
        // A renewal asks in the middle of a call's busy period: the dialog must be answerable.
        pla::BusyIndicator::PauseScope pause(dialogs.Busy());
        return pla::LoginDialog(server, session.ServerAddress(), login, reason, &window).Run();
    };
    // Unattended, a server that asks for a login ends the run with the reason.
    if (!session.Start(message, options.Headless() ? pla::HostSession::LoginPrompt() : prompt)) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        if (!options.Headless()) dialogs.ShowError(message);
        return 1;
    }
    if (options.PrintRun()) return pla::PdfExportRun::Run(session, options, dialogs);
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
    if (!options.screenshot.isEmpty()) {
        taker = std::make_unique<pla::ScreenshotTaker>(&window, options.screenshot,
                                                       [&attempted] { return attempted; });
        taker->Start();
    }
    QTimer::singleShot(0, &window, [&] {
        session.OpenModule(options.module);
        if (!options.focus.isEmpty()) FocusOnOpenedScreen(forms, options.focus);
        attempted = true;
    });
    int rc = QApplication::exec();
    // The picture is written all the same, but a run that met an error says so.
    if (rc == 0 && dialogs.UnattendedFailures() > 0) rc = 1;
    Zelvora::SetHelpHandler({});
    // The screens belong to the application: they go before the server they talk to.
    forms.DestroyForms();
    pla::SetPrintOutput(nullptr);
    TNetConnection::SetTransportRunner({});
    return rc;
}
