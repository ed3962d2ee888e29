#pragma once

namespace qz {

class SessionBus;

// Qt 6 has no XIM: without QT_IM_MODULE a desktop's input method reaches no field of the shell, and
// Chinese cannot be typed. When the user set none, the shell picks the input method that runs on the
// session bus (fcitx5 or ibus), as the desktop would have. Must run before the application object exists.
void chooseInputMethod(SessionBus& bus);

} // namespace qz
