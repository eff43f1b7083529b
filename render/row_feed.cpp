#include "render/row_feed.h"

#include <system_error>
#include <utility>

namespace quillhaven {

RowFeed::RowFeed(std::size_t rowBytes, Process process)
    : rowBytes_(rowBytes), process_(std::move(process)), buffer_(rowBytes * kSlots) {
    if (std::thread::hardware_concurrency() < 2) {
        return;
    }
    try {
        worker_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // No thread to be had: push() processes each row itself.
    }
}

RowFeed::~RowFeed() {
    if (worker_.joinable()) {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        worker_.join();
    }
}

void RowFeed::push() {
    if (!worker_.joinable()) {
        process_(slot(pushed_));
        ++pushed_;
        ++processed_;
        return;
    }
    std::unique_lock lock(mutex_);
    ++pushed_;
    changed_.notify_all();
    // The next row() must not be a slot the other thread is still reading.
    changed_.wait(lock, [this] { return pushed_ - processed_ < kSlots; });
}

void RowFeed::finish() {
    if (!worker_.joinable()) {
        return;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return processed_ == pushed_; });
}

void RowFeed::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || processed_ < pushed_; });
        if (stopping_) {
            return;
        }
        // One row at a time without holding the lock, so the decoder can go on.
        std::uint8_t* row = slot(processed_);
        lock.unlock();
        process_(row);
        lock.lock();
        ++processed_;
        changed_.notify_all();
    }
}

}  // namespace quillhaven
