#include "fake_workspace.h"

namespace quillhaven::testing {

std::optional<Url> FakeWorkspace::desktopImageURL(const Display& display) {
    ++urlReads_;
    return picture(display.identifier);
}

std::optional<DesktopPictureOptions> FakeWorkspace::desktopImageOptions(const Display& display) {
    ++optionReads_;
    return options(display.identifier);
}

Outcome FakeWorkspace::setDesktopImageURL(const Url& url, const Display& display,
                                          const DesktopPictureOptions& options) {
    std::optional<std::string> failure;
    if (!nextFailures_.empty()) {
        failure = nextFailures_.front();
        nextFailures_.pop_front();
    } else {
        failure = persistentFailure_;
    }
    if (!failure) {
        entries_[display.identifier] = Entry{url, options};
    }
    setCalls_.push_back(SetCall{url, display.identifier, options, !failure.has_value()});
    if (onSet_) {
        onSet_(setCalls_.back());
    }
    return failure ? Outcome::failure(*failure) : Outcome::success();
}

void FakeWorkspace::setPicture(const std::string& displayIdentifier, std::optional<Url> url,
                               std::optional<DesktopPictureOptions> options) {
    entries_[displayIdentifier] = Entry{std::move(url), std::move(options)};
}

void FakeWorkspace::setOptions(const std::string& displayIdentifier,
                               std::optional<DesktopPictureOptions> options) {
    entries_[displayIdentifier].options = std::move(options);
}

std::optional<Url> FakeWorkspace::picture(const std::string& displayIdentifier) const {
    auto it = entries_.find(displayIdentifier);
    return it == entries_.end() ? std::nullopt : it->second.url;
}

std::optional<DesktopPictureOptions> FakeWorkspace::options(
    const std::string& displayIdentifier) const {
    auto it = entries_.find(displayIdentifier);
    return it == entries_.end() ? std::nullopt : it->second.options;
}

void FakeWorkspace::failAllSets(std::optional<std::string> description) {
    persistentFailure_ = std::move(description);
}

void FakeWorkspace::failNextSet(std::string description) {
    nextFailures_.push_back(std::move(description));
}

void FakeWorkspace::clearRecord() {
    setCalls_.clear();
    urlReads_ = 0;
    optionReads_ = 0;
}

}  // namespace quillhaven::testing
