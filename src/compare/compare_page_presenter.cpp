#include "compare/compare_page_presenter.h"

namespace tolvane {

void ComparePagePresenter::RunStateChanged(CompareRunState state)
{
    switch (state) {
    case CompareRunState::Running:
        controls_.SetOptionControlsEnabled(false);
        controls_.SetButtonText(CancelText);
        break;
    case CompareRunState::Finished: ShowFinished(); break;
    case CompareRunState::Idle: ShowIdle(); break;
    }
}

// Only the phases that read files end at a stop.
void ComparePagePresenter::PhaseEntered(ComparePhase phase)
{
    controls_.SetStatusText(ComparePhaseText(phase));
    controls_.SetButtonText(PhaseReadsFiles(phase) ? CancelText : WaitText);
}

void ComparePagePresenter::WritingLists()
{
    controls_.SetButtonText(WaitText);
    controls_.SetStatusText(WritingListsText);
}

// The lists with rows are offered, the first of them shown.
void ComparePagePresenter::ShowFinished()
{
    controls_.SetButtonText("Reset");
    bool shown = false;
    for (int tab = 0; tab < CompareTabCount; ++tab) {
        ResultList* list = lists_.lists[tab];
        if (!list || list->RowCount() == 0) continue;
        list->SetEnabled(true);
        if (!shown) {
            controls_.ShowTab(static_cast<CompareTab>(tab));
            shown = true;
        }
    }
    controls_.SetActionsEnabled(true);
    controls_.SetStatusText("Done");
}

void ComparePagePresenter::ShowIdle()
{
    controls_.SetOptionControlsEnabled(true);
    controls_.SetButtonText("Compare");
    controls_.SetActionsEnabled(false);
    for (ResultList* list : lists_.lists) {
        if (list) list->SetEnabled(false);
    }
    controls_.SetStatusText("Idle");
    controls_.SetProgress(0);
}

}  // namespace tolvane
