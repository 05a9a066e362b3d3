#include "ombrel/factory.h"

namespace corvane::ombrel {

QStringList ClassIds() { return {QLatin1String(kFlatProgClassId)}; }

QWidget* CreateControl(const QString& classId, QWidget* parent, QString* error) {
    if (classId.compare(QLatin1String(kFlatProgClassId), Qt::CaseInsensitive) == 0) {
        return new FlatProg(parent);
    }
    if (error != nullptr) {
        *error = QStringLiteral("The Ombrel library has no control class \"%1\" (it has: %2)")
                     .arg(classId, ClassIds().join(QLatin1String(", ")));
    }
    return nullptr;
}

FlatProg* CreateFlatProg(QWidget* parent, QString* error) {
    return qobject_cast<FlatProg*>(CreateControl(QLatin1String(kFlatProgClassId), parent, error));
}

}  // namespace corvane::ombrel
