#pragma once

// The seams through which the controller reaches the desktop: the desktop picture, the
// display list, the preferences, the login item and the scheduler.
// Pure interfaces in plain C++; real implementations live in platform/, in-memory doubles
// in tests/doubles/.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/result.h"
#include "render/wallpaper_processor.h"

namespace quillhaven {

// ---- Displays --------------------------------------------------------------------------

// A rectangle in device-independent pixels in the desktop's global space: the origin at
// the top left, y growing downward, as the window system reports it.
struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// One attached display. The connector names it for the desktop-picture service, so a job
// can still set its picture on the display it started with after the list has changed.
struct Display {
    std::string connector;  // "eDP-1", "HDMI-A-1"
    bool isBuiltIn = false;  // the laptop's own panel
    bool isPrimary = false;
    Rect geometry;
    double devicePixelRatio = 1;
    // The camera notch's height in device pixels, when the panel shows the rows beside it.
    std::optional<std::uint32_t> notchHeight;
    friend bool operator==(const Display&, const Display&) = default;
};

// ---- Desktop-picture options -----------------------------------------------------------

// An sRGB colour, each component from 0 to 1.
struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
    static Color black() { return Color{0, 0, 0, 1}; }
    friend bool operator==(const Color&, const Color&) = default;
};

// A component as a byte, rounded to the nearest: a value outside 0 to 1 is clamped, one that
// is not a number reads 0. Every text form of a colour with 8 bits a component uses it.
inline int componentByte(double component) {
    if (!(component > 0)) {  // also NaN
        return 0;
    }
    return static_cast<int>(std::lround(std::min(component, 1.0) * 255));
}

// How a picture fills its display. The values are the ones the preference record stores.
// The underlying type is fixed, so a mode this list does not name is carried through
// unchanged: a desktop's own value comes back exactly as it was read.
enum class ImageScaling : std::int64_t {
    proportionallyDown = 0,
    axesIndependently = 1,
    none = 2,
    proportionallyUpOrDown = 3,
};

// How a picture is shown on a display. Every entry is optional: a desktop may not report
// it, and a value its backend cannot express is left out rather than guessed.
struct DesktopPictureOptions {
    std::optional<ImageScaling> scaling;
    // Whether the picture may be cut at the display's edges to fill it.
    std::optional<bool> allowClipping;
    // The colour around a picture that does not cover the display.
    std::optional<Color> fillColor;
    friend bool operator==(const DesktopPictureOptions&, const DesktopPictureOptions&) = default;
};

// The settings a desktop keeps behind a display's picture, in its own words: each setting by
// name with its exact text, or none where it is not set at all (a restore then unsets it
// again rather than writing a default). The controller keeps them with the record of the
// user's picture and hands them back unread, so a restore brings back every spelling and
// every key exactly as the user had them.
using NativePictureSettings = std::map<std::string, std::optional<std::string>>;

// ---- Services --------------------------------------------------------------------------

// The desktop picture of each display.
class Workspace {
public:
    virtual ~Workspace() = default;
    // The picture now shown on the display, or none when it cannot be read (or is not a
    // single picture). After a successful set it equals the URL that was set.
    virtual std::optional<Url> desktopImageURL(const Display& display) = 0;
    // The options now in force for the display, or none.
    virtual std::optional<DesktopPictureOptions> desktopImageOptions(const Display& display) = 0;
    virtual Outcome setDesktopImageURL(const Url& url, const Display& display,
                                       const DesktopPictureOptions& options) = 0;

    // The desktop's own settings behind the display's picture, or none where the desktop
    // keeps nothing beyond the URL and options above (the record then holds those alone).
    virtual std::optional<NativePictureSettings> nativeSettings(const Display&) {
        return std::nullopt;
    }
    // Writes settings read by nativeSettings() back exactly as they were; an unset one is
    // unset again. Whether they landed, the caller reads back.
    virtual Outcome restoreNativeSettings(const NativePictureSettings&, const Display&) {
        return Outcome::failure("this desktop keeps no settings of its own");
    }
    // Why the display's picture cannot be changed now (an administrator's lock, say), in the
    // desktop's own words, or none when it can.
    virtual std::optional<std::string> pictureChangeBlocker(const Display&) {
        return std::nullopt;
    }
    // Why the last read answered none, in the desktop's own words (a refusing or absent
    // shell), or empty when it gave no reason.
    virtual std::string lastReadFailure() { return {}; }
};

