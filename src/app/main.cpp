#include <QApplication>
#include <QTextStream>
#include <cstdio>

#include "app/single_instance.h"
#include "app/startup.h"
#include "settings/appdirs.h"
#include "settings/command_line.h"
#include "version.h"

int main(int argc, char* argv[]) {
    using namespace corvane;
    // --help and --version answer without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine commandLine = ParseCommandLine(arguments);
    if (commandLine.exitNow) {
        QTextStream out(commandLine.exitCode == 0 ? stdout : stderr);
        out << commandLine.output;
        return commandLine.exitCode;
    }

    app::SingleInstance instance(app::SingleInstance::NameFor(SettingsFile()));
    if (const std::optional<int> status = app::HandToRunning(instance, commandLine)) return *status;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("corvane"));
    return app::RunProgram(commandLine, instance);
}
