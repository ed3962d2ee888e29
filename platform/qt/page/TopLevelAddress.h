#pragma once

class QUrl;

namespace qz {

class PortalScope;

// What becomes of an address a window of the shell is to show at its top level (or a frame is to
// load, for addresses the engine would give to another program).
enum class TopLevelVerdict {
    // The portal's own content: the window shows it.
    Show,
    // A web page outside the portal: the user's own browser shows it.
    HandToBrowser,
    // An address for another program of the desktop (mailto:, a registered handler): only a click
    // by the user, answered yes, sends it there.
    AskDesktop,
    // Nothing anyone should see in the shell, nor hand to the desktop.
    Refuse,
};

// Judges target for a window that now shows shown (empty for a window that has shown nothing yet).
// blob: documents carry the origin of the page that made them, so a portal page's own stay and an
// embedded outside frame's are refused; data: and javascript: addresses have no origin of their own
// and are taken as the shown document's, which must be the portal's. A window may show about:blank
// only as the empty page it opens with. Local and engine addresses (file:, filesystem:,
// view-source:, chrome:...) are refused, but for a file shown after another.
TopLevelVerdict judgeTopLevel(const QUrl& target, const QUrl& shown, const PortalScope& scope);

// What the engine gives for window.open('') and window.open('about:blank'): a window whose first
// document is the engine's initial empty one.
bool opensEmptyDocument(const QUrl& requested);

// Whether the engine loads address itself (a web page, a document it makes, an engine page), rather
// than giving it to another program of the desktop.
bool engineLoads(const QUrl& address);

} // namespace qz
