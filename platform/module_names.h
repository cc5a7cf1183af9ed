#pragma once
// File names of the deliverables and outside components as they exist on this platform.
// Every other module takes these names from here.

namespace nivra::platform::names {

inline constexpr const char* kResolverLibrary = "libdecode.so";  // "decode.dll"
inline constexpr const char* kUpdater = "Update";                // "Update.exe"
inline constexpr const char* kControlLibrary = "libkinoro.so";   // "Kinoro.ocx"
inline constexpr const char* kFlashMovie = "NVRFlash.swf";
inline constexpr const char* kAppName = "Nivra";

}  // namespace nivra::platform::names
