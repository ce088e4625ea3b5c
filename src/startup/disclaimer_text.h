#pragma once

#include <QString>

namespace gainbook {

// The text the disclaimer window shows before the main window opens.
QString disclaimerText();

// The address of the user guide on the web, with its latest updates.
QString webUserGuideAddress();

} // namespace gainbook
