// Kill -9 at many moments of the real app's cycle (apply, the reprocess a restart begins
// with, restore), each followed by a normal run. Whatever the moment:
// - the desktop file stays readable and the picture it shows is a complete file;
// - the next run brings the user's own picture and options back when it switches the effect
//   off, and leaves no file of its own (temporary ones included) in the generated folder.
//
// The self-test run is the cycle: it switches the effect on (or, with the flag already on,
// finds the generated picture showing and processes the recorded original again: every
// second delay starts from there), waits for the render, switches the effect off and quits. Several private worlds run side by side to
// keep the test short.

#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/app_process.h"
#include "tests/support/app_sandbox.h"

extern char** environ;

namespace quillhaven::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int delayCount = 30;
constexpr int worldCount = 5;

const QJsonObject originalOptions{
    {"scaling", 2}, {"allowClipping", false}, {"fillColor", "#336699ff"}};

std::string compact(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

// The app started with posix_spawn, so that it can be run and killed from any thread.
class RawProcess {
public:
    RawProcess(const AppWorld& world, const std::vector<std::string>& arguments) {
        std::vector<std::string> variables;
        for (const QString& entry : world.environment().toStringList()) {
            variables.push_back(entry.toStdString());
        }
        std::vector<char*> envp;
        for (std::string& variable : variables) {
            envp.push_back(variable.data());
        }
        envp.push_back(nullptr);
        std::string program = QUILLHAVEN_BINARY;
        std::vector<std::string> args{program};
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const std::string home = world.path(QStringLiteral("home")).toStdString();
        posix_spawn_file_actions_addchdir_np(&actions, home.c_str());
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~RawProcess() {
        if (pid_ > 0 && !finished_) {
            kill();
        }
    }
    bool started() const { return pid_ > 0; }
    void kill() {
        ::kill(pid_, SIGKILL);
        wait(std::chrono::seconds(10));
    }
    // The exit status, or none when it has not ended in time or did not exit normally.
    std::optional<int> wait(std::chrono::milliseconds limit) {
        const auto end = Clock::now() + limit;
        while (true) {
            int status = 0;
            const pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                finished_ = true;
                return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
            }
            if (Clock::now() > end) {
                return std::nullopt;
            }
            std::this_thread::sleep_for(5ms);
        }
    }

private:
    pid_t pid_ = -1;
    bool finished_ = false;
};

// A file a reader would take for the whole picture: it decodes, and a PNG ends with IEND.
bool isCompletePicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (path.endsWith(QStringLiteral(".png")) &&
        !bytes.endsWith(QByteArray::fromRawData("IEND\xae\x42\x60\x82", 8))) {
        return false;
    }
    QImageReader reader(path);
    return !reader.read().isNull();
}

struct Finding {
    int delayMilliseconds;
    std::string what;
};

class World {
public:
    World() {
        original_ = world_.makePicture(QStringLiteral("original.png"), QColor(200, 80, 40));
        // A 2400 x 1560 pixel wallpaper, so that a render and its write take a while.
        world_.writeDesktop(original_, originalOptions, QSize(400, 260), 6);
    }

    // One full cycle, timed.
    std::chrono::milliseconds cycle() {
        const auto start = Clock::now();
        RawProcess app(world_, {"--self-test"});
        app.wait(60s);
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    }

    // Kills a cycle after `delay`, checks what it left, then runs a cycle to the end and
    // checks that everything is back. With `fromApplied` the effect is on before the killed
    // cycle starts, so that cycle begins by processing the recorded original again.
    void killAndRecover(std::chrono::milliseconds delay, bool fromApplied,
                        std::vector<Finding>& findings) {
        const auto note = [&](const std::string& what) {
            findings.push_back({static_cast<int>(delay.count()), what});
        };
        if (fromApplied && !apply()) {
            note("the effect could not be switched on before the cycle");
            return;
        }
        {
            RawProcess app(world_, {"--self-test"});
            if (!app.started()) {
                note("the app did not start");
                return;
            }
            std::this_thread::sleep_for(delay);
            app.kill();
        }
        const QString shown = world_.shownPicture();
        if (shown.isEmpty()) {
            note("after the kill the desktop file shows no picture or cannot be read");
        } else if (!isCompletePicture(shown)) {
            note("after the kill the shown picture is missing or incomplete: " +
                 shown.toStdString());
        }

        RawProcess again(world_, {"--self-test"});
        const std::optional<int> status = again.wait(60s);
        if (status != 0) {
            note("the next run did not finish with status 0");
        }
        if (world_.shownPicture() != original_) {
            note("the next run did not bring the original back; shown: " +
                 world_.shownPicture().toStdString());
        }
        if (compact(world_.desktopImage()["options"].toObject()) != compact(originalOptions)) {
            note("the original options are not back: " +
                 compact(world_.desktopImage()["options"].toObject()));
        }
        if (!world_.generatedFiles().isEmpty()) {
            note("files stay in the generated folder: " +
                 world_.generatedFiles().join(QStringLiteral(", ")).toStdString());
        }
        if (world_.preference(QStringLiteral("quillHaven.originalWallpaper"))) {
            note("the record of the original is still stored");
        }
    }

private:
    // Runs the app with the flag on until the generated picture shows, then kills it.
    bool apply() {
        world_.writePreference(QStringLiteral("quillHaven.enabled"), true);
        RawProcess app(world_, {});
        const bool shown = waitUntil(
            [&] {
                return world_.shownPicture().startsWith(world_.generatedFolder() + "/") &&
                       world_.preference(QStringLiteral("quillHaven.originalWallpaper"));
            },
            30s);
        app.kill();
        return shown;
    }

    AppWorld world_;
    QString original_;
};

class CrashConsistencyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::ensureCoreApplication(); }
};

TEST_F(CrashConsistencyTest, KillNineAnywhereInTheCycleLosesNothing) {
    // The cycle's length on this machine and build, measured once and spread over.
    const std::chrono::milliseconds cycle = World().cycle();
    ASSERT_GT(cycle, 500ms);
    std::vector<std::chrono::milliseconds> delays;
    for (int i = 0; i < delayCount; ++i) {
        delays.push_back(cycle * (2 * i + 1) / (2 * delayCount));
    }

    std::mutex mutex;
    std::vector<Finding> findings;
    std::vector<std::thread> runners;
    for (int w = 0; w < worldCount; ++w) {
        runners.emplace_back([&, w] {
            World world;
            std::vector<Finding> own;
            for (std::size_t i = static_cast<std::size_t>(w); i < delays.size();
                 i += worldCount) {
                world.killAndRecover(delays[i], i % 2 == 1, own);
            }
            const std::lock_guard lock(mutex);
            findings.insert(findings.end(), own.begin(), own.end());
        });
    }
    for (std::thread& runner : runners) {
        runner.join();
    }
    for (const Finding& finding : findings) {
        ADD_FAILURE() << "killed after " << finding.delayMilliseconds << " ms: " << finding.what;
    }
    std::printf("cycle %lld ms, %d delays from %lld to %lld ms, %zu findings\n",
                static_cast<long long>(cycle.count()), delayCount,
                static_cast<long long>(delays.front().count()),
                static_cast<long long>(delays.back().count()), findings.size());
}

}  // namespace
}  // namespace quillhaven::e2e
