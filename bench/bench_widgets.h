#pragma once

#include <QApplication>

namespace corvane::bench {

// Widgets need a QApplication; a benchmark run before this one may have made a plain
// QCoreApplication, so widget benchmarks are run on their own (--benchmark_filter).
inline bool HaveWidgets() {
    static int argc = 1;
    static char name[] = "corvane-bench";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
        new QApplication(argc, argv);
    }
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

}  // namespace corvane::bench
