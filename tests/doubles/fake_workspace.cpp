#include "tests/doubles/fake_workspace.h"

#include <cstdio>

namespace quillhaven::testing {

std::optional<Url> FakeWorkspace::desktopImageURL(const Display& display) {
    ++urlReads_;
    if (unreadable_) {
        return std::nullopt;
    }
    return picture(display.connector);
}

std::optional<DesktopPictureOptions> FakeWorkspace::desktopImageOptions(const Display& display) {
    ++optionReads_;
    if (unreadable_) {
        return std::nullopt;
    }
    return options(display.connector);
}

std::optional<std::string> FakeWorkspace::nextFailure() {
    if (blocker_) {
        return blocker_;
    }
    if (unreadable_) {
        return readFailure_;
    }
    if (!nextFailures_.empty()) {
        std::string failure = nextFailures_.front();
        nextFailures_.pop_front();
        return failure;
    }
    return persistentFailure_;
}

Outcome FakeWorkspace::setDesktopImageURL(const Url& url, const Display& display,
                                          const DesktopPictureOptions& options) {
    const std::optional<std::string> failure = nextFailure();
    if (!failure && !swallowsWrites_) {
        Entry& entry = entries_[display.connector];
        entry.url = url;
        entry.options = options;
        // Like GNOME, a set puts the same picture under the dark key too.
        if (keepsNative_) {
            entry.extra["dark"] = url.path();
        }
    }
    setCalls_.push_back(SetCall{url, display.connector, options, !failure.has_value()});
    if (onSet_) {
        onSet_(setCalls_.back());
    }
    return failure ? Outcome::failure(*failure) : Outcome::success();
}

std::optional<NativePictureSettings> FakeWorkspace::nativeSettings(const Display& display) {
    if (!keepsNative_ || unreadable_) {
        return std::nullopt;
    }
    const Entry& entry = entries_[display.connector];
    NativePictureSettings settings = entry.extra;
    settings["picture"] = entry.url ? std::optional(entry.url->path()) : std::nullopt;
    std::optional<std::string> fill;
    if (entry.options && entry.options->fillColor) {
        const Color& c = *entry.options->fillColor;
        fill = std::to_string(c.red) + "," + std::to_string(c.green) + "," +
               std::to_string(c.blue);
    }
    settings["fill"] = fill;
    settings.try_emplace("dark", std::nullopt);
    return settings;
}

Outcome FakeWorkspace::restoreNativeSettings(const NativePictureSettings& settings,
                                             const Display& display) {
    if (const std::optional<std::string> failure = nextFailure()) {
        return Outcome::failure(*failure);
    }
    if (swallowsWrites_) {
        return Outcome::success();
    }
    Entry& entry = entries_[display.connector];
    entry.extra.clear();
    for (const auto& [name, value] : settings) {
        if (name == "picture") {
            entry.url = value ? std::optional(Url::fileURLWithPath(*value)) : std::nullopt;
        } else if (name == "fill") {
            DesktopPictureOptions options = entry.options.value_or(DesktopPictureOptions{});
            options.fillColor.reset();
            if (value) {
                Color color;
                std::sscanf(value->c_str(), "%lf,%lf,%lf", &color.red, &color.green, &color.blue);
                options.fillColor = color;
            }
            entry.options = options;
        } else {
            entry.extra[name] = value;
        }
    }
    return Outcome::success();
}

std::optional<std::string> FakeWorkspace::pictureChangeBlocker(const Display&) {
    return blocker_;
}

void FakeWorkspace::setNativeSetting(const std::string& displayIdentifier, const std::string& name,
                                     std::optional<std::string> value) {
    entries_[displayIdentifier].extra[name] = std::move(value);
}

void FakeWorkspace::setUnreadable(std::optional<std::string> reason) {
    unreadable_ = reason.has_value();
    readFailure_ = reason.value_or(std::string());
}

void FakeWorkspace::setPicture(const std::string& displayIdentifier, std::optional<Url> url,
                               std::optional<DesktopPictureOptions> options) {
    Entry& entry = entries_[displayIdentifier];
    entry.url = std::move(url);
    entry.options = std::move(options);
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
