#pragma once

namespace qz {

// A Wayland client cannot place its window, and the page's sizing centres it. In a Wayland session
// that also has an X server (XWayland), the shell runs on X, unless the user chose a platform
// (QT_QPA_PLATFORM or -platform); without one it runs natively and says once that it cannot place its
// window. Must run before the application object exists; may point argv at a longer list.
void chooseDisplayPlatform(int& argc, char**& argv);

} // namespace qz
