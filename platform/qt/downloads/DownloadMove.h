#pragma once

#include <QString>

// Moving a finished download's file to where it is to stay. Each call tries its one path once and
// returns 0 when the file is there, or why not as an errno; on failure the file is whole where it was,
// and nothing half-written is left at the target.
namespace qz::DownloadMove {

// To a new file at to, never over another (EEXIST): a rename on one file system, across file systems
// one copy, the source removed once the copy is whole. A name the file system finds too long fails
// (ENAMETOOLONG) before anything is copied.
int toNewFile(const QString& from, const QString& to);

// Over the file at to, which the user chose to replace; across file systems that file stays as it was
// until the copy that replaces it is whole.
int replacing(const QString& from, const QString& to);

} // namespace qz::DownloadMove
