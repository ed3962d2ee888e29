#include "WritableStorage.h"

#include <cstdio>

#include <sys/statvfs.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>

namespace qz {

namespace {
// Room for the driver's shader index (over a megabyte) and the engine's first cache files.
constexpr unsigned long long kMinimumRoom = 32ULL << 20;
} // namespace

WritableStorage::WritableStorage(bool cacheOnDisk, bool profileOnDisk)
    : m_cacheOnDisk(cacheOnDisk)
    , m_profileOnDisk(profileOnDisk) {}

bool WritableStorage::hasRoom(const QString& folder) {
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    const QByteArray path = QFile::encodeName(folder);
    struct statvfs stats {};
    if (::access(path.constData(), W_OK) != 0 || ::statvfs(path.constData(), &stats) != 0)
        return false;
    if (stats.f_flag & ST_RDONLY)
        return false;
    return static_cast<unsigned long long>(stats.f_bavail) * stats.f_frsize >= kMinimumRoom;
}

WritableStorage WritableStorage::settle() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const bool cacheWritable = hasRoom(cache);
    const bool profileWritable = hasRoom(data);
    QStringList unwritable;
    if (!cacheWritable) {
        if (qgetenv("MESA_SHADER_CACHE_DISABLE").isEmpty())
            qputenv("MESA_SHADER_CACHE_DISABLE", "true");
        if (qgetenv("MESA_GLSL_CACHE_DISABLE").isEmpty())
            qputenv("MESA_GLSL_CACHE_DISABLE", "true");
        unwritable << QStringLiteral("cache %1").arg(cache);
    }
    if (!profileWritable)
        unwritable << QStringLiteral("profile %1").arg(data);
    if (!unwritable.isEmpty()) {
        std::fprintf(stderr,
            "qz-shell: the %s cannot be written (read-only or full); this run keeps %s in memory\n",
            qPrintable(unwritable.join(QStringLiteral(" and the "))),
            profileWritable ? "the browser's cache" : "the browser's cache, cookies and settings");
    }
    return WritableStorage(cacheWritable, profileWritable);
}

} // namespace qz
