#include "settings/command_line.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include "playlist/entry_text.h"
#include "version.h"

namespace corvane {

namespace {

// A relative path names a file in the folder the program was started from; a desktop launcher
// may hand over a file URI. Addresses stay as they are: the start-up says they do not play.
QString StartupPath(const QString& argument) {
    if (entry::IsFileUri(QStringView(argument))) {
        QString path;
        return entry::DecodeFileUri(argument.toUtf8(), path) ? path : argument;
    }
    // Only "/" makes a path absolute: Qt would take a name starting with ':' for a resource.
    if (argument.isEmpty() || entry::IsNetworkUrl(argument) || argument.startsWith(u'/'))
        return argument;
    return QDir::cleanPath(QDir::currentPath() + u'/' + argument);
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Corvane, a DJ mixing desk: six playback lines, an AutoPilot and a "
                       "crossfader."));
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("Sound files to play, on line 1 first, then on the free lines, or a "
                       "playlist (.cvn, .m3u, .m3u8, .pls) for the AutoPilot. When Corvane is "
                       "running already, they go to it."),
        QStringLiteral("[file...]"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption debug(QStringLiteral("debug"),
                                   QStringLiteral("Show start-up errors in message boxes (the "
                                                  "same as a lone /d)."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(debug);

    CommandLine result;
    const QString program =
        arguments.isEmpty() ? QStringLiteral("corvane") : QFileInfo(arguments.first()).fileName();
    if (!parser.parse(arguments)) {
        result.exitNow = true;
        result.exitCode = 1;
        result.output = program + QStringLiteral(": ") + parser.errorText() +
                        QStringLiteral("\nTry '") + program +
                        QStringLiteral(" --help' for more information.\n");
        return result;
    }
    if (parser.isSet(help)) {
        result.exitNow = true;
        // Without an application object the parser does not know the program's name.
        result.output = parser.helpText().replace(QStringLiteral("<executable_name>"), program);
        return result;
    }
    if (parser.isSet(version)) {
        result.exitNow = true;
        result.output = program + QStringLiteral(" " CORVANE_VERSION "\n");
        return result;
    }
    const QStringList positional = parser.positionalArguments();
    const bool loneSwitch = positional.size() == 1 && (positional.first() == QLatin1String("/d") ||
                                                       positional.first() == QLatin1String("/D"));
    result.debug = parser.isSet(debug) || loneSwitch;
    if (!positional.isEmpty()) result.path = StartupPath(positional.first());
    for (const QString& argument : positional) {
        if (!loneSwitch) result.paths.append(StartupPath(argument));
    }
    return result;
}

}  // namespace corvane
