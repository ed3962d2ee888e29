#pragma once

#include <functional>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWidget>

#include "QtTestSupport.h"
#include "platform/qt/page/BrowserWindow.h"
#include "platform/qt/page/Pages.h"
#include "platform/qt/page/WebPage.h"

namespace qz::test {

// Long enough for a cold engine start on a slow machine; a passing wait ends as soon as its
// condition holds.
inline constexpr int kEngineWaitMs = 10000;

// Runs the event loop until done() holds or the time is up; true when it holds. Unlike waitFor, a
// real event loop: windows closed from within it are deleted in it, as in the running shell.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = kEngineWaitMs) {
    if (done())
        return true;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done() || clock.hasExpired(timeoutMs))
            loop.quit();
    });
    tick.start(10);
    loop.exec();
    return done();
}

// Loads nothing itself: returns once the page has finished the load that is under way.
class LoadWatch {
public:
    explicit LoadWatch(QWebEnginePage* page) {
        QObject::connect(page, &QWebEnginePage::loadFinished, &m_context, [this](bool ok) {
            m_finished = true;
            m_ok = ok;
        });
    }
    bool finished() {
        return waitUntil([this] { return m_finished; });
    }
    bool ok() const { return m_ok; }

private:
    QObject m_context;
    bool m_finished = false;
    bool m_ok = false;
};

// Acts on the next modal dialog of type T once it is shown and ready, while the code under test
// waits in the dialog's own loop. Waiting for readiness here, not in act, keeps the waits from
// nesting inside the dialog's work.
template<class T> void whenModal(std::function<bool(T*)> ready, std::function<void(T*)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, ready, act] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible() && ready(dialog)) {
            poll->stop();
            poll->deleteLater();
            act(dialog);
        }
    });
    poll->start(20);
}

template<class T> void whenModal(std::function<void(T*)> act) {
    whenModal<T>([](T*) { return true; }, std::move(act));
}

inline QList<BrowserWindow*> browserWindows() {
    QList<BrowserWindow*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<BrowserWindow*>(widget))
            windows.append(window);
    return windows;
}

// Pages of a test in a folder of their own, as file addresses. A page without a title has none.
class PageFolder {
public:
    QUrl write(const QString& name, const QString& title, const QString& body) {
        QString html = QStringLiteral("<!doctype html><html><head><meta charset=\"utf-8\">");
        if (!title.isEmpty())
            html += QStringLiteral("<title>%1</title>").arg(title);
        html += QStringLiteral("</head><body>%1</body></html>").arg(body);
        QFile file(QDir(m_dir.path()).filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(html.toUtf8());
        return QUrl::fromLocalFile(file.fileName());
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// Removes a folder a profile wrote to, once that profile has gone. The engine still writes the
// profile's last state from a thread of its own for a moment; a folder removed in the middle of it would
// be left half there.
inline void removeAfterEngine(QTemporaryDir& dir) {
    dir.setAutoRemove(false);
    waitUntil([&dir] { return QDir(dir.path()).removeRecursively(); }, 3000);
}

// A browser profile of a test's own, with its pages (no permission questions): in memory only, or on
// disk in a folder of its own. Browser windows still open go first: a profile must outlive its pages.
class TestProfile {
public:
    enum Storage { InMemory, OnDisk };

    explicit TestProfile(Storage storage = InMemory) {
        if (storage == InMemory)
            m_profile = std::make_unique<QWebEngineProfile>();
        else
            m_profile = onDisk();
        m_pages = std::make_unique<Pages>(m_profile.get(), nullptr);
    }
    ~TestProfile() {
        m_pages.reset();
        m_profile.reset();
        removeAfterEngine(m_dir);
    }
    QWebEngineProfile* get() const { return m_profile.get(); }
    Pages& pages() const { return *m_pages; }

private:
    std::unique_ptr<QWebEngineProfile> onDisk() {
        // A named profile writes into the user's data folder as soon as it exists, before its own
        // folders can be set: for that moment the user's folders are the test's.
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        const QByteArray cacheHome = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_DATA_HOME", QDir(m_dir.path()).filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_CACHE_HOME", QDir(m_dir.path()).filePath(QStringLiteral("cache")).toLocal8Bit());
        auto profile = std::make_unique<QWebEngineProfile>(QStringLiteral("qz-test"));
        restore("XDG_DATA_HOME", dataHome);
        restore("XDG_CACHE_HOME", cacheHome);
        profile->setPersistentStoragePath(QDir(m_dir.path()).filePath(QStringLiteral("storage")));
        profile->setCachePath(QDir(m_dir.path()).filePath(QStringLiteral("cache")));
        return profile;
    }
    static void restore(const char* name, const QByteArray& value) {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::unique_ptr<Pages> m_pages;
};

} // namespace qz::test
