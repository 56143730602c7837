// A Find search over a real temporary folder, shown by the page's presenter
// on recording controls, with in-memory lists and a scripted prompter.
#pragma once

#include <gtest/gtest.h>

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
    void SetOptionsCaption(const std::string& caption) override { optionsCaption = caption, ++calls; }
    void ShowOptions(bool shown) override { optionsShown = shown, ++calls; }
    void ShowStatus(bool shown) override { statusShown = shown, ++calls; }
    void SetIndicator(IndicatorState state) override { indicator = state, ++calls; }
    void SetStatusText(const std::string& text) override { statusTexts.push_back(text), ++calls; }
    void SetSearchButtonText(const std::string& text) override { buttonTexts.push_back(text), ++calls; }
    void StartProgressTimer() override { timerRunning = true, ++calls; }
    void StopProgressTimer() override { timerRunning = false, ++calls; }
    void EnableActions(bool enabled) override { actionsEnabled = enabled, ++calls; }
    void SelectTab(int tab) override { selectedTab = tab, ++calls; }

    int calls = 0;
    std::string optionsCaption = "Options";
    bool optionsShown = true;
    bool statusShown = false;
    IndicatorState indicator = IndicatorState::Unchecked;
    std::vector<std::string> statusTexts;
    std::vector<std::string> buttonTexts;
    bool timerRunning = false;
    bool actionsEnabled = false;
    int selectedTab = -1;
};

class SearchFixture : public ::testing::Test {
protected:
    // Switches filtersSpecified on when some rule is on, as Accept does.
    SearchOutcome Run(const std::vector<std::string>& locations, bool includeSubfolders = true)
    {
        SearchCriteria& c = state.criteria;
        c.filtersSpecified = c.nameRuleOn || c.extensionRuleOn || c.contentRuleOn || c.sizeRuleOn || c.dateRuleOn ||
                             c.timeRuleOn || c.attributeRuleOn;
        if (!c.filtersSpecified) prompter.Answer(IdYes);
        LocationList& stored = state.locations;
        stored.locationPaths = locations;
        stored.locationCount = static_cast<int>(locations.size());
        stored.locationsSpecified = !locations.empty();
        stored.includeSubfolders = includeSubfolders;
        return SearchWorker(state, presenter, prompter, lists);
    }
    SearchOutcome Run() { return Run({folder.Path()}); }
    // Runs again from the idle page.
    SearchOutcome Rerun() { return Rerun({folder.Path()}); }
    SearchOutcome Rerun(const std::vector<std::string>& locations)
    {
        ResetFindRun(state, presenter, lists);
        return Run(locations);
    }

    // Rows of a list as paths relative to the temporary folder, with '/'.
    std::vector<std::string> Found(const MemoryResultList& list) const
    {
        std::vector<std::string> paths;
        for (int row = 0; row < list.RowCount(); ++row) {
            std::string path = list.Cell(row, PathColumn) + list.Cell(row, NameColumn);
            if (path.rfind(folder.Path(), 0) == 0) path.erase(0, folder.Path().size());
            for (char& c : path) {
                if (c == '\\') c = '/';
            }
            paths.push_back(path);
        }
        return paths;
    }

    TempFolder folder;
    FindState state;
    MemoryResultList files;
    MemoryResultList folders;
    MemoryResultList errors{false};
    FindLists lists{files, folders, errors};
    RecordingControls view;
    FindPagePresenter presenter{state, lists, view};
    ScriptedPrompter prompter;
};

}  // namespace tolvane::test
