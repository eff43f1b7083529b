#pragma once

// Finds the camera notch of an Apple-silicon laptop panel as Linux exposes it.
//
// The panel's display driver hides the notch rows unless its `show_notch` parameter is on
// (module `appledrm` on current kernels, `apple_dcp` on older ones). The notch height in
// device pixels is the big-endian 32-bit property `apple,notch-height` of the display
// controller's device-tree node, whose path the alias `dcp` names.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillhaven {

// Where the detection reads from; tests point both at a fake tree.
struct NotchSources {
    std::filesystem::path sysRoot = "/sys";
    std::filesystem::path procRoot = "/proc";
};

// The notch height in device pixels when the driver shows the notch rows and the device
// tree gives a positive height; none otherwise.
std::optional<std::uint32_t> detectBuiltInNotchHeight(const NotchSources& sources);

// Whether the driver's `show_notch` parameter is on. A missing parameter counts as off.
bool isNotchShown(const NotchSources& sources);

// The height from the device tree, whether or not the rows are shown.
std::optional<std::uint32_t> deviceTreeNotchHeight(const NotchSources& sources);

// The built-in panel: the connector whose name starts with "eDP", or the only screen.
bool isBuiltInPanel(std::string_view connectorName, std::size_t screenCount);

// The name of the variable that gives the built-in panel (or, without one, the primary screen) a notch of that many pixels.
inline constexpr const char* notchHeightOverrideVariable = "QUILLHAVEN_NOTCH_HEIGHT";

// Parses the override: a positive whole number of pixels, surrounding spaces allowed.
// Anything else (empty, zero, negative, fractional, trailing text, absurdly large) is
// ignored and gives none.
std::optional<std::uint32_t> parseNotchHeightOverride(std::string_view text);

}  // namespace quillhaven
