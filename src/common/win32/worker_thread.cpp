#include "common/win32/worker_thread.h"

#include <windows.h>

#include <memory>

namespace tolvane {
namespace {

DWORD WINAPI RunWork(LPVOID parameter)
{
    const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
    (*work)();
    return 0;
}

}  // namespace

bool StartWorkerThread(std::function<void()> work)
{
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    HANDLE thread = CreateThread(nullptr, 0, RunWork, owned.get(), 0, nullptr);
    if (!thread) return false;
    owned.release();  // the thread destroys it when the work has returned
    CloseHandle(thread);
    return true;
}

}  // namespace tolvane
