#pragma once

namespace gainbook {

// Gets the process ready for the browser engine. Call it before the
// QGuiApplication is created:
// - with no display (no DISPLAY nor WAYLAND_DISPLAY) and no platform chosen,
//   the offscreen platform is chosen, so pages load on servers and in CI;
// - as root the engine's sandbox cannot start, so it is turned off unless
//   the engine's flags were set by hand; without a display the GPU is not
//   tried either;
// - the engine's own logging is silenced unless GAINBOOK_DEBUG is set;
// - the engine wants OpenGL contexts shared across the application.
void prepareBrowserEngine();

// Silences the engine's own logging on standard error unless GAINBOOK_DEBUG
// is set. Call it before the engine starts.
void quietBrowserEngine();

} // namespace gainbook
