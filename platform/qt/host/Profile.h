#pragma once

class QWebEngineProfile;

namespace qz {

class MainWindowPresence;
class TrayBalloons;
class WritableStorage;

// A new browser profile for every page of the shell: the main window's page, the windows that links
// open and the Internet options dialog. The application object makes one at start-up; it belongs to
// the QApplication, so that every page, which goes before it, is released first, and keeps cookies
// and cache on disk from one run to the next where storage allows. It comes with what its pages
// share: their downloads, the answers to their permission questions and their notifications, which
// tell the user through balloons while the main window is not shown.
QWebEngineProfile* createProfile(
    const WritableStorage& storage, const TrayBalloons& balloons, const MainWindowPresence& mainWindow);

} // namespace qz
