#pragma once

#include <QIcon>

namespace corvane::app {

// The program's own icon, built into the program (the installed copy is for the desktop).
QIcon ProgramIcon();

}  // namespace corvane::app
