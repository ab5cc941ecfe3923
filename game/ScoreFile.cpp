#include "game/ScoreFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/posix/RegularFile.h"

namespace {

class CFd {
public:
    explicit CFd(int fd) : m_fd(fd) {}
    ~CFd() { if (m_fd >= 0) close(m_fd); }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    int Get() const { return m_fd; }
    // Closes now, so that a failing close (a late write error on some file systems) counts.
    bool Close() { const int fd = m_fd; m_fd = -1; return close(fd) == 0; }

private:
    int m_fd;
};

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether entry is "<name>.<pid>.tmp"; *pid receives the pid.
bool IsTemporaryOf(const char* entry, const std::string& name, pid_t* pid)
{
    if (std::strncmp(entry, name.c_str(), name.size()) != 0 || entry[name.size()] != '.') return false;
    const char* digits = entry + name.size() + 1;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(digits, &end, 10);
    if (end == digits || *digits < '0' || *digits > '9' || errno != 0 || std::strcmp(end, ".tmp") != 0)
        return false;
    *pid = pid_t(value);
    return pid_t(value) == value && value > 0;
}

// A temporary whose writer is gone can never be renamed into place any more. One of this
// process's own is stale too: saves run on one thread and clean up after themselves.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name)
{
    DIR* const dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* const entry = readdir(dir)) {
        pid_t pid = 0;
        if (!IsTemporaryOf(entry->d_name, name, &pid)) continue;
        if (pid == getpid() || (kill(pid, 0) != 0 && errno == ESRCH)) unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
}

bool WriteAll(int fd, const unsigned char* bytes, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= size_t(written);
    }
    return true;
}

// Flushed to the disk, then closed, so that a late write error counts too.
bool WriteSyncClose(CFd& file, const unsigned char* bytes, size_t size)
{
    const bool written = WriteAll(file.Get(), bytes, size) && fsync(file.Get()) == 0;
    return file.Close() && written;
}

enum class TempResult { kWritten, kNotMade, kFailed };

// owner: the file being replaced, whose mode and owner the new one takes; null for a new file.
TempResult WriteTemporary(const std::string& temp, const unsigned char* bytes, size_t size,
                          const struct stat* owner)
{
    CFd file(open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.Get() < 0) return TempResult::kNotMade;
    if (owner != nullptr) {
        // Only root can give a file away; anyone else writing a file of another owner
        // through its group bits ends up owning the new one, which is all Linux allows,
        // but keeps its group, which a member of it may give. Before the mode: a change
        // of owner clears the set-id bits.
        if (geteuid() == 0) {
            if (fchown(file.Get(), owner->st_uid, owner->st_gid) != 0) return TempResult::kFailed;
        } else {
            [[maybe_unused]] const int kept = fchown(file.Get(), uid_t(-1), owner->st_gid);
        }
        if (fchmod(file.Get(), owner->st_mode & 07777) != 0) return TempResult::kFailed;
    }
    return WriteSyncClose(file, bytes, size) ? TempResult::kWritten : TempResult::kFailed;
}

bool WriteInPlace(const std::string& target, const unsigned char* bytes, size_t size)
{
    CFd file(open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info;
    if (file.Get() < 0 || fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    return WriteSyncClose(file, bytes, size);
}

// The name a chain of symbolic links ends at, whether or not that exists yet, so that a
// new file goes where the links point and they keep pointing at it. A chain too long to
// be a sane set-up (or a loop) gives the path itself, whose creation then replaces it.
std::string FinalLinkTarget(const std::string& path)
{
    std::string name = path;
    for (int hops = 0; hops < 40; ++hops) {
        char link[4096];
        const ssize_t length = readlink(name.c_str(), link, sizeof link);
        if (length < 0) return name;
        if (size_t(length) == sizeof link) return path;
        const std::string next(link, size_t(length));
        name = next[0] == '/' ? next : FolderOf(name) + "/" + next;
    }
    return path;
}

void SyncFolder(const std::string& folder)
{
    CFd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // The rename is already done: without this only its durability is at stake, not the
    // contents, which are the old table or the new one either way.
    if (dir.Get() >= 0) fsync(dir.Get());
}

// Resolves the file to replace; *owner receives its attributes.
bool ExistingWritableTarget(const char* path, std::string* target, struct stat* owner)
{
    CFd file(open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0 || fstat(file.Get(), owner) != 0 || !S_ISREG(owner->st_mode)) return false;
    char* const real = realpath(path, nullptr);
    if (real == nullptr) return false;
    *target = real;
    std::free(real);
    return true;
}

}  // namespace

ScoreFileRead ReadScoreFile(const char* path, unsigned char* buffer, size_t capacity, size_t* count)
{
    *count = 0;
    RemoveStaleTemporaries(FolderOf(path), NameOf(path));
    CFd file(OpenRegularFile(path));
    if (file.Get() < 0) return errno == ENOENT ? ScoreFileRead::kMissing : ScoreFileRead::kUnreadable;
    while (*count < capacity) {
        const ssize_t got = read(file.Get(), buffer + *count, capacity - *count);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        *count += size_t(got);
    }
    return ScoreFileRead::kRead;
}

bool ReplaceScoreFile(const char* path, const unsigned char* bytes, size_t size, bool mustExist)
{
    std::string target = mustExist ? path : FinalLinkTarget(path);
    struct stat owner;
    if (mustExist && !ExistingWritableTarget(path, &target, &owner)) return false;
    const std::string folder = FolderOf(target);
    RemoveStaleTemporaries(folder, NameOf(target));
    const std::string temp = target + "." + std::to_string(getpid()) + ".tmp";
    const TempResult made = WriteTemporary(temp, bytes, size, mustExist ? &owner : nullptr);
    if (made == TempResult::kWritten && rename(temp.c_str(), target.c_str()) == 0) {
        SyncFolder(folder);
        return true;
    }
    if (made != TempResult::kNotMade) unlink(temp.c_str());
    // A folder the player cannot write, a full disk or quota, a sticky folder holding
    // another's temporary: the file itself may still take the bytes. The in-place write is
    // not proof against a power cut mid-write, but losing the new entry for certain is
    // worse.
    return mustExist && WriteInPlace(target, bytes, size);
}
