#include "platform/registry/HiveFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "platform/registry/HiveFormat.h"
#include "platform/registry/Registry.h"

namespace quvo::registry {

namespace {

thread_local std::string t_lastErrorText;
std::atomic<void (*)(const char*)> g_writeFaultHook{nullptr};
std::atomic<unsigned> g_tempSequence{0};

// Closes a descriptor on scope exit.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { if (fd_ >= 0) ::close(fd_); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    void reset(int fd)
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    int get() const { return fd_; }
    int release() { int fd = fd_; fd_ = -1; return fd; }

private:
    int fd_;
};

LONG ErrnoToWin32(int err, LONG fallback)
{
    switch (err) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS: return ERROR_ACCESS_DENIED;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENOMEM: return ERROR_OUTOFMEMORY;
    default: return fallback;
    }
}

int FlockRetry(int fd, int op)
{
    int rc;
    do rc = ::flock(fd, op);
    while (rc != 0 && errno == EINTR);
    return rc;
}

bool WriteAll(int fd, const char* p, std::size_t n)
{
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

bool ReadAll(int fd, std::string* out)
{
    char buf[16384];
    for (;;) {
        ssize_t r = ::read(fd, buf, sizeof buf);
        if (r < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (r == 0) return true;
        out->append(buf, static_cast<std::size_t>(r));
    }
}

// mkdir -p
bool MakeDirectories(const std::string& dir)
{
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        partial = dir.substr(0, pos);
        if (partial.empty()) continue;
        if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::uint64_t ReadGeneration(int lockFd)
{
    unsigned char b[8];
    if (lockFd < 0 || ::pread(lockFd, b, sizeof b, 0) != static_cast<ssize_t>(sizeof b)) return 0;
    std::uint64_t g = 0;
    for (int i = 7; i >= 0; --i) g = (g << 8) | b[i];
    return g;
}

bool WriteGeneration(int lockFd, std::uint64_t g)
{
    unsigned char b[8];
    for (int i = 0; i < 8; ++i, g >>= 8) b[i] = static_cast<unsigned char>(g & 0xFF);
    return ::pwrite(lockFd, b, sizeof b, 0) == static_cast<ssize_t>(sizeof b);
}

void FaultPoint(const char* stage)
{
    if (auto hook = g_writeFaultHook.load()) hook(stage);
}

}  // namespace

const char* HiveName(Hive hive)
{
    switch (hive) {
    case Hive::ClassesRoot: return "classes_root";
    case Hive::CurrentUser: return "current_user";
    case Hive::LocalMachine: return "local_machine";
    }
    return "unknown";
}

void SetLastErrorText(std::string text) { t_lastErrorText = std::move(text); }

bool HiveFile::Identity::operator==(const Identity& o) const
{
    if (exists != o.exists || generation != o.generation) return false;
    if (!exists) return true;
    return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec;
}

HiveFile::HiveFile(std::string dir, Hive hive)
    : dir_(std::move(dir)),
      name_(HiveName(hive)),
      dataPath_(dir_ + "/" + name_ + ".reg"),
      lockPath_(dir_ + "/" + name_ + ".lock")
{
}

LONG HiveFile::Failure(LONG code, const std::string& what)
{
    SetLastErrorText(dataPath_ + ": " + what);
    return code;
}

void HiveFile::Invalidate()
{
    std::lock_guard<std::mutex> guard(cacheLock_);
    valid_ = false;
}

LONG HiveFile::Refresh(int lockFd)
{
    Identity now;
    now.generation = ReadGeneration(lockFd);
    Fd data(::open(dataPath_.c_str(), O_RDONLY | O_CLOEXEC));
    if (data.get() < 0 && errno != ENOENT) {
        valid_ = false;
        return Failure(ErrnoToWin32(errno, ERROR_CANTREAD),
                       std::string("cannot open: ") + std::strerror(errno));
    }
    struct stat st {};
    if (data.get() >= 0) {
        if (::fstat(data.get(), &st) != 0) {
            valid_ = false;
            return Failure(ERROR_CANTREAD, std::string("cannot stat: ") + std::strerror(errno));
        }
        now.exists = true;
        now.dev = st.st_dev;
        now.ino = st.st_ino;
        now.size = st.st_size;
        now.mtime = st.st_mtim;
    }
    if (valid_ && now == identity_) {
        if (corrupt_) return Failure(ERROR_BADDB, corruptReason_);
        return ERROR_SUCCESS;
    }

    KeyNode fresh;
    corrupt_ = false;
    if (now.exists) {
        std::string text;
        if (!ReadAll(data.get(), &text)) {
            valid_ = false;
            return Failure(ERROR_CANTREAD, std::string("cannot read: ") + std::strerror(errno));
        }
        std::string reason;
        if (!ParseHive(text, &fresh, &reason)) {
            tree_ = KeyNode();
            identity_ = now;
            valid_ = true;
            corrupt_ = true;
            corruptReason_ = reason + " (the file is left as it is; repair or remove it)";
            if (!(reportedCorrupt_ == now)) {
                std::fprintf(stderr, "registry: %s: %s\n", dataPath_.c_str(), corruptReason_.c_str());
                reportedCorrupt_ = now;
            }
            return Failure(ERROR_BADDB, corruptReason_);
        }
    }
    tree_ = std::move(fresh);
    identity_ = now;
    valid_ = true;
    return ERROR_SUCCESS;
}

LONG HiveFile::Read(const std::function<LONG(const KeyNode&)>& read)
{
    std::lock_guard<std::mutex> guard(cacheLock_);
    // Reading never creates the directory; without a lock file (missing or
    // read-only directory) there is also no writer to wait for.
    Fd lockFd(::open(lockPath_.c_str(), O_RDWR | O_CLOEXEC));
    if (lockFd.get() < 0) lockFd.reset(::open(lockPath_.c_str(), O_RDONLY | O_CLOEXEC));
    if (lockFd.get() >= 0 && FlockRetry(lockFd.get(), LOCK_SH) != 0)
        return Failure(ERROR_LOCK_VIOLATION, std::string("cannot lock: ") + std::strerror(errno));
    LONG rc = Refresh(lockFd.get());
    if (rc != ERROR_SUCCESS) return rc;
    return read(tree_);
}

LONG HiveFile::Modify(const std::function<LONG(KeyNode&, bool*)>& change)
{
    std::lock_guard<std::mutex> guard(cacheLock_);
    if (!MakeDirectories(dir_))
        return Failure(ErrnoToWin32(errno, ERROR_CANTWRITE),
                       "cannot create the registry directory: " + std::string(std::strerror(errno)));
    Fd lockFd(::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (lockFd.get() < 0)
        return Failure(ErrnoToWin32(errno, ERROR_CANTWRITE),
                       "cannot open the lock file: " + std::string(std::strerror(errno)));
    if (FlockRetry(lockFd.get(), LOCK_EX) != 0)
        return Failure(ERROR_LOCK_VIOLATION, std::string("cannot lock: ") + std::strerror(errno));
    LONG rc = Refresh(lockFd.get());
    if (rc != ERROR_SUCCESS) return rc;

    bool changed = false;
    rc = change(tree_, &changed);
    if (rc != ERROR_SUCCESS) {
        valid_ = false;
        return rc;
    }
    if (!changed) return ERROR_SUCCESS;
    rc = Write(lockFd.get());
    if (rc != ERROR_SUCCESS) valid_ = false;
    return rc;
}

LONG HiveFile::Write(int lockFd)
{
    const std::string text = SerializeHive(tree_);
    const std::string temp = dir_ + "/." + name_ + ".reg.tmp." + std::to_string(::getpid()) + "." +
                             std::to_string(g_tempSequence.fetch_add(1));
    Fd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (out.get() < 0 && errno == EEXIST) {
        // Left by a dead process that had our pid.
        ::unlink(temp.c_str());
        out.reset(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    }
    if (out.get() < 0)
        return Failure(ErrnoToWin32(errno, ERROR_CANTWRITE),
                       "cannot create " + temp + ": " + std::strerror(errno));

    int err = 0;
    if (!WriteAll(out.get(), text.data(), text.size())) err = errno;
    if (err == 0) FaultPoint("temp-written");
    if (err == 0 && ::fsync(out.get()) != 0) err = errno;
    if (::close(out.release()) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temp.c_str(), dataPath_.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return Failure(ErrnoToWin32(err, ERROR_CANTWRITE),
                       std::string("cannot write: ") + std::strerror(err));
    }
    // Make the rename itself durable.
    Fd dirFd(::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() >= 0) ::fsync(dirFd.get());

    const std::uint64_t generation = identity_.generation + 1;
    if (!WriteGeneration(lockFd, generation)) {
        // Others would miss the change if its size and time equal the old file's.
        valid_ = false;
        return Failure(ERROR_CANTWRITE, std::string("cannot update the lock file: ") + std::strerror(errno));
    }
    struct stat st {};
    if (::stat(dataPath_.c_str(), &st) == 0) {
        identity_.exists = true;
        identity_.dev = st.st_dev;
        identity_.ino = st.st_ino;
        identity_.size = st.st_size;
        identity_.mtime = st.st_mtim;
        identity_.generation = generation;
    } else {
        valid_ = false;
    }
    RemoveStaleTemporaries();
    return ERROR_SUCCESS;
}

// Temporary files of writers that died before their rename; their pid is in the name.
void HiveFile::RemoveStaleTemporaries() const
{
    std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir_.c_str()), ::closedir);
    if (!d) return;
    const std::string prefix = "." + name_ + ".reg.tmp.";
    while (dirent* e = ::readdir(d.get())) {
        std::string file = e->d_name;
        if (file.compare(0, prefix.size(), prefix) != 0) continue;
        const long pid = std::strtol(file.c_str() + prefix.size(), nullptr, 10);
        if (pid <= 0 || pid == ::getpid()) continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            ::unlink((dir_ + "/" + file).c_str());
    }
}

HiveFile& HiveFor(const std::string& dir, Hive hive)
{
    // Guards the map below; entries are never removed, so references stay valid.
    static std::mutex hivesLock;
    static auto* hives = new std::map<std::pair<std::string, Hive>, std::unique_ptr<HiveFile>>();
    std::lock_guard<std::mutex> guard(hivesLock);
    auto& slot = (*hives)[{dir, hive}];
    if (!slot) slot = std::make_unique<HiveFile>(dir, hive);
    return *slot;
}

namespace testing {
void ForgetCachedHives()
{
    for (Hive h : {Hive::ClassesRoot, Hive::CurrentUser, Hive::LocalMachine})
        HiveFor(RegistryDirectory(), h).Invalidate();
}

void SetWriteFaultHook(void (*hook)(const char* stage)) { g_writeFaultHook.store(hook); }
}  // namespace testing

}  // namespace quvo::registry

std::string RegLastErrorText() { return quvo::registry::t_lastErrorText; }
