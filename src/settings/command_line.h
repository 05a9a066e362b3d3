#pragma once

#include <QString>
#include <QStringList>

namespace corvane {

// What the program was asked to do on its command line.
struct CommandLine {
    // The start-up file: the first argument that is not an option ("" when none), relative
    // paths made absolute against the current folder and file URIs made local paths.
    QString path;
    // Every file argument made absolute the same way (a later start hands them all to the
    // running program); a lone "/d" is the switch, not a file.
    QStringList paths;
    // "/d" or "/D" as the only argument, or "--debug": errors of the start-up show in boxes.
    bool debug = false;
    // --help, --version or a wrong option: print `output` and end with `exitCode` at once.
    bool exitNow = false;
    int exitCode = 0;
    QString output;
};

// Reads the arguments as a Linux program does (the first one is the program's name). "/d"
// followed by more text is no switch: it is only looked at as a start-up file.
CommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace corvane
