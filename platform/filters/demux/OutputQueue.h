// A delivery thread for one demultiplexer output: the input's streaming thread
// queues payloads and returns at once, the output's thread hands them downstream.
// Each elementary stream thus waits only on its own renderer: a video renderer
// holding a picture until its time does not starve the audio.
//
// Threads: Push*, Clear come from the input's streaming thread or the application
// thread; Start/Stop from the application thread under the filter lock; the worker
// calls the deliver function. queueLock guards everything below it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace quvo::filters {

struct QueuedPayload {
    std::vector<std::uint8_t> data;
    bool hasTime = false;
    std::int64_t start = 0;
    bool discontinuity = false;
    bool endOfStream = false;  // no data: end of stream marker
};

class OutputQueue {
public:
    using DeliverFn = std::function<void(QueuedPayload&)>;

    // Bytes queued before Push waits for the worker (back pressure on the input).
    static constexpr std::size_t kMaxQueuedBytes = 8u << 20;

    ~OutputQueue();

    void Start(DeliverFn deliver);
    // Ends the worker after its current delivery; queued payloads are dropped.
    void Stop();
    // Waits while the queue is full; false when the queue is stopped meanwhile.
    bool Push(QueuedPayload payload);
    void Clear();
    bool Running() const;

private:
    void Work();

    mutable std::mutex queueLock_;
    std::condition_variable changed_;
    std::deque<QueuedPayload> queue_;
    std::size_t queuedBytes_ = 0;
    bool running_ = false;
    DeliverFn deliver_;
    std::thread worker_;
};

}  // namespace quvo::filters
