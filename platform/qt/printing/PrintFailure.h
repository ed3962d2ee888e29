#pragma once

#include <QString>

#include "platform/Errors.h"

namespace qz {

// A print that did not happen, with what the user is told about it.
class PrintFailure : public PlatformError {
public:
    PrintFailure(const std::string& what, QString userText)
        : PlatformError(what)
        , m_userText(std::move(userText)) {}

    const QString& userText() const { return m_userText; }

private:
    QString m_userText;
};

} // namespace qz
