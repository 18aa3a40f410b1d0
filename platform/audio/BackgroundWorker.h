#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace kelvane::audio {

// One thread that runs jobs one at a time, for work that the user-interface
// thread must never wait for (decoding wave files). The thread starts with
// the first job and sleeps while there is none.
//
// post() never waits for a job. Destruction lets the job under way finish
// and calls every job still queued with run = false, so that each can tell
// whoever waits for it that it will not run.
class BackgroundWorker {
public:
    // run: true to do the work, false when the worker is going away first.
    using Job = std::function<void(bool run)>;
    // atThreadEnd runs on the worker thread as it ends (to free per-thread
    // state a library keeps); may be empty.
    explicit BackgroundWorker(std::string threadName, std::function<void()> atThreadEnd = {});
    ~BackgroundWorker();
    BackgroundWorker(const BackgroundWorker&) = delete;
    BackgroundWorker& operator=(const BackgroundWorker&) = delete;

    // Queues a job; an urgent one runs before every job not yet begun.
    void post(Job job, bool urgent = false);

private:
    void run();

    std::string threadName_;
    std::function<void()> atThreadEnd_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace kelvane::audio
