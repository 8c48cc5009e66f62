#pragma once
// The login browser's engine mode. The system's web-browser control renders in IE7 document
// mode unless the program that hosts it is named under FEATURE_BROWSER_EMULATION; the
// platform's login pages need IE11 edge mode. Per user, so no administrator rights are needed.

namespace quillane {

// IE11 edge mode, whatever the page's DOCTYPE says.
inline constexpr unsigned long kIe11EdgeMode = 11001;
// IE11 mode that follows the page's DOCTYPE: a member who chose it keeps it.
inline constexpr unsigned long kIe11DoctypeMode = 11000;

// Writes the value for the program's own file name (as started) unless it already asks for an
// IE11 mode. Must run before the control is created: the control reads it once.
void askForIe11Mode();

}  // namespace quillane
