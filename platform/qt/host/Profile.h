#pragma once

class QWebEngineProfile;

namespace qz {

// The browser profile every page of the shell shares: the main window's page, the windows that
// links open and the Internet options dialog. Created on first use; it lives as long as the
// application object, and keeps cookies and cache on disk from one run to the next.
QWebEngineProfile* shellProfile();

} // namespace qz
