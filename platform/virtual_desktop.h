#pragma once

// A notched desktop kept in one JSON file, $XDG_CONFIG_HOME/Quillhaven/virtual-desktop.json:
// its displays and the picture each one shows. It stands in for a real desktop wherever
// none applies (headless machines, CI, a computer without a notched panel).
//
// The file is read afresh on every call, so an edit made by hand is seen at the next poll.
// Writes go through a temporary file and a rename, and keep every field they do not set
// (other displays, unknown keys). When the file does not exist it is created with the
// built-in notched display showing the sample picture, which is copied into
// $XDG_DATA_HOME/Quillhaven/. A file that cannot be parsed is never overwritten: it reads
// as a desktop with no displays, and setting a picture fails, so nothing the user wrote is
// lost.

#include <string>

#include "controller/desktop_services.h"

namespace quillhaven {

class Environment;

class VirtualDesktop : public Workspace, public DisplayService {
public:
    VirtualDesktop(std::string filePath, std::string sampleFolder);

    // The file and sample folder named by the environment's XDG folders.
    static std::shared_ptr<VirtualDesktop> forEnvironment(const Environment& environment);

    const std::string& filePath() const { return filePath_; }
    // Where the sample picture is copied on first run.
    std::string samplePicturePath() const;

    std::vector<Display> screens() override;
    // None when the display or its desktopImage is missing. A URL that is not a file URL
    // is answered as it is, so the caller can refuse it.
    std::optional<Url> desktopImageURL(const Display& display) override;
    // Empty options when the picture has none; none without a desktopImage.
    std::optional<DesktopPictureOptions> desktopImageOptions(const Display& display) override;
    // Needs an existing local file and a display on that connector in a readable file.
    Outcome setDesktopImageURL(const Url& url, const Display& display,
                               const DesktopPictureOptions& options) override;

private:
    std::string filePath_;
    std::string sampleFolder_;
};

}  // namespace quillhaven
