#include "filewriter/DurableFlush.h"

#include <fcntl.h>
#include <unistd.h>

#include <new>
#include <system_error>

namespace quvo::filewriter {

DurableFlush::~DurableFlush()
{
    {
        std::lock_guard lock(lock_);
        ending_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void DurableFlush::SyncFile(int fd)
{
    int copy = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy >= 0) Add({copy, {}});
}

void DurableFlush::SyncFolderOf(const std::string& path)
{
    try {
        std::string::size_type slash = path.rfind('/');
        Add({-1, slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash)});
    } catch (const std::bad_alloc&) {
        // No memory for the folder's name: the entry reaches the disk with the next sync.
    }
}

void DurableFlush::Add(Job job)
{
    std::unique_lock lock(lock_);
    bool queued = false;
    try {
        if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
        jobs_.push_back(std::move(job));
        queued = true;
    } catch (...) {
        // No thread or no memory to be had: sync here rather than not at all.
    }
    lock.unlock();
    if (queued)
        wake_.notify_one();
    else
        Do(job);
}

void DurableFlush::Wait()
{
    std::unique_lock lock(lock_);
    idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void DurableFlush::Run()
{
    std::unique_lock lock(lock_);
    for (;;) {
        wake_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
        if (jobs_.empty()) return;  // ending, and nothing left
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        busy_ = true;
        lock.unlock();
        Do(job);
        lock.lock();
        busy_ = false;
        if (jobs_.empty()) idle_.notify_all();
    }
}

void DurableFlush::Do(const Job& job)
{
    if (job.fd >= 0) {
        fdatasync(job.fd);
        close(job.fd);
        return;
    }
    int dir = open(job.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    fsync(dir);
    close(dir);
}

}  // namespace quvo::filewriter
