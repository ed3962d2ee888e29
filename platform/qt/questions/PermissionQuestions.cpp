#include "PermissionQuestions.h"

#include <QHash>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QtGlobal>
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#else
#include <QWebEngineQuotaRequest>
#endif

#include "PageWindow.h"
#include "platform/qt/LiteralText.h"
#include "platform/qt/SiteName.h"
#include "platform/qt/WindowPresence.h"

namespace qz {

namespace {
QString answerKey(const QUrl& origin, const QString& what) {
    return origin.toString(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment)
        + u' ' + what;
}

// Qt 6.8 asks through QWebEnginePermission, with kinds of its own; Qt 6.4 names them features.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
using PermissionKind = QWebEnginePermission::PermissionType;
#define QZ_PERMISSION(name) QWebEnginePermission::PermissionType::name
#else
using PermissionKind = QWebEnginePage::Feature;
#define QZ_PERMISSION(name) QWebEnginePage::name
#endif

QString featureKey(PermissionKind kind) {
    return QStringLiteral("feature:%1").arg(int(kind));
}

QString featureWish(PermissionKind kind) {
    switch (kind) {
    case QZ_PERMISSION(Notifications):
        return QStringLiteral("向您显示通知");
    case QZ_PERMISSION(Geolocation):
        return QStringLiteral("获取您的位置");
    case QZ_PERMISSION(MediaAudioCapture):
        return QStringLiteral("使用您的麦克风");
    case QZ_PERMISSION(MediaVideoCapture):
        return QStringLiteral("使用您的摄像头");
    case QZ_PERMISSION(MediaAudioVideoCapture):
        return QStringLiteral("使用您的摄像头和麦克风");
    case QZ_PERMISSION(MouseLock):
        return QStringLiteral("锁定并隐藏您的鼠标指针");
    case QZ_PERMISSION(DesktopVideoCapture):
        return QStringLiteral("共享您的屏幕");
    case QZ_PERMISSION(DesktopAudioVideoCapture):
        return QStringLiteral("共享您的屏幕和声音");
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    case QZ_PERMISSION(ClipboardReadWrite):
        return QStringLiteral("读取和更改您剪贴板中的内容");
    case QZ_PERMISSION(LocalFontsAccess):
        return QStringLiteral("使用您电脑上安装的字体");
    case QZ_PERMISSION(Unsupported):
        break;
#endif
    }
    return QStringLiteral("使用一项权限（%1）").arg(int(kind));
}

} // namespace

PermissionQuestions::PermissionQuestions(const WindowPresence& mainWindow)
    : m_mainWindow(mainWindow) {}

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
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    connect(page, &QWebEnginePage::permissionRequested, this, [this, page](QWebEnginePermission permission) {
        const PermissionKind kind = permission.permissionType();
        // A permission that has gone with its page refuses any answer.
        ask(page, permission.origin(), featureKey(kind), featureWish(kind),
            [permission](bool allowed) { allowed ? permission.grant() : permission.deny(); });
    });
#else
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
    // Storage quotas are asked for only up to Qt 6.7; later the engine decides them itself.
    connect(page, &QWebEnginePage::quotaRequested, this, [this, page](QWebEngineQuotaRequest request) {
        const QString size = QLocale().formattedDataSize(request.requestedSize());
        ask(page, request.origin(), QStringLiteral("quota"),
            QStringLiteral("在本机保存最多 %1 的数据").arg(size),
            [request](bool allowed) mutable { allowed ? request.accept() : request.reject(); });
    });
#endif
    connect(page, &QWebEnginePage::registerProtocolHandlerRequested, this,
        [this, page](QWebEngineRegisterProtocolHandlerRequest request) {
            ask(page, request.origin(), QStringLiteral("protocol:") + request.scheme(),
                QStringLiteral("打开所有 %1 链接").arg(request.scheme()),
                [request](bool allowed) mutable { allowed ? request.accept() : request.reject(); });
        });
}

bool PermissionQuestions::mayNotify(const QUrl& origin) const {
    return m_answers.value(answerKey(origin, featureKey(QZ_PERMISSION(Notifications))), false);
}

#undef QZ_PERMISSION

} // namespace qz
