#pragma once

// The names under which the running app is reached on the session bus.

namespace quillhaven::BusNames {

inline constexpr const char* service = "io.github.quillhaven.Quillhaven";
inline constexpr const char* objectPath = "/Quillhaven";
inline constexpr const char* interface = "io.github.quillhaven.Quillhaven";
// The error a command gets while a wallpaper is being processed: nothing was done.
inline constexpr const char* busyError = "io.github.quillhaven.Quillhaven.Error.Busy";
// The standard interface through which the properties are read and announced.
inline constexpr const char* propertiesInterface = "org.freedesktop.DBus.Properties";
// The error Reprocess gets while the effect is off.
inline constexpr const char* effectOffError = "io.github.quillhaven.Quillhaven.Error.EffectOff";

}  // namespace quillhaven::BusNames
