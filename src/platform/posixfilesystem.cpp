#include "platform/posixfilesystem.h"

#include "platform/filenames.h"
#include "platform/wildcard.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Hidden names: a claimed file ".fenlow-claim~HOST~PID~NAME" in the search folder, a copy being
// written ".fenlow-move~HOST~PID~XXXXXX" in the work folder. "~" cannot stand in a host name.
constexpr char kClaim[] = ".fenlow-claim~";
constexpr char kTemporary[] = ".fenlow-move~";

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

// A read lease on an open file: taking it fails exactly when some process has the file open
// for writing. Held while the file is moved, it also keeps a writer from opening the file
// until the move is done. Where no lease can be had (not the file's owner, a network file
// system) the file is moved without one.
class ReadLease {
public:
    explicit ReadLease(int fd)
        : m_fd(fd)
    {
        if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
            m_held = true;
        } else {
            m_writerPresent = errno == EAGAIN || errno == EBUSY;
        }
    }
    ~ReadLease()
    {
        if (m_held) {
            ::fcntl(m_fd, F_SETLEASE, F_UNLCK);
        }
    }
    ReadLease(const ReadLease &) = delete;
    ReadLease &operator=(const ReadLease &) = delete;
    [[nodiscard]] bool writerPresent() const { return m_writerPresent; }

private:
    int m_fd;
    bool m_held = false;
    bool m_writerPresent = false;
};

// A writer opening a leased file makes the kernel signal the lease holder, by default with
// SIGIO, whose default action ends the process. The lease is given up when the move ends, so
// the signal itself is not needed.
void ignoreLeaseBreakSignal()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current { };
        if (::sigaction(SIGIO, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
            struct sigaction ignore { };
            ignore.sa_handler = SIG_IGN;
            ::sigaction(SIGIO, &ignore, nullptr);
        }
    });
}

bool isSettling(const struct stat &info, const SettleRule &settle)
{
    if (settle.seconds <= 0 || !settle.listedAt.isValid()) {
        return false;
    }
    const qint64 modifiedMs = qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
    const qint64 distance = std::abs(settle.listedAt.toMSecsSinceEpoch() - modifiedMs);
    return distance < qint64(settle.seconds) * 1000;
}

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

QByteArray nameOf(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// Renames from to to unless to already exists. EEXIST when it does.
int renameNoReplace(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    // A file system without the flag (NFS): a hard link refuses a taken name just the same.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return 0;
    }
    return errno;
}

// Whether the process of this host with this id has ended. This process's own hidden files
// count as left behind too: recovery runs before a pass, when none of its moves is under way.
bool hasEnded(pid_t pid)
{
    return pid == ::getpid() || (::kill(pid, 0) != 0 && errno == ESRCH);
}

// A hidden name of ours: prefix, host, "~", process id, "~", rest. The process id, or -1 when
// the name is not of this kind or not of this host.
pid_t ownerOnThisHost(const QByteArray &name, const char *prefix, const QByteArray &host, QByteArray *rest)
{
    const QByteArray head = QByteArray(prefix) + host + '~';
    if (!name.startsWith(head)) {
        return -1;
    }
    const qsizetype tilde = name.indexOf('~', head.size());
    if (tilde < 0) {
        return -1;
    }
    bool ok = false;
    const pid_t pid = pid_t(name.mid(head.size(), tilde - head.size()).toInt(&ok));
    if (!ok || pid <= 0) {
        return -1;
    }
    *rest = name.mid(tilde + 1);
    return pid;
}

template <typename Visit> void forEachEntry(const QByteArray &folder, Visit visit)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir) {
        return;
    }
    while (const dirent *entry = ::readdir(dir)) {
        visit(QByteArray(entry->d_name));
    }
    ::closedir(dir);
}

} // namespace

PosixFileSystem::PosixFileSystem()
{
    char host[HOST_NAME_MAX + 1] = {};
    if (::gethostname(host, sizeof host - 1) != 0 || host[0] == '\0') {
        std::snprintf(host, sizeof host, "localhost");
    }
    m_host = QByteArray(host).replace('~', '-').replace('/', '-');
    ignoreLeaseBreakSignal();
}

QByteArray PosixFileSystem::claimPrefix() const
{
    return kClaim + m_host + '~' + QByteArray::number(::getpid()) + '~';
}

QByteArray PosixFileSystem::temporaryPrefix() const
{
    return kTemporary + m_host + '~' + QByteArray::number(::getpid()) + '~';
}

QStringList PosixFileSystem::listPlainFiles(const QString &folder, const QString &pattern)
{
    QStringList names;
    const WildcardPattern wildcard(pattern);
    DIR *dir = ::opendir(FileNames::encode(folder).constData());
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
            names.append(FileNames::decode(name));
        }
    }
    ::closedir(dir);
    return names;
}

