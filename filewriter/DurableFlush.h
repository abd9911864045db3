// Flushing closed files to stable storage away from the streaming thread. A closed
// fragment, the description file after its new line and the folder after a new file
// is made are synced (fdatasync, fsync of the folder) by a thread of the flusher's
// own, in the order they were handed over, so that a power cut loses at most the
// fragment that was open; the thread that writes never waits for the disk.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace quvo::filewriter {

class DurableFlush {
public:
    DurableFlush() = default;
    // Finishes what was handed over, then ends the thread.
    ~DurableFlush();
    DurableFlush(const DurableFlush&) = delete;
    DurableFlush& operator=(const DurableFlush&) = delete;

    // Syncs a duplicate of `fd` (the caller keeps its own) and closes the duplicate.
    void SyncFile(int fd);
    // Syncs the folder that holds `path`, so that a new entry in it survives.
    void SyncFolderOf(const std::string& path);
    // Returns once everything handed over so far is on stable storage.
    void Wait();

private:
    struct Job {
        int fd;              // a duplicate to sync and close, or -1
        std::string folder;  // a folder to sync, when fd is -1
    };
    void Add(Job job);
    void Run();
    static void Do(const Job& job);

    std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Job> jobs_;
    bool busy_ = false;
    bool ending_ = false;
    std::thread thread_;  // started with the first job
};

}  // namespace quvo::filewriter
