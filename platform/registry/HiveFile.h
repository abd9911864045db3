// One hive file and this process's cached copy of it.
//
// Every access takes a lock on "<hive>.lock" beside the file (shared to read,
// exclusive to change), so processes see each other's changes whole. A change is
// a read-modify-write: reload if the file changed, apply, write a temporary file,
// fsync, rename it over the hive. A crash before the rename leaves the old file;
// a file that does not parse is reported and never overwritten.
//
// The lock file also holds a generation number that each writer increments: file
// times are too coarse to tell two quick writes of the same size apart.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>

#include "platform/registry/KeyTree.h"

namespace quvo::registry {

enum class Hive { ClassesRoot, CurrentUser, LocalMachine };

class HiveFile {
public:
    HiveFile(std::string dir, Hive hive);
    HiveFile(const HiveFile&) = delete;
    HiveFile& operator=(const HiveFile&) = delete;

    // Runs `read` on the current contents under a shared lock.
    LONG Read(const std::function<LONG(const KeyNode&)>& read);
    // Runs `change` under an exclusive lock and writes the hive when it answers
    // ERROR_SUCCESS having set *changed. A `change` that fails must leave the tree
    // as it found it (the cache is reloaded anyway, to be safe).
    LONG Modify(const std::function<LONG(KeyNode&, bool* changed)>& change);

    // Forgets the cached contents; the next access reads the file again.
    void Invalidate();

    const std::string& Path() const { return dataPath_; }

private:
    struct Identity {
        bool exists = false;
        dev_t dev = 0;
        ino_t ino = 0;
        off_t size = 0;
        timespec mtime{};
        std::uint64_t generation = 0;
        bool operator==(const Identity& o) const;
    };

    LONG Refresh(int lockFd);
    LONG Write(int lockFd);
    void RemoveStaleTemporaries() const;
    LONG Failure(LONG code, const std::string& what);

    const std::string dir_;
    const std::string name_;
    const std::string dataPath_;
    const std::string lockPath_;

    // Guards every field below; held across the file lock, so one thread of this
    // process at a time talks to the file.
    std::mutex cacheLock_;
    KeyNode tree_;
    bool valid_ = false;    // tree_ matches the file of identity_
    bool corrupt_ = false;  // the file of identity_ does not parse
    Identity identity_;
    Identity reportedCorrupt_;  // the corrupt file already reported on stderr
    std::string corruptReason_;
};

// The process-wide HiveFile for `hive` in `dir` (created at first use, kept for
// the life of the process).
HiveFile& HiveFor(const std::string& dir, Hive hive);

// File name stem of a hive ("classes_root", "current_user", "local_machine").
const char* HiveName(Hive hive);

// Sets the calling thread's RegLastErrorText().
void SetLastErrorText(std::string text);

namespace testing {
// Drops every cached hive, as a fresh process would start.
void ForgetCachedHives();
// Called at the named stages of a write ("temp-written": the temporary file is
// written, not yet renamed); lets a test stop a writer half-way.
void SetWriteFaultHook(void (*hook)(const char* stage));
}  // namespace testing

}  // namespace quvo::registry
