#pragma once

class QWebEngineProfile;

namespace qz {

// Notifications of the portal's pages show as balloons from the tray icon, once the user allowed
// the page's site to notify; a click on one shows the window of the page that sent it. A site
// outside the portal shows none, whatever the user answered.
namespace PortalNotifications {

void presentFor(QWebEngineProfile* profile);

} // namespace PortalNotifications
} // namespace qz
