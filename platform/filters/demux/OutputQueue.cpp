#include "platform/filters/demux/OutputQueue.h"

namespace quvo::filters {

OutputQueue::~OutputQueue() { Stop(); }

void OutputQueue::Start(DeliverFn deliver)
{
    Stop();
    std::lock_guard lock(queueLock_);
    deliver_ = std::move(deliver);
    running_ = true;
    worker_ = std::thread(&OutputQueue::Work, this);
}

void OutputQueue::Stop()
{
    {
        std::lock_guard lock(queueLock_);
        running_ = false;
        queue_.clear();
        queuedBytes_ = 0;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
}

bool OutputQueue::Running() const
{
    std::lock_guard lock(queueLock_);
    return running_;
}

bool OutputQueue::Push(QueuedPayload payload)
{
    std::unique_lock lock(queueLock_);
    changed_.wait(lock, [&] { return !running_ || queuedBytes_ < kMaxQueuedBytes; });
    if (!running_) return false;
    queuedBytes_ += payload.data.size();
    queue_.push_back(std::move(payload));
    changed_.notify_all();
    return true;
}

void OutputQueue::Clear()
{
    {
        std::lock_guard lock(queueLock_);
        queue_.clear();
        queuedBytes_ = 0;
    }
    changed_.notify_all();
}

void OutputQueue::Work()
{
    std::unique_lock lock(queueLock_);
    for (;;) {
        changed_.wait(lock, [&] { return !running_ || !queue_.empty(); });
        if (!running_) return;
        QueuedPayload payload = std::move(queue_.front());
        queue_.pop_front();
        queuedBytes_ -= payload.data.size();
        changed_.notify_all();
        lock.unlock();
        deliver_(payload);
        lock.lock();
    }
}

}  // namespace quvo::filters
