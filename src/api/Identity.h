#pragma once

// How this client names itself to the service. These are wire values: the service keys on them.
namespace orvella::identity {

// The platform of every request ("X-Platform"), of uploads and of the web links' "src".
inline constexpr auto platform = "macos";
// The platform the device sign-in and sign-out speak as.
inline constexpr auto signInPlatform = "androidtv";
// Put before a device model that does not already begin with "Mac" (UTF-8).
inline constexpr auto modelPrefix = "Mac \u2014 ";
// The title and source of an uploaded testimony.
inline constexpr auto testimonyTitle = "Testimony from macOS Studio";
inline constexpr auto testimonySource = "macos_studio";
// The client's version as the service sees it (the project's version).
inline constexpr auto appVersion = ORVELLA_APP_VERSION;

} // namespace orvella::identity
