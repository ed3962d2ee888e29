#pragma once

#include <memory>

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include "DownloadQuestion.h"

class QTemporaryDir;
class QWebEngineDownloadRequest;
class QWebEnginePage;
class QWebEngineProfile;

namespace qz {

class DownloadRow;
class DownloadsWindow;
class PageInput;
class TrayBalloons;
class WindowPresence;

// The downloads of a profile's pages. Each is asked about (open, save or drop it) while it already comes
// in, into a folder of the shell's own; only a saved one is moved into the user's downloads folder, under
// a cleaned name that is free and that the folder takes. A finished file the folder does not take (full,
// read-only, gone) is kept whole in a lasting folder of the shell's, and its row offers to save it
// elsewhere. Saved downloads show in the downloads window; their end shows there, and as a balloon from
// the tray icon while the main window is hidden. A page with a question open, or whose download the user
// dropped, starts no other until the user clicks or types in it: a burst of downloads (hidden frames,
// say) gets one question. The application object owns it beside the profile, which it must not outlive;
// it goes before the profile, after the pages.
class Downloads final : public QObject {
    Q_OBJECT
public:
    // Balloons tell of an ended download while the main window is not shown; a quiet page starts
    // downloads again after the user's input in it.
    Downloads(QWebEngineProfile* profile, PageInput& input, const TrayBalloons& balloons,
        const WindowPresence& mainWindow);
    ~Downloads() override;

    // The user's downloads folder, or the home folder where there is none; created when missing.
    static QString folder();
    // A path in folder for a file of that name, at most maxBytes long, which is not on disk:
    // "setup.exe", then "setup (1).exe", "setup (2).exe"…
    static QString freePath(const QString& folder, const QString& fileName, int maxBytes = 255);

    // Where a move put the file, or, with an empty path, why it did not (an errno).
    struct Moved {
        QString path;
        int error = 0;
    };
    // Moves the file into folder under a free name, trying each name once: a name taken meanwhile
    // gives way to the next free one, a name too long for the file system to a shorter one; any other
    // refusal ends it, the file whole where it was.
    static Moved moveIntoFolder(const QString& from, const QString& folder, const QString& name);

    // The downloads window, once a download has been saved.
    DownloadsWindow* window() const { return m_window.get(); }

signals:
    void questionShown(DownloadQuestion* question);
    // A saved download has ended; path is where it is, or was to be, saved.
    void finished(const QString& path, bool succeeded);

private:
    struct Download {
        QString name;
        QPointer<QWebEnginePage> page;
        QPointer<DownloadQuestion> question;
        bool saved = false;
        bool openWhenDone = false;
        // The transfer broke and the engine asked again to resume it: it has failed.
        bool broken = false;
        DownloadRow* row = nullptr;
    };

    void handle(QWebEngineDownloadRequest* request);
    // A request for a download under way: the engine resumes one whose transfer broke.
    bool resumesBroken(const QWebEngineDownloadRequest& request);
    void answer(QWebEngineDownloadRequest* request, DownloadAnswer answer);
    void conclude(QWebEngineDownloadRequest* request);
    // A finished file the downloads folder refused (an errno) is not lost.
    void keep(const Download& download, const QString& incoming, int refusal);
    void quiet(QWebEnginePage* page);
    void tellIfHidden(const QString& title, const QString& text);
    void quit();

    const TrayBalloons& m_balloons;
    const WindowPresence& m_mainWindow;
    bool m_quitting = false;
    // Where downloads come in until the user has answered and they have ended.
    std::unique_ptr<QTemporaryDir> m_incoming;
    QHash<QWebEngineDownloadRequest*, Download> m_downloads;
    // Pages that start no download until the user's next click or key in them.
    QSet<const QObject*> m_quiet;
    std::unique_ptr<DownloadsWindow> m_window;
};

} // namespace qz
