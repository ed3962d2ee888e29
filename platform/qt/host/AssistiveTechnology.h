#pragma once

namespace qz {

class SessionBus;

// Qt WebEngine on Linux keeps the page out of the accessibility tree unless told before it starts, so
// a screen reader would hear the window and its menus but nothing of the portal. When an assistive
// technology is active (the accessibility bus says so, as a screen reader does when it starts, or the
// user asked Qt to expose itself always), the engine is told. A screen reader started later is
// honoured from the shell's next start. Must run before the application object exists.
void exposePageToAssistiveTechnology(SessionBus& bus);

} // namespace qz
