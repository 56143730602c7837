// Values that a worker thread and the user-interface thread share. Suites
// named ...Threads in a program labelled "threads": scripts/test also runs
// them built with ThreadSanitizer.
#include <gtest/gtest.h>

#include <thread>

#include "common/error_log.h"
#include "platform/error.h"
#include "support/scripted_prompter.h"

namespace tolvane {
namespace {

TEST(ErrorLogThreads, CountReadWhileAWorkerAddsOnlyGrows)
{
    constexpr int Errors = 2000;
    MemoryResultList list;
    ErrorLog log(list);
    test::ScriptedPrompter prompter;
    std::thread worker([&] {
        for (int i = 0; i < Errors; ++i) log.Add("/folder/" + std::to_string(i), platform::ErrorAccessDenied, prompter);
    });
    // What the user-interface thread does while the worker runs: show the count.
    int lastSeen = 0;
    bool neverShrank = true;
    while (lastSeen < Errors) {
        const int seen = log.Count();
        neverShrank = neverShrank && seen >= lastSeen && seen <= Errors;
        lastSeen = seen;
        std::this_thread::yield();
    }
    worker.join();
    EXPECT_TRUE(neverShrank);
    EXPECT_EQ(list.RowCount(), Errors);
    EXPECT_EQ(list.Cell(Errors - 1, ErrorLogObjectColumn), "/folder/" + std::to_string(Errors - 1));
    EXPECT_TRUE(prompter.shown.empty());
}

}  // namespace
}  // namespace tolvane
