// The test's own thread carries out the calls a worker sends to the page's controls, as a window's thread
// does with sent messages, and polls between them; a stop requested in response lands at a known point.
#pragma once

#include <condition_variable>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "common/result_list.h"

namespace tolvane::test {

class UiThread {
public:
    void Send(const std::function<void()>& call);  // from the worker: runs call here and waits for it
    // Runs body on a worker thread while this one carries out its calls, polling after each and every millisecond.
    void RunWorker(const std::function<void()>& body, const std::function<void()>& poll);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    const std::function<void()>* pending_ = nullptr;
    bool workerDone_ = false;
};

// A list owned by the user-interface thread: the worker's calls are sent to it; the test reads `shown` directly.
class SentResultList : public ResultList {
public:
    SentResultList(UiThread& ui, MemoryResultList& list) : shown(list), ui_(ui) {}

    int RowCount() const override { return Ask([&] { return shown.RowCount(); }); }
    int StateImage(int row) const override { return Ask([&] { return shown.StateImage(row); }); }
    void SetStateImage(int row, int index) override { ui_.Send([&] { shown.SetStateImage(row, index); }); }
    std::string CellText(int row, int column, size_t size) const override { return Ask([&] { return shown.CellText(row, column, size); }); }
    void SetCellText(int row, int column, std::string_view text) override { ui_.Send([&] { shown.SetCellText(row, column, text); }); }
    void InsertRow(int row) override { ui_.Send([&] { shown.InsertRow(row); }); }
    void DeleteRow(int row) override { ui_.Send([&] { shown.DeleteRow(row); }); }
    void DeleteAllRows() override { ui_.Send([&] { shown.DeleteAllRows(); }); }
    void SetEnabled(bool enabled) override { ui_.Send([&] { shown.SetEnabled(enabled); }); }
    bool IsEnabled() const override { return Ask([&] { return shown.IsEnabled(); }); }
    int PartRows(std::initializer_list<int> columns) const;  // rows with an empty cell in one of the columns

    MemoryResultList& shown;

private:
    template <typename Call>
    auto Ask(Call call) const -> decltype(call())
    {
        decltype(call()) answer{};
        ui_.Send([&] { answer = call(); });
        return answer;
    }

    UiThread& ui_;
};

}  // namespace tolvane::test
