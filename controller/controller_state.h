#pragma once

// What the shell shows of the controller, as one value, and the holder that tells the shell
// once per change.

#include <functional>
#include <string>
#include <utility>

namespace quillhaven {

struct ControllerState {
    bool isEnabled = false;
    bool isBusy = false;
    std::string statusMessage;
    bool hasError = false;
    bool launchAtLogin = false;
    std::string screenSummary;
    friend bool operator==(const ControllerState&, const ControllerState&) = default;
};

// Every change goes through update(), which calls the observer once when the value moved,
// however many fields one step touched, and not at all when nothing moved.
class ObservedState {
public:
    explicit ObservedState(ControllerState initial) : value_(std::move(initial)) {}

    const ControllerState& value() const { return value_; }

    // May be replaced at any time, also from inside the observer.
    void setObserver(std::function<void()> observer) { observer_ = std::move(observer); }

    template <typename Change>
    void update(Change&& change) {
        ControllerState next = value_;
        std::forward<Change>(change)(next);
        if (next == value_) {
            return;
        }
        value_ = std::move(next);
        if (observer_) {
            // A copy, so that an observer which replaces itself finishes safely.
            auto observer = observer_;
            observer();
        }
    }

private:
    ControllerState value_;
    std::function<void()> observer_;
};

}  // namespace quillhaven
