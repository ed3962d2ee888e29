#include "PermissionQuestions.h"

#include <QHash>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWebEngineProfile>
#include <QWebEngineQuotaRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>

#include "platform/qt/LiteralText.h"
#include "platform/qt/SiteName.h"
#include "platform/qt/page/PageWindow.h"
#include "platform/qt/window/MainWindowPresence.h"

namespace qz {

namespace {
QString answerKey(const QUrl& origin, const QString& what) {
    return origin.toString(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment)
        + u' ' + what;
}

QString featureKey(QWebEnginePage::Feature feature) {
    return QStringLiteral("feature:%1").arg(int(feature));
}

QString featureWish(QWebEnginePage::Feature feature) {
    switch (feature) {
    case QWebEnginePage::Notifications:
        return QStringLiteral("向您显示通知");
    case QWebEnginePage::Geolocation:
        return QStringLiteral("获取您的位置");
    case QWebEnginePage::MediaAudioCapture:
        return QStringLiteral("使用您的麦克风");
    case QWebEnginePage::MediaVideoCapture:
        return QStringLiteral("使用您的摄像头");
    case QWebEnginePage::MediaAudioVideoCapture:
        return QStringLiteral("使用您的摄像头和麦克风");
    case QWebEnginePage::MouseLock:
        return QStringLiteral("锁定并隐藏您的鼠标指针");
    case QWebEnginePage::DesktopVideoCapture:
        return QStringLiteral("共享您的屏幕");
    case QWebEnginePage::DesktopAudioVideoCapture:
        return QStringLiteral("共享您的屏幕和声音");
    }
    return QStringLiteral("使用一项权限（%1）").arg(int(feature));
}

} // namespace

PermissionQuestions::PermissionQuestions(QWebEngineProfile* profile, const MainWindowPresence& mainWindow)
    : QObject(profile)
    , m_mainWindow(mainWindow) { }

PermissionQuestions* PermissionQuestions::of(const QWebEngineProfile* profile) {
    return profile ? profile->findChild<PermissionQuestions*>(QString(), Qt::FindDirectChildrenOnly)
                   : nullptr;
}

void PermissionQuestions::ask(
    QWebEnginePage* page, const QUrl& origin, const QString& key, const QString& wish, Answer answer) {
    const QString stored = answerKey(origin, key);
    if (const auto given = m_answers.constFind(stored); given != m_answers.cend())
        return answer(*given);
    if (!m_mainWindow.shown())
        return answer(false);

    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("来自 %1 的请求").arg(siteName(origin)),
        QStringLiteral("%1 想要%2。").arg(siteName(origin), wish), QMessageBox::NoButton, pageWindow(page));
    box->setAccessibleName(box->windowTitle());
    box->setWindowTitle(literalWindowTitle(box->windowTitle()));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* allow = box->addButton(QStringLiteral("允许"), QMessageBox::AcceptRole);
    box->setDefaultButton(box->addButton(QStringLiteral("拒绝"), QMessageBox::RejectRole));
    // Without an answer (the box closed otherwise, its window gone) the request is refused.
    QObject::connect(box, &QMessageBox::finished, this, [this, box, allow, stored, answer] {
        const bool allowed = box->clickedButton() == allow;
        m_answers.insert(stored, allowed);
        answer(allowed);
    });
    box->setWindowModality(Qt::WindowModal);
    box->show();
}

void PermissionQuestions::answerFor(QWebEnginePage* page) {
    // Gone with either: the page's requests are answered while both are there.
    connect(page, &QWebEnginePage::featurePermissionRequested, this,
        [this, page](const QUrl& origin, QWebEnginePage::Feature feature) {
            QPointer<QWebEnginePage> asking = page;
            ask(page, origin, featureKey(feature), featureWish(feature),
                [asking, origin, feature](bool allowed) {
                    if (asking)
                        asking->setFeaturePermission(origin, feature,
                            allowed ? QWebEnginePage::PermissionGrantedByUser
                                    : QWebEnginePage::PermissionDeniedByUser);
                });
        });
    connect(page, &QWebEnginePage::quotaRequested, this, [this, page](QWebEngineQuotaRequest request) {
        const QString size = QLocale().formattedDataSize(request.requestedSize());
        ask(page, request.origin(), QStringLiteral("quota"),
            QStringLiteral("在本机保存最多 %1 的数据").arg(size),
            [request](bool allowed) mutable { allowed ? request.accept() : request.reject(); });
    });
    connect(page, &QWebEnginePage::registerProtocolHandlerRequested, this,
        [this, page](QWebEngineRegisterProtocolHandlerRequest request) {
            ask(page, request.origin(), QStringLiteral("protocol:") + request.scheme(),
                QStringLiteral("打开所有 %1 链接").arg(request.scheme()),
                [request](bool allowed) mutable { allowed ? request.accept() : request.reject(); });
        });
}

bool PermissionQuestions::mayNotify(const QUrl& origin) const {
    return m_answers.value(answerKey(origin, featureKey(QWebEnginePage::Notifications)), false);
}

} // namespace qz
