#pragma once

// An in-memory desktop-picture service. Each display (by identifier) has a picture URL and
// its display options, either of which may be absent. Sets succeed and store the picture
// and options unless a failure is scripted; every call is recorded so that tests can check
// what was asked of the desktop and in which order.

#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "controller/desktop_services.h"

namespace quillhaven::testing {

class FakeWorkspace : public Workspace {
public:
    struct SetCall {
        Url url;
        std::string displayIdentifier;
        DesktopPictureOptions options;
        bool succeeded = false;
    };

    // ---- Workspace ----
    std::optional<Url> desktopImageURL(const Display& display) override;
    std::optional<DesktopPictureOptions> desktopImageOptions(const Display& display) override;
    Outcome setDesktopImageURL(const Url& url, const Display& display,
                               const DesktopPictureOptions& options) override;
    std::optional<NativePictureSettings> nativeSettings(const Display& display) override;
    Outcome restoreNativeSettings(const NativePictureSettings& settings,
                                  const Display& display) override;
    std::optional<std::string> pictureChangeBlocker(const Display& display) override;
    std::string lastReadFailure() override { return readFailure_; }

    // ---- Desktop behaviour ----
    // While on, the desktop keeps its own settings, as GNOME and Plasma do: "picture" and
    // "fill" as text, and a "dark" picture that only a native restore puts back, since a set
    // writes the same picture to it. Settings never set read as unset.
    void setKeepsNativeSettings(bool keeps) { keepsNative_ = keeps; }
    void setNativeSetting(const std::string& displayIdentifier, const std::string& name,
                          std::optional<std::string> value);
    // An administrator's lock: every change fails with this text until cleared.
    void setBlocker(std::optional<std::string> blocker) { blocker_ = std::move(blocker); }
    // Writes report success but do not land, as with a settings service that has stopped.
    void setSwallowsWrites(bool swallows) { swallowsWrites_ = swallows; }
    // Reads answer none with this reason until cleared (a shell that is away).
    void setUnreadable(std::optional<std::string> reason);

    // ---- Arranging the desktop ----
    // Puts a picture on a display as if the user had chosen it. `options` none makes
    // desktopImageOptions() answer none.
    void setPicture(const std::string& displayIdentifier, std::optional<Url> url,
                    std::optional<DesktopPictureOptions> options = DesktopPictureOptions{});
    void setOptions(const std::string& displayIdentifier,
                    std::optional<DesktopPictureOptions> options);
    std::optional<Url> picture(const std::string& displayIdentifier) const;
    std::optional<DesktopPictureOptions> options(const std::string& displayIdentifier) const;

    // ---- Scripting failures ----
    // Every set fails with this description until cleared (none).
    void failAllSets(std::optional<std::string> description);
    // The next set fails with this description; queued failures are used one per set,
    // before the persistent one.
    void failNextSet(std::string description);
    // Called after every set with the recorded call (for tests that must react at once).
    void setOnSet(std::function<void(const SetCall&)> hook) { onSet_ = std::move(hook); }

    // ---- Record of calls ----
    const std::vector<SetCall>& setCalls() const { return setCalls_; }
    std::size_t urlReads() const { return urlReads_; }
    std::size_t optionReads() const { return optionReads_; }
    void clearRecord();

private:
    struct Entry {
        std::optional<Url> url;
        std::optional<DesktopPictureOptions> options;
        NativePictureSettings extra;  // settings besides the URL and options
    };
    std::optional<std::string> nextFailure();
    bool keepsNative_ = false;
    bool swallowsWrites_ = false;
    bool unreadable_ = false;
    std::optional<std::string> blocker_;
    std::string readFailure_;
    std::map<std::string, Entry> entries_;
    std::deque<std::string> nextFailures_;
    std::optional<std::string> persistentFailure_;
    std::function<void(const SetCall&)> onSet_;
    std::vector<SetCall> setCalls_;
    std::size_t urlReads_ = 0;
    std::size_t optionReads_ = 0;
};

}  // namespace quillhaven::testing
