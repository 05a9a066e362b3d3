#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include "ombrel/export.h"
#include "ombrel/flatprog.h"

namespace corvane::ombrel {

// The class identifier under which hosts ask for FlatProg.
inline constexpr char kFlatProgClassId[] = "Ombrel.FlatProg";

// The class identifiers this library can create.
OMBREL_EXPORT QStringList ClassIds();

// A fresh control of the named class (identifiers match without regard to case), owned by
// parent when one is given. An unknown identifier gives null and, in error, a text naming it.
OMBREL_EXPORT QWidget* CreateControl(const QString& classId, QWidget* parent = nullptr,
                                     QString* error = nullptr);

// A fresh FlatProg, created through its class identifier like any host would.
OMBREL_EXPORT FlatProg* CreateFlatProg(QWidget* parent = nullptr, QString* error = nullptr);

}  // namespace corvane::ombrel
