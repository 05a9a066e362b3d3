#pragma once

#include <QLatin1String>
#include <QString>
#include <QUrl>
#include <functional>

namespace corvane::about {

// The manual, an HTML page in the program folder, opened in the user's browser.
inline constexpr QLatin1String kHelpFileName{"cvnhelp.html"};
inline constexpr QLatin1String kHelpHint{
    "You may have to double-click the help file in CVN's folder in order to view help."};
// The project's page, where the About box's picture leads: the manual's page about Corvane.
inline constexpr QLatin1String kProjectPageAnchor{"about"};

QUrl HelpUrl(const QString& appFolder);
QUrl ProjectPageUrl(const QString& appFolder);

// The message when the help cannot be opened: the error, a blank line, the hint.
QString HelpFailureText(const QString& error);

// Opens the manual with `open` (the desktop's opener); when that fails, `message` tells the
// user where the file is. True when the opener took it.
bool OpenHelp(const QString& appFolder, const std::function<bool(const QUrl&)>& open,
              const std::function<void(const QString&)>& message);

}  // namespace corvane::about
