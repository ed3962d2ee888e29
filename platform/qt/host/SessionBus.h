#pragma once

#include <initializer_list>

struct DBusConnection;

namespace qz {

// A few questions to the desktop's session bus, asked before the application object exists, when the
// engine and the input method are still to be chosen. It speaks libdbus on a private connection of
// its own, so that Qt's connection, made later by the application, starts as it always did. Without a
// session bus (no DBUS_SESSION_BUS_ADDRESS: nothing is launched for it) every answer is no; a bus that
// does not answer within a moment counts as no answer.
class SessionBus final {
public:
    SessionBus();
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    // Whether a program holds the name now; asking never starts one that the bus could start.
    bool hasOwner(const char* name);
    // Whether any of the named boolean properties of the object is true.
    bool anyPropertyTrue(const char* service, const char* path, const char* interface,
        std::initializer_list<const char*> properties);

private:
    bool connect();

    DBusConnection* m_connection = nullptr;
    bool m_tried = false;
};

} // namespace qz
