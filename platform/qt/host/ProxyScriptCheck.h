#pragma once

#include <QObject>

namespace qz {

struct ProxyInUse;

// The engine fetches an automatic proxy configuration script at an http address itself and, where it
// cannot, loads pages directly without a word. This fetches it once too, in the background, and says
// so on stderr where it cannot be had, so that whoever set it learns why the proxy is not used.
class ProxyScriptCheck final : public QObject {
    Q_OBJECT
public:
    explicit ProxyScriptCheck(const ProxyInUse& proxy);
};

} // namespace qz
