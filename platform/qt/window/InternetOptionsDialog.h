#pragma once

#include <QDialog>
#include <QPointer>

class QBoxLayout;
class QLabel;
class QWebEngineProfile;

namespace qz {

class InternetOptionsDialog;
struct ProfileDeletion;
struct ProxyInUse;

// Opens the shell's own "Internet 选项" dialog on the given profile, which loads through proxy, and returns
// at once; while the one in shown is open, it is raised instead of opening a second one.
void showInternetOptions(QPointer<InternetOptionsDialog>& shown, QWidget* parent, QWebEngineProfile* profile,
    const ProxyInUse& proxy);

// Where the profile keeps its data, how much the cache takes on disk, deleting cookies, cache and
// the record of visited links, each only after the user has said yes, and the proxy in use. Non-modal; it
// deletes itself when closed.
class InternetOptionsDialog final : public QDialog {
    Q_OBJECT
public:
    InternetOptionsDialog(QWidget* parent, QWebEngineProfile* profile, const ProxyInUse& proxy);

private:
    QWidget* storageGroup();
    QWidget* deletionGroup();
    void addDeletion(QBoxLayout* row, const ProfileDeletion& deletion);
    bool confirmed(const QString& question);
    void showCacheSize();

    QPointer<QWebEngineProfile> m_profile;
    QLabel* m_cacheSize = nullptr;
    QLabel* m_status = nullptr;
};

} // namespace qz
