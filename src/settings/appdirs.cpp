#include "settings/appdirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace corvane {

namespace {
QString EnvFolder(const char* xdgName, QStandardPaths::StandardLocation fallback) {
    const QString env = qEnvironmentVariable(xdgName);
    if (!env.isEmpty() && QDir::isAbsolutePath(env)) return QDir::cleanPath(env);
    return QStandardPaths::writableLocation(fallback);
}
}  // namespace

QString AppFolder() {
    const QString overridden = qEnvironmentVariable("CORVANE_APP_FOLDER");
    if (!overridden.isEmpty()) return QDir::cleanPath(overridden);
    const QString bin =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return QDir::cleanPath(bin + QStringLiteral("/../share/corvane"));
}

QString UserDataFolder() {
    return EnvFolder("XDG_DATA_HOME", QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Corvane");
}

QString UserFacesFolder() { return UserDataFolder() + QStringLiteral("/Faces"); }

QString SettingsFile() {
    return EnvFolder("XDG_CONFIG_HOME", QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Corvane/Corvane.ini");
}

}  // namespace corvane
