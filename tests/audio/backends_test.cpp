#include "audio/backends.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace corvane::audio {
namespace {

// The program finds its sound module beside it, and everything else is refused with a reason
// rather than used: a missing file, a library without the entry, a plain file.
TEST(Backends, FoundBesideTheProgramElseRefusedWithAReason) {
    QString error;
    const Backends* backends = LoadBackends(&error);
    ASSERT_NE(backends, nullptr) << error.toStdString();
    EXPECT_EQ(backends->version, kBackendsVersion);
    EXPECT_EQ(LoadBackends(nullptr), backends);

    const QString ombrel = QStringLiteral(CORVANE_BINARY_DIR "/lib/libombrel.so");
    EXPECT_EQ(LoadBackendsFrom({ombrel}, &error), nullptr);
    EXPECT_EQ(error, QStringLiteral("cannot load the sound libraries (%1: not this program's "
                                    "sound module)")
                         .arg(ombrel));

    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("libcorvane_backends.so"));
    EXPECT_EQ(LoadBackendsFrom({missing}, &error), nullptr);
    EXPECT_TRUE(error.startsWith(QStringLiteral("cannot load the sound libraries (")))
        << error.toStdString();
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();

    // The first usable candidate wins.
    EXPECT_EQ(LoadBackendsFrom({missing, ombrel,
                                QStringLiteral(CORVANE_BINARY_DIR "/lib/libcorvane_backends.so")},
                               &error),
              backends);
}

}  // namespace
}  // namespace corvane::audio
