// The titles of the program's windows. Other programs find Veltrane by them: the session window
// and the settings dialog mark a running Veltrane for its own single-instance test and for the
// setup program (installer/CMakeLists.txt reads them from here), and the scripts and test tools
// look for the windows by them (scripts/screen.sh reads this file). Keep each on one line in this
// form.
#pragma once

namespace Veltrane_B {

inline constexpr const char* kSessionTitle = "Veltrane_Main";
inline constexpr const char* kDialogTitle = "<Veltrane>";
inline constexpr const char* kPreviewTitle = "Preview Window";
// The title of the program's own message boxes.
inline constexpr const char* kApplicationTitle = "Veltrane";

}  // namespace Veltrane_B
