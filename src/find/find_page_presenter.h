// The Find page's answer to a search's events: which controls show, the
// button's and the status texts, the indicator, the progress timer, and
// which lists and tab are offered when it has finished. Window-free, so that
// the mapping is tested without windows; the page implements the controls.
#pragma once

#include <cstdint>
#include <string>

#include "find/search_engine.h"

namespace tolvane {

// Tabs of the result lists, in the tab control's order.
inline constexpr int FilesTab = 0;
inline constexpr int FoldersTab = 1;
inline constexpr int ErrorLogTab = 2;

// The three states of the status indicator (a three-state check box).
enum class IndicatorState : int32_t { Unchecked = 0, Checked = 1, Indeterminate = 2 };

// The controls of the Find page that a search changes besides its lists.
class FindPageControls {
public:
    virtual ~FindPageControls() = default;
    // The caption of the options group box ("Options", or empty while running).
    virtual void SetOptionsCaption(const std::string& caption) = 0;
    // The target choice and the filters and locations buttons.
    virtual void ShowOptions(bool shown) = 0;
    // The status indicator and the status text.
    virtual void ShowStatus(bool shown) = 0;
    virtual void SetIndicator(IndicatorState state) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetSearchButtonText(const std::string& text) = 0;
    // The 300 ms timer that calls FindPagePresenter::ProgressTick during the walk.
    virtual void StartProgressTimer() = 0;
    virtual void StopProgressTimer() = 0;
    virtual void EnableActions(bool enabled) = 0;
    virtual void SelectTab(int tab) = 0;
};

class FindPagePresenter : public FindRunView {
public:
    FindPagePresenter(const FindState& state, FindLists& lists, FindPageControls& controls)
        : state_(state), lists_(lists), controls_(controls)
    {
    }

    void RunStateChanged(SearchRunState runState) override;
    void StatusChanged(FindStatusEvent event) override;
    // The page's timer: the counts so far while the walk runs.
    void ProgressTick();
    // The search button while a search runs: a stop is requested.
    void ShowStopping() { controls_.SetSearchButtonText(WaitText); }

private:
    static constexpr const char* WaitText = "Wait...";

    void ShowFinished();
    void ShowIdle();

    const FindState& state_;
    FindLists& lists_;
    FindPageControls& controls_;
};

}  // namespace tolvane
