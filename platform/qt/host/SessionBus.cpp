#include "SessionBus.h"

#include <cstdlib>
#include <cstring>

#include <dbus/dbus.h>

namespace qz {

namespace {
// A desktop's bus answers in well under a millisecond; one that takes longer than this is stuck, and
// start-up does not wait for it.
constexpr int kReplyTimeoutMs = 250;

struct Message {
    DBusMessage* message;
    ~Message() {
        if (message)
            dbus_message_unref(message);
    }
};

DBusMessage* call(DBusConnection* connection, DBusMessage* request) {
    if (!request)
        return nullptr;
    DBusError error;
    dbus_error_init(&error);
    DBusMessage* reply
        = dbus_connection_send_with_reply_and_block(connection, request, kReplyTimeoutMs, &error);
    dbus_error_free(&error);
    dbus_message_unref(request);
    return reply;
}

bool variantIsTrue(DBusMessageIter* variant) {
    if (dbus_message_iter_get_arg_type(variant) != DBUS_TYPE_VARIANT)
        return false;
    DBusMessageIter value;
    dbus_message_iter_recurse(variant, &value);
    if (dbus_message_iter_get_arg_type(&value) != DBUS_TYPE_BOOLEAN)
        return false;
    dbus_bool_t flag = FALSE;
    dbus_message_iter_get_basic(&value, &flag);
    return flag;
}
} // namespace

SessionBus::SessionBus() = default;

SessionBus::~SessionBus() {
    if (m_connection) {
        dbus_connection_close(m_connection);
        dbus_connection_unref(m_connection);
    }
}

bool SessionBus::connect() {
    if (m_tried)
        return m_connection != nullptr;
    m_tried = true;
    // libdbus would otherwise launch a bus of its own through X11 for a process that has none.
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (!address || !*address)
        return false;
    DBusError error;
    dbus_error_init(&error);
    m_connection = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    dbus_error_free(&error);
    if (m_connection)
        dbus_connection_set_exit_on_disconnect(m_connection, FALSE);
    return m_connection != nullptr;
}

bool SessionBus::hasOwner(const char* name) {
    if (!connect())
        return false;
    DBusMessage* request = dbus_message_new_method_call(
        DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "NameHasOwner");
    if (request)
        dbus_message_append_args(request, DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID);
    const Message reply { call(m_connection, request) };
    dbus_bool_t owned = FALSE;
    return reply.message
        && dbus_message_get_args(reply.message, nullptr, DBUS_TYPE_BOOLEAN, &owned, DBUS_TYPE_INVALID)
        && owned;
}

bool SessionBus::anyPropertyTrue(const char* service, const char* path, const char* interface,
    std::initializer_list<const char*> properties) {
    // A service that is not running is not started to be asked: it would say no, and cost a process.
    if (!hasOwner(service))
        return false;
    DBusMessage* request = dbus_message_new_method_call(service, path, DBUS_INTERFACE_PROPERTIES, "GetAll");
    if (request) {
        dbus_message_set_auto_start(request, FALSE);
        dbus_message_append_args(request, DBUS_TYPE_STRING, &interface, DBUS_TYPE_INVALID);
    }
    const Message reply { call(m_connection, request) };
    DBusMessageIter all;
    if (!reply.message || !dbus_message_iter_init(reply.message, &all)
        || dbus_message_iter_get_arg_type(&all) != DBUS_TYPE_ARRAY)
        return false;
    DBusMessageIter entries;
    dbus_message_iter_recurse(&all, &entries);
    const auto isEntry
        = [&entries] { return dbus_message_iter_get_arg_type(&entries) == DBUS_TYPE_DICT_ENTRY; };
    for (; isEntry(); dbus_message_iter_next(&entries)) {
        DBusMessageIter entry;
        dbus_message_iter_recurse(&entries, &entry);
        const char* name = nullptr;
        if (dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_STRING)
            continue;
        dbus_message_iter_get_basic(&entry, &name);
        dbus_message_iter_next(&entry);
        for (const char* wanted : properties)
            if (std::strcmp(name, wanted) == 0 && variantIsTrue(&entry))
                return true;
    }
    return false;
}

} // namespace qz
