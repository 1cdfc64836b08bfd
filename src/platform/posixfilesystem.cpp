#include "platform/posixfilesystem.h"

#include "platform/wildcard.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

Result<MoveOutcome> failed(const QString &reason)
{
    return Result<MoveOutcome>::failure(reason);
}

// Closes a descriptor when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd)
        : m_fd(fd)
    {
    }
    ~Fd() { reset(); }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    [[nodiscard]] int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    void reset()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }

private:
    int m_fd;
};

bool copyContents(int from, int to)
{
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got == 0) {
            return true;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer + done, size_t(got - done));
            if (put < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            done += put;
        }
    }
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) {
        return QByteArrayLiteral(".");
    }
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

} // namespace

QStringList PosixFileSystem::listPlainFiles(const QString &folder, const QString &pattern)
{
    QStringList names;
    const WildcardPattern wildcard(pattern);
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        return names;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.') {
            continue; // hidden, and the folder's own "." and ".."
        }
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat info { };
            regular = ::fstatat(::dirfd(dir), name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode);
        }
        if (regular && wildcard.matchesUtf8(QByteArrayView(name))) {
            names.append(QFile::decodeName(name));
        }
    }
    ::closedir(dir);
    return names;
}

Result<MoveOutcome> PosixFileSystem::moveFile(const QString &source, const QString &destination)
{
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(destination);
    if (::rename(from.constData(), to.constData()) == 0) {
        return MoveOutcome::Moved;
    }
    const int error = errno;
    struct stat info { };
    if (::lstat(from.constData(), &info) != 0 && errno == ENOENT) {
        return MoveOutcome::SourceGone;
    }
    if (error == EXDEV) {
        return moveByCopy(source, destination);
    }
    return failed(systemErrorText(error));
}

Result<MoveOutcome> PosixFileSystem::moveByCopy(const QString &source, const QString &destination)
{
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(destination);

    Fd in(::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (in.get() < 0) {
        if (errno == ENOENT) {
            return MoveOutcome::SourceGone;
        }
        return failed(systemErrorText(errno));
    }
    struct stat info { };
    if (::fstat(in.get(), &info) != 0) {
        return failed(systemErrorText(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return failed(u"通常のファイルではありません"_s);
    }

    QByteArray temporary = folderOf(to) + "/.fenlow-move-XXXXXX";
    Fd out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (out.get() < 0) {
        return failed(systemErrorText(errno));
    }
    const timespec times[2] = {info.st_atim, info.st_mtim};
    const bool written = copyContents(in.get(), out.get()) && ::fchmod(out.get(), info.st_mode & 07777) == 0
        && ::futimens(out.get(), times) == 0 && ::fsync(out.get()) == 0;
    const int writeError = errno;
    const bool closed = ::close(out.release()) == 0;
    if (!written || !closed) {
        ::unlink(temporary.constData());
        return failed(systemErrorText(written ? errno : writeError));
    }
    if (::rename(temporary.constData(), to.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return failed(systemErrorText(error));
    }
    if (::unlink(from.constData()) != 0 && errno != ENOENT) {
        // The source stays: take the copy back so that the file is in one folder only.
        const int error = errno;
        ::unlink(to.constData());
        return failed(systemErrorText(error));
    }
    return MoveOutcome::Moved;
}

bool PosixFileSystem::isSameFolder(const QString &a, const QString &b)
{
    struct stat first { };
    struct stat second { };
    return ::stat(QFile::encodeName(a).constData(), &first) == 0
        && ::stat(QFile::encodeName(b).constData(), &second) == 0 && S_ISDIR(first.st_mode)
        && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}
