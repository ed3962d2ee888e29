#include "ProxyScriptCheck.h"

#include <cstdio>

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include "platform/qt/page/ProxyInUse.h"

namespace qz {

namespace {
// As long as the engine gives a script before it goes direct.
constexpr int kScriptTimeoutMs = 10000;
} // namespace

ProxyScriptCheck::ProxyScriptCheck(const ProxyInUse& proxy) {
    const QUrl script(QString::fromStdString(proxy.proxy));
    if (proxy.source != ProxyInUse::Source::Script
        || (script.scheme() != u"http" && script.scheme() != u"https"))
        return;
    auto* network = new QNetworkAccessManager(this);
    // The script is fetched directly, as the engine fetches it.
    network->setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(script);
    request.setTransferTimeout(kScriptTimeoutMs);
    QNetworkReply* reply = network->get(request);
    connect(reply, &QNetworkReply::finished, this, [reply] {
        reply->deleteLater();
        if (reply->error() == QNetworkReply::NoError)
            return;
        std::fprintf(stderr,
            "qz-shell proxy: the automatic proxy configuration script %s cannot be fetched (%s); pages load "
            "directly\n",
            qPrintable(reply->url().toString()), qPrintable(reply->errorString()));
    });
}

} // namespace qz
