// A Find search over a real temporary folder, shown by the page's presenter
// on recording controls, with in-memory lists and a scripted prompter.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/result_list.h"
#include "find/find_page_presenter.h"
#include "find/search_engine.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tolvane::test {

class RecordingControls : public FindPageControls {
public:
    void SetOptionsCaption(const std::string&) override {}
    void ShowOptions(bool shown) override { optionsShown = shown; }
    void ShowStatus(bool shown) override { statusShown = shown; }
    void SetIndicator(IndicatorState state) override { indicator = state; }
    void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void SetSearchButtonText(const std::string&) override {}
    void StartProgressTimer() override { timerRunning = true; }
    void StopProgressTimer() override { timerRunning = false; }
    void EnableActions(bool enabled) override { actionsEnabled = enabled; }
    void SelectTab(int tab) override { selectedTab = tab; }

    int selectedTab = -1;
    bool optionsShown = true, statusShown = false, timerRunning = false, actionsEnabled = false;
    IndicatorState indicator = IndicatorState::Unchecked;
    std::vector<std::string> statusTexts;
};

// The search with all it runs on, for a test that runs several.
struct FindSearch {
    // From the idle page, with filtersSpecified on when some rule is on, as Accept does.
    SearchOutcome Run(const std::vector<std::string>& locations, bool includeSubfolders = true)
    {
        ResetFindRun(state, presenter, lists);
        SearchCriteria& c = state.criteria;
        c.filtersSpecified = c.nameRuleOn || c.extensionRuleOn || c.contentRuleOn || c.sizeRuleOn || c.dateRuleOn ||
                             c.timeRuleOn || c.attributeRuleOn;
        if (!c.filtersSpecified) prompter.Answer(IdYes);
        const int count = static_cast<int>(locations.size());
        state.locations = LocationList{locations, !locations.empty(), count, includeSubfolders};
        return SearchWorker(state, presenter, prompter, lists);
    }
    // The full paths of a list's rows, in row order.
    std::vector<std::string> Paths(const MemoryResultList& list) const
    {
        std::vector<std::string> paths;
        for (int row = 0; row < list.RowCount(); ++row)
            paths.push_back(list.Cell(row, PathColumn) + list.Cell(row, NameColumn));
        return paths;
    }

    FindState state;
    MemoryResultList files, folders, errors{false};
    FindLists lists{files, folders, errors};
    RecordingControls view;
    FindPagePresenter presenter{state, lists, view};
    ScriptedPrompter prompter;
};

class SearchFixture : public ::testing::Test, protected FindSearch {
protected:
    using FindSearch::Run;
    SearchOutcome Run() { return Run({folder.Path()}); }

    // Rows of a list as paths relative to the temporary folder with '/', sorted and joined by blanks.
    std::string Found(const MemoryResultList& list) const
    {
        std::vector<std::string> paths = Paths(list);
        for (std::string& path : paths) {
            path.erase(0, folder.Path().size());
            std::replace(path.begin(), path.end(), '\\', '/');
        }
        std::sort(paths.begin(), paths.end());
        std::string joined;
        for (const std::string& path : paths) joined += (joined.empty() ? "" : " ") + path;
        return joined;
    }

    TempFolder folder;
};

}  // namespace tolvane::test
