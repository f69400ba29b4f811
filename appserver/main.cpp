// pla-appserver: the reference application server as a command-line program.
#include "appserver/AdminCommands.h"
#include "appserver/AppServer.h"
#include "appserver/ServerOptions.h"
#include "appserver/transfer/DataCommands.h"

#include <QCoreApplication>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <thread>

int main(int argc, char** argv) {
    // SIGTERM and SIGINT are taken by one thread with sigwait, so no handler runs inside
    // library code; every other thread inherits the blocked mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    QCoreApplication app(argc, argv);
    {
        // The operator's commands read the terminal and may be interrupted as usual.
        QTextStream in(stdin), out(stdout), err(stderr);
        pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
        if (const auto status =
                pla::AdminCommands::run(QCoreApplication::arguments(), in, out, err))
            return *status;
        if (const auto code = pla::DataCommands::run(QCoreApplication::arguments())) return *code;
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    }
    pla::ServerOptions options;
    QString message;
    switch (pla::ServerOptions::parse(QCoreApplication::arguments(), options, message)) {
    case pla::ServerOptions::ParseResult::Help:
        std::fputs(message.toLocal8Bit().constData(), stdout);
        return 0;
    case pla::ServerOptions::ParseResult::Error:
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return 2;
    case pla::ServerOptions::ParseResult::Run:
        break;
    }

    pla::AppServer server(options);
    int port = 0;
    try {
        server.prepare();
        port = server.bind();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pla-appserver: %s\n", e.what());
        return 1;
    }

    std::thread signalWaiter([&server, signals] {
        int signal = 0;
        sigwait(&signals, &signal);
        server.stop();
    });
    std::printf("pla-appserver atendendo em %s://%s:%d/ (banco %s)\n",
                options.tlsCertificate.isEmpty() ? "http" : "https",
                options.host.toLocal8Bit().constData(), port,
                server.databaseDescription().toLocal8Bit().constData());
    std::fflush(stdout);
    const bool ok = server.serve();
    // Wake the signal thread when serving ended for another reason.
    pthread_kill(signalWaiter.native_handle(), SIGTERM);
    signalWaiter.join();
    std::printf("pla-appserver encerrado.\n");
    return ok ? 0 : 1;
}
