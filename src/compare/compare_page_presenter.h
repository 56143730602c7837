// The Compare page's answer to a run's events: the button's and the status
// texts, the progress bar, which controls may be used, and which lists and
// tab are offered when the run has finished. Window-free, so that the mapping
// is tested without windows; the page implements the controls.
#pragma once

#include <string>

#include "compare/compare_run.h"
#include "compare/compare_status_text.h"

namespace tolvane {

// The controls of the Compare page that a run changes besides its lists.
class ComparePageControls {
public:
    virtual ~ComparePageControls() = default;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetButtonText(const std::string& text) = 0;
    virtual void SetProgress(int percent) = 0;
    // The option check boxes and the filters and locations buttons.
    virtual void SetOptionControlsEnabled(bool enabled) = 0;
    virtual void SetActionsEnabled(bool enabled) = 0;
    virtual void ShowTab(CompareTab tab) = 0;
};

class ComparePagePresenter : public CompareRunView {
public:
    ComparePagePresenter(const CompareResultLists& lists, ComparePageControls& controls)
        : lists_(lists), controls_(controls)
    {
    }

    void RunStateChanged(CompareRunState state) override;
    void CollectingFiles() override { controls_.SetStatusText(CollectingFilesText); }
    void PhaseEntered(ComparePhase phase) override;
    void WritingLists() override;
    void ReportProgress(const CompareProgress& progress) override { controls_.SetProgress(progress.percent); }
    // The Compare button while a run goes on: a stop is requested.
    void ShowStopping() { controls_.SetButtonText(WaitText); }

private:
    static constexpr const char* WaitText = "Wait...";
    static constexpr const char* CancelText = "Cancel";

    void ShowFinished();
    void ShowIdle();

    CompareResultLists lists_;
    ComparePageControls& controls_;
};

}  // namespace tolvane
