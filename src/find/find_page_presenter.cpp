#include "find/find_page_presenter.h"

#include "find/find_status_text.h"

namespace tolvane {

void FindPagePresenter::RunStateChanged(SearchRunState runState)
{
    switch (runState) {
    case SearchRunState::Running:
        controls_.SetOptionsCaption("");
        controls_.ShowOptions(false);
        controls_.SetStatusText("Starting...");
        controls_.ShowStatus(true);
        controls_.SetSearchButtonText("Cancel");
        controls_.StartProgressTimer();
        break;
    case SearchRunState::Finished: ShowFinished(); break;
    case SearchRunState::Idle: ShowIdle(); break;
    }
}

void FindPagePresenter::StatusChanged(FindStatusEvent event)
{
    controls_.SetStatusText(FindStatusText(state_, event));
    if (event == FindStatusEvent::TraversalDone) controls_.SetSearchButtonText(WaitText);
}

void FindPagePresenter::ProgressTick()
{
    if (state_.traversalRunning.load()) controls_.SetStatusText(FindStatusText(state_, FindStatusEvent::Progress));
}

void FindPagePresenter::ShowFinished()
{
    controls_.StopProgressTimer();
    controls_.SetSearchButtonText("Reset");
    controls_.SetIndicator(state_.stopRequested.load() ? IndicatorState::Indeterminate : IndicatorState::Checked);
    controls_.SetStatusText(FindStatusText(state_, FindStatusEvent::Final));
    controls_.EnableActions(true);
    // The first list with rows is shown; the others with rows are offered.
    const bool anyFiles = lists_.files.RowCount() > 0;
    const bool anyFolders = lists_.folders.RowCount() > 0;
    const bool anyErrors = lists_.errorLog.Count() > 0;
    if (anyFiles) lists_.files.SetEnabled(true);
    if (anyFolders) lists_.folders.SetEnabled(true);
    if (anyErrors) lists_.errors.SetEnabled(true);
    if (anyFiles)
        controls_.SelectTab(FilesTab);
    else if (anyFolders)
        controls_.SelectTab(FoldersTab);
    else if (anyErrors)
        controls_.SelectTab(ErrorLogTab);
}

void FindPagePresenter::ShowIdle()
{
    controls_.SetOptionsCaption("Options");
    controls_.ShowOptions(true);
    controls_.ShowStatus(false);
    controls_.SetSearchButtonText("Search");
    controls_.EnableActions(false);
    controls_.SetStatusText("");
    for (ResultList* list : {&lists_.files, &lists_.folders, &lists_.errors}) list->SetEnabled(false);
}

}  // namespace tolvane
