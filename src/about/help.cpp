#include "about/help.h"

#include <QDir>

namespace corvane::about {

QUrl HelpUrl(const QString& appFolder) {
    return QUrl::fromLocalFile(QDir(appFolder).filePath(kHelpFileName));
}

QUrl ProjectPageUrl(const QString& appFolder) {
    QUrl url = HelpUrl(appFolder);
    url.setFragment(kProjectPageAnchor);
    return url;
}

QString HelpFailureText(const QString& error) { return error + QStringLiteral("\n\n") + kHelpHint; }

bool OpenHelp(const QString& appFolder, const std::function<bool(const QUrl&)>& open,
              const std::function<void(const QString&)>& message) {
    const QUrl url = HelpUrl(appFolder);
    if (open && open(url)) return true;
    if (message) {
        message(HelpFailureText(QStringLiteral("Could not open the help file %1.")
                                    .arg(QDir::toNativeSeparators(url.toLocalFile()))));
    }
    return false;
}

}  // namespace corvane::about
