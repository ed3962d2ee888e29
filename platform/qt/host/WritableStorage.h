#pragma once

#include <QString>

namespace qz {

// Where the shell may write: the user's cache folder and its data folder, looked at once before the
// toolkit starts. A folder that is read-only or full is left alone for the whole run: the graphics
// driver's shader cache writes through a memory map, which dies of SIGBUS on a full disk, and the
// browser profile would fail at every write. Each such folder is named once on stderr.
class WritableStorage final {
public:
    // In main, before the application object: the graphics driver reads its settings when it loads.
    static WritableStorage settle();

    // Whether the browser's cache and profile may go to disk.
    bool cacheOnDisk() const { return m_cacheOnDisk; }
    bool profileOnDisk() const { return m_profileOnDisk; }

private:
    WritableStorage(bool cacheOnDisk, bool profileOnDisk);
    static bool hasRoom(const QString& folder);

    bool m_cacheOnDisk;
    bool m_profileOnDisk;
};

} // namespace qz
