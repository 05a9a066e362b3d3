#pragma once

#include <QString>

namespace corvane {

// The program folder: read-only data shipped with the program (faces, help, demo set). It is
// share/corvane beside the executable's bin/ folder, both when installed and in the build tree.
QString AppFolder();

// Where the program writes its own files by default (the song log): $XDG_DATA_HOME/Corvane.
QString UserDataFolder();

// The faces the user adds or changes: $XDG_DATA_HOME/Corvane/Faces.
QString UserFacesFolder();

// The per-user settings file: $XDG_CONFIG_HOME/Corvane/Corvane.ini.
QString SettingsFile();

}  // namespace corvane
