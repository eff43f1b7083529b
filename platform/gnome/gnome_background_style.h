#pragma once

// GNOME's picture-options value and the desktop-picture options the controller records.
//
// The controller keeps a picture's options as a scaling number and a clipping flag and hands
// them back unchanged at restore time, so every picture-options value is given a distinct
// (scaling, clipping) pair and the two directions are exact inverses:
//
//   picture-options | scaling                    | allowClipping | what GNOME does
//   ----------------+----------------------------+---------------+-------------------------------
//   stretched       | 1 axesIndependently        | false         | fills the screen, aspect lost
//   spanned         | 1 axesIndependently        | true          | one picture across all screens
//   scaled          | 3 proportionallyUpOrDown   | false         | whole picture, bars in colour
//   zoom            | 3 proportionallyUpOrDown   | true          | fills the screen, edges cut
//   centered        | 2 none                     | false         | natural size in the middle
//   wallpaper       | 2 none                     | true          | natural size, tiled
//   none            | 0 proportionallyDown       | false         | no picture, colour only
//
// The controller's own options for a generated picture (scaling 1, no clipping) therefore
// become "stretched". A pair outside the table has no GNOME counterpart and leaves the
// setting as it is.

#include <optional>
#include <string>

#include "controller/desktop_services.h"

namespace quillhaven::gnome {

struct ScalingAndClipping {
    ImageScaling scaling = ImageScaling::proportionallyDown;
    bool allowClipping = false;
    friend bool operator==(const ScalingAndClipping&, const ScalingAndClipping&) = default;
};

// The pair for a picture-options value, or none for a value GNOME does not define.
std::optional<ScalingAndClipping> scalingForPictureOptions(const std::string& pictureOptions);

// The picture-options value for a pair, or none when the table has no such pair.
std::optional<std::string> pictureOptionsForScaling(ScalingAndClipping pair);

// The picture-options value asked for by the options, or none when they carry no scaling
// or a scaling GNOME cannot show. An absent clipping entry reads as false.
std::optional<std::string> pictureOptionsForOptions(const DesktopPictureOptions& options);

}  // namespace quillhaven::gnome
