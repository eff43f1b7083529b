// The asynchronous render: work off the caller's thread, result handed to the caller's runner.

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "tests/render/render_test_support.h"

namespace quillhaven {
namespace {

using namespace testing;

// A queue that other threads post tasks to and the test thread takes them from, like a
// main loop.
class TaskQueue {
public:
    // Notifies under the lock: once the taker sees the task it may destroy the queue, so the
    // poster must be done with the condition variable by then.
    void post(Task task) {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        ready_.notify_one();
    }
    Task take() {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return !tasks_.empty(); });
        Task task = std::move(tasks_.front());
        tasks_.pop_front();
        return task;
    }
    std::size_t size() {
        std::lock_guard lock(mutex_);
        return tasks_.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Task> tasks_;
};

class ProcessAsyncTest : public ::testing::Test {
protected:
    WallpaperProcessingRequest request() {
        return makeRequest(savePng(solid(8, 8, Qt::blue), folder / "p.png"), 8, 8, 1, 1, 1);
    }
    TempFolder folder;
    WallpaperProcessor processor{Url::directoryURLWithPath((folder / "out").string())};
};

TEST_F(ProcessAsyncTest, RendersOnAnotherThreadAndCompletesWhereDeliverRunsIt) {
    TaskQueue mainLoop;
    std::thread::id deliveredFrom;
    std::optional<ProcessingResult> received;
    std::thread::id completedOn;
    processor.process(
        request(),
        [&](ProcessingResult result) {
            received = std::move(result);
            completedOn = std::this_thread::get_id();
        },
        [&](Task task) {
            deliveredFrom = std::this_thread::get_id();
            mainLoop.post(std::move(task));
        });
    mainLoop.take()();
    ASSERT_TRUE(received);
    ASSERT_TRUE(received->succeeded());
    EXPECT_TRUE(std::filesystem::exists(received->value().path()));
    EXPECT_NE(deliveredFrom, std::this_thread::get_id());
    EXPECT_EQ(completedOn, std::this_thread::get_id());
}

TEST_F(ProcessAsyncTest, UsesTheGivenBackgroundRunnerAndPassesFailuresUnchanged) {
    std::vector<Task> background;
    TaskQueue mainLoop;
    std::optional<ProcessingResult> received;
    WallpaperProcessingRequest missing = request();
    missing.sourceURL = Url::fileURLWithPath((folder / "missing.png").string());
    processor.process(
        missing, [&](ProcessingResult result) { received = std::move(result); },
        [&](Task task) { mainLoop.post(std::move(task)); },
        [&](Task task) { background.push_back(std::move(task)); });
    ASSERT_EQ(background.size(), 1u);  // nothing ran on the caller's thread yet
    EXPECT_EQ(mainLoop.size(), 0u);
    background.front()();
    EXPECT_FALSE(received);  // the completion waits for the delivered task
    mainLoop.take()();
    ASSERT_TRUE(received);
    ASSERT_FALSE(received->succeeded());
    EXPECT_EQ(received->error().processingError(), WallpaperProcessingError::unsupportedImage);
}

}  // namespace
}  // namespace quillhaven
