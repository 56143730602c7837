// The one way the windows start a worker: a thread that runs a function and
// then destroys it, so that the shares of state the function holds keep
// that state alive exactly until the worker has ended.
#pragma once

#include <functional>

namespace tolvane {

// False, with work neither run nor kept, when no thread could be started.
bool StartWorkerThread(std::function<void()> work);

}  // namespace tolvane
