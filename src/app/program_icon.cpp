#include "app/program_icon.h"

// The resources live in a static library: nothing pulls them in unless something names them,
// and Q_INIT_RESOURCE must be called outside any namespace.
static void RegisterLifecycleResources() { Q_INIT_RESOURCE(lifecycle); }

namespace corvane::app {

QIcon ProgramIcon() {
    static const bool registered = (RegisterLifecycleResources(), true);
    Q_UNUSED(registered);
    return QIcon(QStringLiteral(":/icons/corvane.svg"));
}

}  // namespace corvane::app
