#pragma once

#include <QUrl>
#include <QWebEnginePage>

#include "EditableFocus.h"
#include "LoadErrorPage.h"
#include "OpenedWindowWrites.h"
#include "RendererCrashPolicy.h"
#include "platform/qt/questions/CertificateQuestions.h"
#include "platform/qt/questions/LoginQuestions.h"
#include "platform/qt/questions/PageDialogs.h"

class QWebEngineNewWindowRequest;

namespace qz {

class OutsideLinks;
class Pages;

// The page of every browser view the shell shows. It shows the portal's pages only: a way out of
// the portal, in the page or in a window it opens, leads to the user's own browser. A page that
// opens a window of the portal (a link with a target, window.open) gets a new BrowserWindow from the
// same pages, on the same profile. A page whose renderer process dies is reloaded, or shows a short notice
// with a way back to the address it showed.
class WebPage final : public QWebEnginePage {
    Q_OBJECT
public:
    // The title of the notice; it never carries the text that sizes the main window.
    static const QString kStoppedTitle;

    WebPage(Pages& pages, QObject* parent);

    const EditableFocus& editableFocus() const { return m_editableFocus; }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& text) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& text) override;
    bool javaScriptPrompt(
        const QUrl& securityOrigin, const QString& text, const QString& proposed, QString* answer) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
        const QString& source) override;

private:
    bool admitsNavigation(const QUrl& url, NavigationType type, bool isMainFrame);
    void openRequestedWindow(QWebEngineNewWindowRequest& request);
    void recoverRenderer(RenderProcessTerminationStatus status);
    void reloadAfterCrash();
    void showStoppedNotice();

    Pages& m_pages;
    PageDialogs m_dialogs { this };
    CertificateQuestions m_certificates;
    LoginQuestions m_logins { this };
    EditableFocus m_editableFocus { this };
    OpenedWindowWrites m_openedWindowWrites { this };
    OutsideLinks* m_outsideLinks;
    LoadErrorPage m_loadErrors;
    RendererCrashPolicy m_crashes;
    // The last address the page showed before its renderer died; the notice never replaces it.
    QUrl m_lastAddress;
};

} // namespace qz
