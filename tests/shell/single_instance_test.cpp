// One instance per user: the lock file and its takeover after a crash.

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "shell/single_instance.h"

namespace quillhaven {
namespace {

TEST(SingleInstanceTest, ASecondHolderIsRefusedUntilTheFirstLetsGo) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("nested/quillhaven.lock"));
    auto first = SingleInstance::acquire(path);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isLocked());
    EXPECT_EQ(SingleInstance::acquire(path), nullptr);
    first.reset();
    auto again = SingleInstance::acquire(path);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->isLocked());
}

TEST(SingleInstanceTest, ALockLeftByAProcessThatIsGoneIsTakenOver) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("quillhaven.lock"));
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    // Process id, program name, host name: the format QLockFile writes. No such process.
    stale.write("2147483646\nquillhaven\n\n");
    stale.close();
    auto lock = SingleInstance::acquire(path);
    ASSERT_NE(lock, nullptr);
    EXPECT_TRUE(lock->isLocked());
}

}  // namespace
}  // namespace quillhaven