// Tells when the desktop picture may have changed, so that a newly chosen picture is
// followed at once instead of at the next poll. A desktop that cannot be watched simply has
// none; the poll then follows it alone.
class PictureChangeNotifier {
public:
    virtual ~PictureChangeNotifier() = default;
    // Starts watching. `changed` runs on the main loop after each change, possibly several
    // times for one change and now and then for none. Returns false when the desktop cannot
    // be watched.
    virtual bool watch(Task changed) = 0;
};

// The attached displays, read afresh on every call.
class DisplayService {
public:
    virtual ~DisplayService() = default;
    virtual std::vector<Display> screens() = 0;
};

// The user's own picture as recorded before Quillhaven's replaced it: everything a restore
// needs, and what the desktop held right after Quillhaven set its picture.
struct OriginalRecord {
    // The picture's absolute path, as recorded; none when nothing is recorded.
    std::optional<std::string> path;
    DesktopPictureOptions options;
    // The desktop's own settings behind the user's picture, where the desktop has them.
    std::optional<NativePictureSettings> desktopSettings;
    // What the desktop held right after Quillhaven set its picture: a setting that still
    // holds it was not changed by the user since. Present while Quillhaven's picture shows.
    std::optional<NativePictureSettings> appliedSettings;
    bool isEmpty() const { return *this == OriginalRecord{}; }
    friend bool operator==(const OriginalRecord&, const OriginalRecord&) = default;
};

// What Quillhaven keeps between runs: whether the effect is on, and the record of the user's
// picture.
class PreferenceStore {
public:
    virtual ~PreferenceStore() = default;
    virtual bool isEnabled() = 0;
    virtual void setEnabled(bool enabled) = 0;
    // The record as stored; parts that cannot be read are left out.
    virtual OriginalRecord originalRecord() = 0;
    // Stores the record (an empty one forgets it) and, when given, the flag, in one save:
    // every part lands or none does. Succeeds only when all of it reads back as written, so
    // a full disk or a read-only folder is never taken for a record kept.
    virtual Outcome saveOriginalRecord(const OriginalRecord& record,
                                       std::optional<bool> enabled = std::nullopt) = 0;
};

enum class LoginItemStatus { notRegistered = 0, enabled = 1, requiresApproval = 2, notFound = 3 };

// The application's own login item.
class LoginItemService {
public:
    virtual ~LoginItemService() = default;
    virtual Outcome registerItem() = 0;
    virtual Outcome unregisterItem() = 0;
    virtual LoginItemStatus status() = 0;
};

// A repeating timer. It keeps running for the life of the process; dropping the handle
// does not stop it.
class RepeatingTimer {
public:
    virtual ~RepeatingTimer() = default;
};

// The main loop and background work. All tasks except `runInBackground` run on the main
// thread. `post` may be called from any thread.
class Scheduler {
public:
    using Duration = std::chrono::milliseconds;
    virtual ~Scheduler() = default;
    // Runs the task on a later turn of the main loop.
    virtual void post(Task task) = 0;
    // Runs the task on the main loop no earlier than `delay` from now.
    virtual void postAfter(Duration delay, Task task) = 0;
    // Runs `tick` on the main loop every `interval`, for the life of the process.
    virtual std::shared_ptr<RepeatingTimer> scheduleRepeating(Duration interval, Task tick) = 0;
    // Runs the task on a background worker, never on the main thread.
    virtual void runInBackground(Task task) = 0;
};

// Everything the controller talks to, handed over at construction.
struct DesktopServices {
    std::shared_ptr<PreferenceStore> defaults;
    std::shared_ptr<Workspace> workspace;
    std::shared_ptr<DisplayService> displays;
    std::shared_ptr<LoginItemService> loginItem;
    std::shared_ptr<Scheduler> scheduler;
    // Optional: none where the desktop cannot be watched.
    std::shared_ptr<PictureChangeNotifier> changes;
};

}  // namespace quillhaven
