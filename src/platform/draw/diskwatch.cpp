#include "platform/draw/diskwatch.h"

#include <QFile>
#include <cerrno>

#ifdef __linux__
#include <sys/inotify.h>
#include <unistd.h>
#endif

namespace {

// The resource folders are a few dozen; a long session must not take the whole system's share.
constexpr int kMaxFolders = 256;
// Beyond this many entries of one folder, any change in it counts.
constexpr int kMaxNames = 2048;

#ifdef __linux__
constexpr uint32_t kEvents = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                             IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
#endif

} // namespace

DiskWatch::DiskWatch()
{
    open();
}

DiskWatch::~DiskWatch()
{
    close();
}

DiskWatch& DiskWatch::instance()
{
    static DiskWatch w;
    return w;
}

void DiskWatch::open()
{
#ifdef __linux__
    if (fd_ < 0)
        fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
#endif
}

void DiskWatch::close()
{
#ifdef __linux__
    if (fd_ >= 0)
        ::close(fd_);
#endif
    fd_ = -1;
    byPath_.clear();
    folders_.clear();
    ++generation_;
}

void DiskWatch::setEnabled(bool on)
{
    if (on)
        open();
    else
        close();
}

void DiskWatch::forget(int wd)
{
    auto it = folders_.find(wd);
    if (it == folders_.end())
        return;
    for (const QString& p : it->paths)
        byPath_.remove(p);
    folders_.erase(it);
}

quint64 DiskWatch::generation()
{
#ifdef __linux__
    if (fd_ < 0)
        return generation_;
    alignas(inotify_event) char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;  // EAGAIN: nothing more was reported
        for (ssize_t off = 0; off + ssize_t(sizeof(inotify_event)) <= n;) {
            const auto* ev = reinterpret_cast<const inotify_event*>(buf + off);
            off += ssize_t(sizeof(inotify_event)) + ssize_t(ev->len);
            if (ev->mask & IN_Q_OVERFLOW) {
                // Reports were lost: nothing learnt before can be trusted.
                ++generation_;
                continue;
            }
            auto it = folders_.find(ev->wd);
            if (it == folders_.end())
                continue;
            if (ev->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
                // The folder is gone from where it was registered: answers through it are stale
                // and a renamed folder's reports no longer concern its old path.
                ++generation_;
                if (!(ev->mask & IN_IGNORED))
                    ::inotify_rm_watch(fd_, ev->wd);
                forget(ev->wd);
                continue;
            }
            if (ev->len == 0) {
                // The folder's own attributes (its permissions decide what can be seen in it).
                if (ev->mask & IN_ATTRIB)
                    ++generation_;
                continue;
            }
            if (it->anyEntry || it->names.contains(QFile::decodeName(ev->name)))
                ++generation_;
        }
    }
#endif
    return generation_;
}

bool DiskWatch::watch(const QString& dir, const QString& name)
{
#ifdef __linux__
    if (fd_ < 0 || dir.isEmpty())
        return false;
    int wd = byPath_.value(dir, -1);
    if (wd < 0) {
        if (folders_.size() >= kMaxFolders)
            return false;
        wd = ::inotify_add_watch(fd_, QFile::encodeName(dir).constData(), kEvents);
        if (wd < 0)
            return false;
        // The same folder under another spelling (through a link) shares its descriptor.
        folders_[wd].paths.append(dir);
        byPath_.insert(dir, wd);
    }
    Folder& f = folders_[wd];
    if (name.isEmpty() || f.names.size() >= kMaxNames)
        f.anyEntry = true;
    else if (!f.anyEntry)
        f.names.insert(name);
    return true;
#else
    Q_UNUSED(dir);
    Q_UNUSED(name);
    return false;
#endif
}
