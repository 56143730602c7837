#include "support/ui_thread.h"

#include <algorithm>
#include <chrono>

namespace tolvane::test {

void UiThread::Send(const std::function<void()>& call)
{
    std::unique_lock lock(mutex_);
    pending_ = &call;
    changed_.notify_all();
    changed_.wait(lock, [&] { return pending_ == nullptr; });
}

void UiThread::RunWorker(const std::function<void()>& body, const std::function<void()>& poll)
{
    std::unique_lock lock(mutex_);
    workerDone_ = false;
    std::thread worker([&] {
        body();
        std::lock_guard done(mutex_);
        workerDone_ = true;
        changed_.notify_all();
    });
    while (!workerDone_) {
        changed_.wait_for(lock, std::chrono::milliseconds(1), [&] { return pending_ != nullptr || workerDone_; });
        if (pending_) {  // the worker waits until the call and the poll after it are done
            (*pending_)();
            poll();
            pending_ = nullptr;
            changed_.notify_all();
        } else {
            lock.unlock();
            poll();
            lock.lock();
        }
    }
    lock.unlock();
    worker.join();
    poll();
}

int SentResultList::PartRows(std::initializer_list<int> columns) const
{
    int part = 0;
    for (int row = 0; row < shown.RowCount(); ++row)
        part += std::any_of(columns.begin(), columns.end(), [&](int column) { return shown.Cell(row, column).empty(); });
    return part;
}

}  // namespace tolvane::test
