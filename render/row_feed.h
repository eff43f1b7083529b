#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace quillhaven {

// Hands decoded rows from the decoding thread to a second thread that processes them (in
// order), so decoding and reducing run at the same time on two cores. Rows pass through a
// small ring of buffers: the decoder fills `row()`, then `push()`es it, waiting only when
// the other thread is a full ring behind. When no thread can be started, every row is
// processed at once on the decoding thread instead.
class RowFeed {
public:
    using Process = std::function<void(std::uint8_t* row)>;

    // May throw std::bad_alloc.
    RowFeed(std::size_t rowBytes, Process process);
    // Stops the other thread; rows not yet processed by then are dropped.
    ~RowFeed();
    RowFeed(const RowFeed&) = delete;
    RowFeed& operator=(const RowFeed&) = delete;

    // The buffer for the next row. Never blocks.
    std::uint8_t* row() { return slot(pushed_); }
    // Queues the row just written to `row()`; waits while the ring is full.
    void push();
    // Waits until every pushed row has been processed.
    void finish();

private:
    std::uint8_t* slot(std::size_t index) {
        return buffer_.data() + (index % kSlots) * rowBytes_;
    }
    void run();

    static constexpr std::size_t kSlots = 32;
    std::size_t rowBytes_;
    Process process_;
    std::vector<std::uint8_t> buffer_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t pushed_ = 0;     // written by the decoding thread only
    std::size_t processed_ = 0;  // written by the processing thread only
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace quillhaven