Result<MoveOutcome> PosixFileSystem::moveFile(const QString &source, const QString &destination,
                                              const SettleRule &settle)
{
    const QByteArray from = FileNames::encode(source);
    const QByteArray to = FileNames::encode(destination);

    // The file itself, never a link put in its place since the listing.
    Fd in(::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (in.get() < 0) {
        if (errno == ENOENT) {
            return MoveOutcome::SourceGone;
        }
        if (errno == ELOOP) {
            return failed(u"シンボリックリンクのため移動しません"_s);
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
    if (isSettling(info, settle)) {
        return MoveOutcome::Waiting;
    }
    const ReadLease lease(in.get());
    if (lease.writerPresent()) {
        return MoveOutcome::Waiting;
    }

    if (::rename(from.constData(), to.constData()) == 0) {
        return MoveOutcome::Moved;
    }
    const int error = errno;
    if (error == ENOENT) {
        struct stat still { };
        if (::lstat(from.constData(), &still) != 0) {
            return MoveOutcome::SourceGone; // another process took it
        }
    }
    if (error != EXDEV) {
        return failed(systemErrorText(error));
    }
    return moveByCopy(source, destination);
}

Result<MoveOutcome> PosixFileSystem::moveByCopy(const QString &source, const QString &destination)
{
    const QByteArray from = FileNames::encode(source);
    const QByteArray to = FileNames::encode(destination);

    // The claim: of several processes, only the one whose rename succeeds goes on.
    const QByteArray claim = folderOf(from) + '/' + claimPrefix() + nameOf(from);
    if (nameOf(claim).size() > NAME_MAX) {
        return failed(u"ファイル名が長すぎるため、ほかのファイルシステムへは移動できません"_s);
    }
    if (::rename(from.constData(), claim.constData()) != 0) {
        if (errno == ENOENT) {
            return MoveOutcome::SourceGone;
        }
        return failed(systemErrorText(errno));
    }
    // Whatever fails from here on, the file goes back under its own name.
    const auto giveBack = [&](const QString &reason) {
        if (renameNoReplace(claim, from) != 0) {
            return failed(
                reason + u" (ファイルは %1 として検索フォルダに残っています)"_s.arg(FileNames::decode(nameOf(claim))));
        }
        return failed(reason);
    };

    Fd in(::open(claim.constData(), O_RDONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    struct stat info { };
    if (in.get() < 0 || ::fstat(in.get(), &info) != 0) {
        return giveBack(systemErrorText(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return giveBack(u"通常のファイルではありません"_s);
    }

    QByteArray temporary = folderOf(to) + '/' + temporaryPrefix() + "XXXXXX";
    Fd out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (out.get() < 0) {
        return giveBack(systemErrorText(errno));
    }
    const timespec times[2] = {info.st_atim, info.st_mtim};
    const bool written = copyContents(in.get(), out.get()) && ::fchmod(out.get(), info.st_mode & 07777) == 0
        && ::futimens(out.get(), times) == 0 && ::fsync(out.get()) == 0;
    const int writeError = errno;
    const bool closed = ::close(out.release()) == 0;
    if (!written || !closed) {
        const int error = written ? errno : writeError;
        ::unlink(temporary.constData());
        return giveBack(systemErrorText(error));
    }
    if (::rename(temporary.constData(), to.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return giveBack(systemErrorText(error));
    }
    if (::unlink(claim.constData()) != 0 && errno != ENOENT) {
        // The file cannot leave the search folder: take the copy back so it is in one folder only.
        const int error = errno;
        ::unlink(to.constData());
        return giveBack(systemErrorText(error));
    }
    return MoveOutcome::Moved;
}

QStringList PosixFileSystem::recoverAbandoned(const QString &searchFolder, const QString &workFolder)
{
    QStringList problems;
    const QByteArray search = FileNames::encode(searchFolder);
    forEachEntry(search, [&](const QByteArray &name) {
        QByteArray original;
        const pid_t pid = ownerOnThisHost(name, kClaim, m_host, &original);
        if (pid < 0 || original.isEmpty() || !hasEnded(pid)) {
            return;
        }
        const int error = renameNoReplace(search + '/' + name, search + '/' + original);
        if (error == EEXIST) {
            problems.append(u"検索フォルダに %1 がすでにあるため、中断された移動のファイルを %2 のまま残しました"_s.arg(
                FileNames::printable(FileNames::decode(original)), FileNames::printable(FileNames::decode(name))));
        } else if (error != 0 && error != ENOENT) {
            problems.append(u"中断された移動のファイル %1 を %2 に戻せません: %3"_s.arg(
                FileNames::printable(FileNames::decode(name)), FileNames::printable(FileNames::decode(original)),
                systemErrorText(error)));
        }
    });
    const QByteArray work = FileNames::encode(workFolder);
    forEachEntry(work, [&](const QByteArray &name) {
        QByteArray rest;
        const pid_t pid = ownerOnThisHost(name, kTemporary, m_host, &rest);
        if (pid >= 0 && hasEnded(pid)) {
            ::unlink((work + '/' + name).constData());
        }
    });
    return problems;
}

Result<> PosixFileSystem::checkFolder(const QString &folder, bool forListing)
{
    const QByteArray path = FileNames::encode(folder);
    struct stat info { };
    if (::stat(path.constData(), &info) != 0) {
        return Result<>::failure(errno == ENOENT ? u"フォルダがありません"_s : systemErrorText(errno));
    }
    if (!S_ISDIR(info.st_mode)) {
        return Result<>::failure(u"フォルダではありません"_s);
    }
    if (forListing) {
        DIR *dir = ::opendir(path.constData());
        if (!dir) {
            return Result<>::failure(systemErrorText(errno));
        }
        ::closedir(dir);
    }
    return Result<>::success();
}

bool PosixFileSystem::isSameFolder(const QString &a, const QString &b)
{
    struct stat first { };
    struct stat second { };
    return ::stat(FileNames::encode(a).constData(), &first) == 0
        && ::stat(FileNames::encode(b).constData(), &second) == 0 && S_ISDIR(first.st_mode)
        && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}
