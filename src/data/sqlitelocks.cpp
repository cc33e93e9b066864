#include "data/sqlitelocks.h"

#include <QLoggingCategory>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <fcntl.h>
#include <mutex>
#include <sqlite3.h>

namespace orv {

Q_DECLARE_LOGGING_CATEGORY(lcDb)

namespace {

// Set when the kernel does not know descriptor locks (before Linux 3.15): the classic ones
// are all there is.
std::atomic<bool> g_classicOnly{false};

int descriptorCommand(int cmd)
{
    switch (cmd) {
    case F_SETLK:
        return F_OFD_SETLK;
    case F_SETLKW:
        return F_OFD_SETLKW;
    case F_GETLK:
        return F_OFD_GETLK;
    default:
        return 0;
    }
}

// SQLite's fcntl: lock requests go to the descriptor lock of the same kind, anything else
// (descriptor flags) passes through.
int sqliteFcntl(int fd, int cmd, ...)
{
    va_list args;
    va_start(args, cmd);
    const int ofd = descriptorCommand(cmd);
    if (!ofd) {
        const int value = va_arg(args, int);
        va_end(args);
        return ::fcntl(fd, cmd, value);
    }
    auto *lock = va_arg(args, struct flock *);
    va_end(args);
    if (!g_classicOnly.load(std::memory_order_relaxed)) {
        struct flock request = *lock;
        request.l_pid = 0; // required of descriptor locks
        const int rc = ::fcntl(fd, ofd, &request);
        if (rc == 0 || errno != EINVAL) {
            const int saved = errno;
            if (cmd == F_GETLK)
                *lock = request;
            errno = saved;
            return rc;
        }
        g_classicOnly = true;
        qCWarning(lcDb) << "The kernel refuses open file description locks; SQLite keeps process locks";
    }
    return ::fcntl(fd, cmd, lock);
}

} // namespace

void useDescriptorLocksForSqlite()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Every unix VFS of SQLite shares one table of system calls.
        sqlite3_vfs *vfs = sqlite3_vfs_find("unix");
        if (!vfs || vfs->iVersion < 3 || !vfs->xSetSystemCall
            || vfs->xSetSystemCall(vfs, "fcntl", reinterpret_cast<sqlite3_syscall_ptr>(&sqliteFcntl)) != SQLITE_OK)
            qCWarning(lcDb) << "SQLite would not take descriptor locks; a file dialog may release the database's locks";
    });
}

} // namespace orv
