// The real binary, headless, on the virtual desktop in temporary folders.

#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <map>

#include "tests/e2e/app_process.h"
#include "tests/support/app_sandbox.h"

namespace quillhaven::e2e {
namespace {

using namespace std::chrono_literals;

const QJsonObject originalOptions{
    {"scaling", 2}, {"allowClipping", false}, {"fillColor", "#336699ff"}};

std::string compact(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

class EndToEndTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::ensureCoreApplication(); }

    bool showsGeneratedPicture() const {
        return world.shownPicture().startsWith(world.generatedFolder() + QStringLiteral("/"));
    }

    AppWorld world;
};

TEST_F(EndToEndTest, SelfTestAppliesThenPutsEverythingBack) {
    const QString original = world.makePicture(QStringLiteral("original.png"), QColor(200, 80, 40));
    world.writeDesktop(original, originalOptions);

    const auto app = world.start({QStringLiteral("--self-test")});
    // The processed picture is shown for about a second during the cycle.
    EXPECT_TRUE(waitUntil([&] { return showsGeneratedPicture(); }, 60s));
    ASSERT_TRUE(app->waitForFinished(60'000));
    EXPECT_EQ(app->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app->exitCode(), 0);
    EXPECT_TRUE(app->readAllStandardOutput().isEmpty());
    EXPECT_TRUE(app->readAllStandardError().isEmpty());

    EXPECT_EQ(world.shownPicture(), original);
    EXPECT_EQ(compact(world.desktopImage()["options"].toObject()), compact(originalOptions));
    EXPECT_TRUE(world.generatedFiles().isEmpty());
    const auto enabled = world.preference(QStringLiteral("quillHaven.enabled"));
    ASSERT_TRUE(enabled.has_value());
    EXPECT_FALSE(enabled->toBool());
    for (const char* key : {"quillHaven.originalWallpaper", "quillHaven.originalImageScaling",
                            "quillHaven.originalAllowClipping", "quillHaven.originalFillColor"}) {
        EXPECT_FALSE(world.preference(QString::fromLatin1(key)).has_value()) << key;
    }
}

TEST_F(EndToEndTest, WithTheEffectOnAPictureChosenByHandIsProcessedAtTheNextPoll) {
    const QString first = world.makePicture(QStringLiteral("first.png"), QColor(20, 160, 90));
    const QString second = world.makePicture(QStringLiteral("second.png"), QColor(90, 20, 160));
    world.writeDesktop(first, originalOptions);
    world.writePreference(QStringLiteral("quillHaven.enabled"), true);

    const auto app = world.start({});
    // The persisted flag makes the app apply at start-up.
    ASSERT_TRUE(waitUntil([&] { return showsGeneratedPicture(); }, 30s));
    const QString firstGenerated = world.shownPicture();

    world.writeDesktop(second, QJsonObject{{"scaling", 3}});
    // One poll (5 s) plus the render.
    EXPECT_TRUE(waitUntil(
        [&] { return showsGeneratedPicture() && world.shownPicture() != firstGenerated; }, 20s));
    EXPECT_EQ(world.preference(QStringLiteral("quillHaven.originalWallpaper"))->toString(), second);
    EXPECT_TRUE(waitUntil([&] { return world.generatedFiles().size() == 1; }, 5s));
    EXPECT_EQ(app->state(), QProcess::Running);
    stop(*app);
}

// Every file under the config and data folders with its size and time stamp.
std::map<QString, std::pair<qint64, qint64>> snapshot(const AppWorld& world) {
    std::map<QString, std::pair<qint64, qint64>> files;
    for (const char* folder : {"config", "data"}) {
        QDirIterator it(world.path(QString::fromLatin1(folder)), QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            files[info.filePath()] = {info.size(), info.lastModified().toMSecsSinceEpoch()};
        }
    }
    return files;
}

TEST_F(EndToEndTest, ASecondInstanceLeavesAtOnceTouchingNothing) {
    const QString original = world.makePicture(QStringLiteral("original.png"), QColor(10, 10, 10));
    world.writeDesktop(original, originalOptions);
    const auto first = world.start({});
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(world.lockFile()); }, 10s));
    const auto before = snapshot(world);

    QElapsedTimer clock;
    clock.start();
    // Even asked for the self-test, the second one applies nothing, and says that it proved
    // nothing.
    const auto second = world.start({QStringLiteral("--self-test")});
    ASSERT_TRUE(second->waitForFinished(10'000));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 1);
    EXPECT_TRUE(second->readAllStandardError().contains("another Quillhaven is running"));
    EXPECT_EQ(snapshot(world), before);
    EXPECT_EQ(world.shownPicture(), original);
    EXPECT_EQ(first->state(), QProcess::Running);
    stop(*first);
}

}  // namespace
}  // namespace quillhaven::e2e
