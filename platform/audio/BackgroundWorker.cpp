#include "audio/BackgroundWorker.h"

#include <sys/prctl.h>

namespace kelvane::audio {

BackgroundWorker::BackgroundWorker(std::string threadName, std::function<void()> atThreadEnd) :
    threadName_(std::move(threadName)), atThreadEnd_(std::move(atThreadEnd))
{
}

BackgroundWorker::~BackgroundWorker()
{
    std::deque<Job> left;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        left.swap(jobs_);
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
    for (Job& job : left)
        job(false);
}

void BackgroundWorker::post(Job job, bool urgent)
{
    {
        const std::lock_guard lock(mutex_);
        if (urgent)
            jobs_.push_front(std::move(job));
        else
            jobs_.push_back(std::move(job));
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); });
    }
    wake_.notify_one();
}

void BackgroundWorker::run()
{
    prctl(PR_SET_NAME, threadName_.c_str(), 0UL, 0UL, 0UL);
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_)
                break;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job(true);
    }
    if (atThreadEnd_)
        atThreadEnd_();
}

} // namespace kelvane::audio
