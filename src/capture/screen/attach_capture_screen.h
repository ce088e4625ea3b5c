#pragma once

namespace gainbook {

class AppContext;
class Prompter;
class frmCapture;
class frmMain;

// Gives the main window its capture screen: "&Capture", its menu item and
// the opening on an empty database show it modally, and the main window
// shows fresh data once it is closed. The screen belongs to the window and
// lives as long as it does, so it keeps its fields between openings.
frmCapture* attachCaptureScreen(frmMain& window, AppContext& context, Prompter& prompter);

} // namespace gainbook
