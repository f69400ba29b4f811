#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

#include "host/scenario/ScenarioRunner.h"

// pla-scenario FILE...: runs scripted user sessions on the headless screens and prints a
// transcript; exits 1 at the first line that does not hold.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    pla::ScenarioOptions options;
    options.moduleDir = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../lib"));
    const int modules = args.indexOf(QStringLiteral("--modules"));
    if (modules >= 0 && modules + 1 < args.size()) {
        options.moduleDir = args.at(modules + 1);
        args.remove(modules, 2);
    }
    QTextStream out(stdout);
    if (args.isEmpty() || args.first() == QLatin1String("--help")) {
        out << "uso: pla-scenario [--modules PASTA] ARQUIVO...\n";
        return args.isEmpty() ? 2 : 0;
    }
    int failed = 0;
    for (const QString& file : args) {
        pla::ScenarioRunner runner(file, out, options);
        if (runner.Run() != 0) ++failed;
        out.flush();
    }
    return failed ? 1 : 0;
}
