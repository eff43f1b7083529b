#include "tests/platform/test_support.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillhaven::testing {

std::string readFile(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream contents;
    contents << stream.rdbuf();
    return contents.str();
}

void writeFile(const std::string& path, const std::string& contents) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream << contents;
}

bool fileExists(const std::string& path) {
    return std::filesystem::exists(path);
}

Environment environmentWith(std::map<std::string, std::string> variables) {
    return Environment(std::move(variables));
}

void blockWithFile(const std::string& path) {
    writeFile(path, "not a folder\n");
}

bool runEventLoopUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    // Wakes the loop at the deadline, should nothing else arrive. Re-armed on every turn:
    // a timer may fire a little early, and waiting after it would then never end.
    QTimer guard;
    guard.setSingleShot(true);
    guard.setTimerType(Qt::PreciseTimer);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        guard.start(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace quillhaven::testing
