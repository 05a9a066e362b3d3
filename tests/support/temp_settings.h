#pragma once

#include <QTemporaryDir>

#include "settings/ini.h"
#include "settings/settings.h"

namespace corvane {

// A settings file in a temporary folder that is also the program and data folder.
struct TempSettings {
    QTemporaryDir dir_;
    IniFiles ini_;
    Settings settings_{ini_, dir_.filePath(QStringLiteral("Corvane.ini")),
                       keys::DefaultFolders{dir_.path() + QLatin1Char('/'), dir_.path()}};
};

}  // namespace corvane
