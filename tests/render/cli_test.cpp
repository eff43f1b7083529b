// quillhaven-render as a user runs it: exit codes, output streams, default folder.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include <filesystem>

#include "tests/render/render_test_support.h"

namespace quillhaven {
namespace {

using namespace testing;
namespace fs = std::filesystem;

struct CommandRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    CommandRun run(const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", QString::fromStdString((folder / "data").string()));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(QString::fromStdString(folder.path().string()));
        process.start(QStringLiteral(QUILLHAVEN_RENDER_BINARY), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        CommandRun result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput().toStdString();
        result.err = process.readAllStandardError().toStdString();
        return result;
    }
    QString picture() {
        return QString::fromStdString(
            savePng(solid(400, 300, QColor(90, 140, 30)), folder / "picture.png").string());
    }

    TempFolder folder;
};

TEST_F(CliTest, RendersWithDefaultsIntoTheGeneratedFolderAndPrintsThePath) {
    picture();
    const CommandRun result = run({"picture.png"});  // relative to the working folder
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_FALSE(result.out.empty());
    const std::string path = result.out.substr(0, result.out.size() - 1);
    EXPECT_EQ(result.out.back(), '\n');
    EXPECT_EQ(fs::path(path).parent_path(), folder / "data" / "Quillhaven" / "Generated");
    const QImage image = readOutput(Url::fileURLWithPath(path));
    EXPECT_EQ(image.size(), QSize(3024, 1964));
    EXPECT_EQ(image.pixelColor(1512, 63), QColor(0, 0, 0));  // band of 64 rows
    EXPECT_EQ(image.pixelColor(1512, 1000), QColor(90, 140, 30));
}

TEST_F(CliTest, OptionsShapeTheCanvas) {
    const std::string out = (folder / "out").string();
    const CommandRun result = run({"--size", "100x50", "--scale=2", "--inset", "10", "--radius",
                                   "16", "--output-dir", QString::fromStdString(out), picture()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string path = result.out.substr(0, result.out.size() - 1);
    EXPECT_EQ(fs::path(path).parent_path(), fs::path(out));
    const QImage image = readOutput(Url::fileURLWithPath(path));
    EXPECT_EQ(image.size(), QSize(200, 100));
    EXPECT_EQ(image.pixelColor(100, 19), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(100, 21), QColor(90, 140, 30));
}

TEST_F(CliTest, RenderFailurePrintsTheMessageAndExitsOne) {
    const CommandRun result = run({"--output-dir", "out", "missing.png"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "quillhaven-render: missing.png: この壁紙は静止画として読み込めません\n");
    EXPECT_TRUE(result.out.empty());
    EXPECT_FALSE(fs::exists(folder / "out"));
}

TEST_F(CliTest, BadArgumentsPrintTheUsageAndExitTwo) {
    const QString file = picture();
    const std::vector<QStringList> cases = {
        {},
        {"--size", "100", file},
        {"--size", "100x", file},
        {"--size", "0x10", file},
        {"--scale", "abc", file},
        {"--scale", "nan", file},
        {"--scale", "-1", file},
        {"--scale", "1e-300", file},
        {"--inset", "-5", file},
        {"--radius", "-3", file},
        {"--size", "100x50", "--inset", "50", file},
        {"--size", "-1512x-982", file},
        {"--inset", file},
        {"--radius"},
        {"--bogus", file},
        {file, file},
        {"--output-dir=", file},
    };
    for (const QStringList& arguments : cases) {
        const CommandRun result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_NE(result.err.find("Usage: quillhaven-render"), std::string::npos);
        EXPECT_TRUE(result.out.empty());
    }
}

TEST_F(CliTest, HelpExplainsEveryOptionAndVersionNamesTheProgram) {
    const CommandRun version = run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("quillhaven-render ", 0), 0u) << version.out;
    const CommandRun result = run({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    for (const char* option : {"--size", "--scale", "--inset", "--radius", "--output-dir"}) {
        EXPECT_NE(result.out.find(option), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace quillhaven
