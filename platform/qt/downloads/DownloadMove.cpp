#include "DownloadMove.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

namespace qz::DownloadMove {

namespace {
constexpr std::size_t kBlock = 1 << 16;

int copyBlocks(int in, int out) {
    char block[kBlock];
    for (;;) {
        const ssize_t got = ::read(in, block, sizeof block);
        if (got == 0)
            return 0;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, block + done, static_cast<std::size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            done += put;
        }
    }
}

// Copies the file at from into out, a new empty file, and closes out.
int copyInto(const QByteArray& from, int out) {
    const int in = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    int error = in < 0 ? errno : copyBlocks(in, out);
    if (in >= 0)
        ::close(in);
    // A full disk may only show once the last blocks go out, as the file is closed.
    if (::close(out) != 0 && error == 0)
        error = errno;
    return error;
}
} // namespace

int toNewFile(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    int error = errno;
    if (error == EINVAL || error == ENOSYS) {
        // A file system (or kernel) without a rename that refuses to replace: look first, then rename.
        struct stat taken {};
        if (::lstat(target.constData(), &taken) == 0)
            return EEXIST;
        if (::rename(source.constData(), target.constData()) == 0)
            return 0;
        error = errno;
    }
    if (error != EXDEV)
        return error;
    const int out = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0)
        return errno;
    error = copyInto(source, out);
    if (error != 0) {
        ::unlink(target.constData());
        return error;
    }
    // The copy is whole: a source that cannot be removed is only a second copy.
    ::unlink(source.constData());
    return 0;
}

int replacing(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::rename(source.constData(), target.constData()) == 0)
        return 0;
    if (errno != EXDEV)
        return errno;
    // The copy comes in beside the file it replaces, under a short name of its own, and takes its
    // place by a rename once it is whole.
    QByteArray part = QFile::encodeName(QFileInfo(to).absolutePath() + QStringLiteral("/.qz-shell-XXXXXX"));
    const int out = ::mkostemp(part.data(), O_CLOEXEC);
    if (out < 0)
        return errno;
    struct stat replaced {};
    if (::stat(target.constData(), &replaced) == 0)
        ::fchmod(out, replaced.st_mode & 07777);
    int error = copyInto(source, out);
    if (error == 0 && ::rename(part.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(part.constData());
        return error;
    }
    ::unlink(source.constData());
    return 0;
}

} // namespace qz::DownloadMove
