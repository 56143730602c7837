#include "compare/win32/compare_page.h"

#include <commctrl.h>

#include <atomic>
#include <initializer_list>
#include <memory>
#include <string>

#include "actions/saving.h"
#include "actions/win32/action_dialogs.h"
#include "app/main_sheet.h"
#include "app/user_interaction.h"
#include "common/list_operations.h"
#include "common/win32/dialog_items.h"
#include "common/win32/list_view_result_list.h"
#include "common/win32/worker_thread.h"
#include "compare/compare_options.h"
#include "compare/compare_page_presenter.h"
#include "compare/win32/compare_filters_dialog.h"
#include "find/win32/locations_dialog.h"
#include "resource_ids.h"

namespace tolvane {

HWND CompareTabs = nullptr;
HWND CompareListViews[CompareTabCount] = {};

namespace {

constexpr int ErrorLogTab = static_cast<int>(CompareTab::ErrorLog);

// The controls a run changes. The worker calls them through the presenter;
// every call is a sent message, which the page's own thread carries out.
class ComparePageView : public ComparePageControls {
public:
    explicit ComparePageView(HWND page) : page_(page) {}
    void SetStatusText(const std::string& text) override { SetDlgItemTextA(page_, IDC_COMPARE_STATUS, text.c_str()); }
    void SetButtonText(const std::string& text) override { SetDlgItemTextA(page_, IDC_COMPARE_BUTTON, text.c_str()); }
    void SetProgress(int percent) override
    {
        SendDlgItemMessageA(page_, IDC_COMPARE_PROGRESS, PBM_SETPOS, percent, 0);
    }
    void SetOptionControlsEnabled(bool enabled) override;
    void SetActionsEnabled(bool enabled) override { EnableWindow(GetDlgItem(page_, IDC_COMPARE_ACTIONS), enabled); }
    void ShowTab(CompareTab tab) override;

private:
    HWND page_;
};

// The page's state: its rules, locations, lists and run. The worker holds a
// share of it, so a run still going when the window closes never writes
// into freed memory.
struct CompareState {
    explicit CompareState(HWND page)
        : page(page), view(page), presenter(ResultListsOf(lists), view), prompter(page),
          run(presenter, prompter, source, ResultListsOf(lists))
    {
    }

    HWND page;
    CompareCriteria criteria;
    LocationList locations;
    ListViewResultList lists[CompareTabCount];
    ComparePageView view;
    ComparePagePresenter presenter;
    WindowPrompter prompter;
    FileContentSource source;
    CompareRun run;
    // Written on the page's thread before the worker starts, then read only by it.
    CompareRunSettings settings;
    // Set from the start of a run's worker until it ends: the worker may still
    // be writing its finished state after the page shows it.
    std::atomic<bool> workerActive{false};
    // The target of the file action whose dialog is open, to stop it when the
    // page closes.
    std::weak_ptr<ActionTarget> action;
};

std::shared_ptr<CompareState> compareState;

CompareOptions ReadOptionBoxes(HWND page)
{
    CompareOptions boxes;
    boxes.combinedResult = IsChecked(page, IDC_COMBINED_RESULT);
    boxes.combinedOnly = IsChecked(page, IDC_COMBINED_ONLY);
    boxes.matchContent = IsChecked(page, IDC_MATCH_CONTENT);
    boxes.soTruncated = IsChecked(page, IDC_SO_TRUNCATED);
    boxes.dontGroupTruncated = IsChecked(page, IDC_DONT_GROUP_TRUNCATED);
    boxes.matchName = IsChecked(page, IDC_MATCH_NAME);
    boxes.ignoreCase = IsChecked(page, IDC_IGNORE_CASE);
    boxes.matchSize = IsChecked(page, IDC_MATCH_SIZE);
    boxes.ignoreZeroSize = IsChecked(page, IDC_IGNORE_ZERO_SIZE);
    return boxes;
}

void EnableItem(HWND page, int id, bool enabled) { EnableWindow(GetDlgItem(page, id), enabled); }

// Enables the dependent boxes and draws the bracket for the current checks.
void UpdateCombineOptions(HWND page)
{
    const CompareOptionStates states = CompareOptionInterlocks(ReadOptionBoxes(page));
    EnableItem(page, IDC_SO_TRUNCATED, states.soTruncatedEnabled);
    EnableItem(page, IDC_DONT_GROUP_TRUNCATED, states.dontGroupTruncatedEnabled);
    EnableItem(page, IDC_IGNORE_CASE, states.ignoreCaseEnabled);
    EnableItem(page, IDC_IGNORE_ZERO_SIZE, states.ignoreZeroSizeEnabled);
    EnableItem(page, IDC_COMBINED_RESULT, states.combinedResultEnabled);
    EnableItem(page, IDC_COMBINED_ONLY, states.combinedOnlyEnabled);
    for (int part = 0; part < BracketPartCount; ++part)
        ShowWindow(GetDlgItem(page, IDC_BRACKET_UPPER + part), states.bracketShown[part] ? SW_SHOW : SW_HIDE);
}

void ComparePageView::SetOptionControlsEnabled(bool enabled)
{
    if (!enabled) {
        for (int id = IDC_COMBINED_RESULT; id <= IDC_IGNORE_ZERO_SIZE; ++id) {
            if (id < IDC_BRACKET_UPPER || id > IDC_BRACKET_SIZE) EnableItem(page_, id, false);
        }
    } else {
        for (int id : {IDC_MATCH_CONTENT, IDC_MATCH_NAME, IDC_MATCH_SIZE}) EnableItem(page_, id, true);
        UpdateCombineOptions(page_);
    }
    EnableItem(page_, IDC_COMPARE_FILTERS, enabled);
    EnableItem(page_, IDC_COMPARE_LOCATIONS, enabled);
}

void ShowCurrentList()
{
    const auto selected = SendMessageA(CompareTabs, TCM_GETCURSEL, 0, 0);
    for (HWND list : CompareListViews) ShowWindow(list, SW_HIDE);
    if (selected >= 0 && selected < CompareTabCount) ShowWindow(CompareListViews[selected], SW_SHOW);
}

void ComparePageView::ShowTab(CompareTab tab)
{
    SendMessageA(CompareTabs, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    ShowCurrentList();
}

void BuildCompareViews(HWND page)
{
    CheckDlgButton(page, IDC_DONT_GROUP_TRUNCATED, BST_CHECKED);
    CheckDlgButton(page, IDC_IGNORE_ZERO_SIZE, BST_CHECKED);
    UpdateCombineOptions(page);
    EnableItem(page, IDC_COMPARE_ACTIONS, false);
    SendDlgItemMessageA(page, IDC_COMPARE_BUTTON, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont), TRUE);
    SendDlgItemMessageA(page, IDC_COMPARE_PROGRESS, PBM_SETRANGE32, 0, 100);

    CompareTabs = GetDlgItem(page, IDC_COMPARE_TABS);
    const DWORD resultStyle = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES;
    for (int tab = 0; tab < static_cast<int>(CompareTab::Truncated); ++tab) {
        const DWORD shown = tab <= static_cast<int>(CompareTab::Content) ? WS_VISIBLE : 0;
        CompareListViews[tab] = CreateResultListView(CompareTabs, shown, resultStyle,
                                                     {{LVCFMT_RIGHT, 20, ""},
                                                      {LVCFMT_RIGHT, 45, "Group"},
                                                      {LVCFMT_LEFT, 140, "Name"},
                                                      {LVCFMT_LEFT, 200, "Path"},
                                                      {LVCFMT_RIGHT, 75, "Size (Bytes)"},
                                                      {LVCFMT_LEFT, 105, "Modified"}});
    }
    CompareListViews[static_cast<int>(CompareTab::Truncated)] =
        CreateResultListView(CompareTabs, 0, resultStyle,
                             {{LVCFMT_LEFT, 20, ""},
                              {LVCFMT_LEFT, 200, "Name"},
                              {LVCFMT_LEFT, 200, "Path"},
                              {LVCFMT_RIGHT, 80, "Size (Bytes)"},
                              {LVCFMT_LEFT, 105, "Modified"}});
    CompareListViews[static_cast<int>(CompareTab::ZeroSize)] = CreateResultListView(
        CompareTabs, 0, resultStyle,
        {{LVCFMT_LEFT, 20, ""}, {LVCFMT_LEFT, 200, "Name"}, {LVCFMT_LEFT, 255, "Path"}, {LVCFMT_LEFT, 105, "Created"}});
    CompareListViews[ErrorLogTab] = CreateResultListView(
        CompareTabs, 0, 0, {{LVCFMT_LEFT, 0, ""}, {LVCFMT_LEFT, 290, "Object"}, {LVCFMT_LEFT, 300, "Event"}});
    SendMessageA(CompareListViews[ErrorLogTab], LVM_SETTEXTCOLOR, 0, RGB(200, 0, 0));
    for (int tab = 0; tab < CompareTabCount; ++tab) compareState->lists[tab].Attach(CompareListViews[tab]);

    for (const char* title :
         {"Combined", "Same content", "Same name", "Same size", "Truncated", "Zero size", "Error log"}) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(title);
        const auto index = SendMessageA(CompareTabs, TCM_GETITEMCOUNT, 0, 0);
        SendMessageA(CompareTabs, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
    }
    NMHDR change{CompareTabs, IDC_COMPARE_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(page, WM_NOTIFY, IDC_COMPARE_TABS, reinterpret_cast<LPARAM>(&change));
}

void StartCompareWorker(HWND page)
{
    CompareState& state = *compareState;
    state.settings.locationsSpecified = state.locations.locationsSpecified;
    state.settings.locationPaths = state.locations.locationPaths;
    state.settings.includeSubfolders = state.locations.includeSubfolders;
    state.settings.criteria = state.criteria;
    state.settings.boxes = ReadOptionBoxes(page);

    // The worker holds a share of the page's state until it ends.
    state.workerActive.store(true);
    const bool started = StartWorkerThread([share = compareState] {
        share->run.Run(share->settings);
        share->workerActive.store(false);
    });
    if (!started) {
        state.workerActive.store(false);
        ShowSystemError(page, "Aborted");
    }
}

void OnCompareButton(HWND page)
{
    CompareState& state = *compareState;
    switch (state.run.RunState()) {
    case CompareRunState::Running:
        state.presenter.ShowStopping();
        state.run.RequestStop();
        break;
    case CompareRunState::Finished:
        // The worker may still be writing its finished state.
        if (!state.workerActive.load()) state.run.Reset();
        break;
    case CompareRunState::Idle:
        // A second click while a worker is still checking must not start another.
        if (!state.workerActive.load()) StartCompareWorker(page);
        break;
    }
}

int CurrentTab() { return static_cast<int>(SendMessageA(CompareTabs, TCM_GETCURSEL, 0, 0)); }

RowIndex* RowsOfTab(CompareLists& lists, int tab)
{
    switch (static_cast<CompareTab>(tab)) {
    case CompareTab::Combined: return &lists.combined.rows;
    case CompareTab::Content: return &lists.content.rows;
    case CompareTab::Name: return &lists.name.rows;
    case CompareTab::Size: return &lists.size.rows;
    case CompareTab::Truncated: return &lists.truncatedRows;
    case CompareTab::ZeroSize: return &lists.zeroSizeRows;
    default: return nullptr;
    }
}

bool IsGroupedTab(int tab) { return tab <= static_cast<int>(CompareTab::Size); }

void SaveCurrentList(HWND page, int tab)
{
    CompareState& state = *compareState;
    std::string path;
    if (!Interaction().AskFileName(page, FileDialogKind::SaveText, path)) return;
    if (tab == ErrorLogTab) {
        SaveLog(state.lists[tab], path, state.prompter);
        return;
    }
    ActionTarget target;
    target.list = &state.lists[tab];
    target.records = &state.run.Records();
    target.rowIndex = RowsOfTab(state.run.Lists(), tab);
    target.groupedList = IsGroupedTab(tab);
    SaveList(target, path, state.prompter);
}

// A file that an action on one tab moved or deleted leaves every other tab too,
// so no group there still offers its last copy as a duplicate.
void RemoveFromOtherTabs(CompareState& state, int actionTab, const std::vector<uint32_t>& removedRecords)
{
    for (int tab = 0; tab < ErrorLogTab; ++tab) {
        if (tab == actionTab) continue;
        ActionTarget target;
        target.list = &state.lists[tab];
        target.records = &state.run.Records();
        target.rowIndex = RowsOfTab(state.run.Lists(), tab);
        target.groupedList = IsGroupedTab(tab);
        DeleteRecordRows(target, removedRecords);
        if (target.list->RowCount() == 0) target.list->SetEnabled(false);
    }
}

void RunTabAction(HWND page, int tab, FileActionCommand command)
{
    if (tab == ErrorLogTab) return;
    CompareState& state = *compareState;
    RowIndex* rows = RowsOfTab(state.run.Lists(), tab);
    if (!rows) return;
    const std::shared_ptr<ActionTarget> target = MakeActionTarget(
        compareState, state.lists[tab], state.run.Records(), *rows, IsGroupedTab(tab),
        GroupsOfEqualContent(state.run, CompareTab(tab)));
    state.action = target;
    RunFileAction(page, command, *target);
    // The target's share keeps the state even when the page closed meanwhile.
    RemoveFromOtherTabs(state, tab, target->removedRecords);
}

void OnActionsButton(HWND page)
{
    POINT cursor{};
    GetCursorPos(&cursor);
    HMENU menu = LoadCompareActionsMenu(CurrentTab());
    if (!menu) return;
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_CENTERALIGN, cursor.x, cursor.y, 0, page, nullptr);
    DestroyMenu(menu);
}

// The commands of the Actions menus, on the current tab's list.
void OnListCommand(HWND page, int id)
{
    const int tab = CurrentTab();
    if (tab < 0 || tab >= CompareTabCount) return;
    ListViewResultList& list = compareState->lists[tab];
    const bool resultList = tab != ErrorLogTab;
    switch (id) {
    case IDM_COMPARE_MARK_ALL_BUT_FIRST:
        // Only the grouped lists have groups to keep a first row of.
        if (tab <= static_cast<int>(CompareTab::Size)) MarkAllButFirst(list);
        break;
    case IDM_COMPARE_MARK_ALL:
        if (resultList) MarkAll(list);
        break;
    case IDM_COMPARE_MARK_NONE:
        if (resultList) MarkNone(list);
        break;
    case IDM_COMPARE_INVERT_MARKS:
        if (resultList) InvertMarks(list);
        break;
    case IDM_COMPARE_SAVE: SaveCurrentList(page, tab); break;
    case IDM_COMPARE_AUTO_MARK: RunTabAction(page, tab, FileActionCommand::AutoMark); break;
    case IDM_COMPARE_COPY_MARKED: RunTabAction(page, tab, FileActionCommand::Copy); break;
    case IDM_COMPARE_MOVE_MARKED: RunTabAction(page, tab, FileActionCommand::Move); break;
    case IDM_COMPARE_DELETE_MARKED: RunTabAction(page, tab, FileActionCommand::Delete); break;
    default: break;
    }
}

void OnCommand(HWND page, WPARAM wParam)
{
    const int id = LOWORD(wParam);
    if (HIWORD(wParam) != BN_CLICKED) return;
    switch (id) {
    case IDC_COMBINED_RESULT:
    case IDC_MATCH_CONTENT:
    case IDC_SO_TRUNCATED:
    case IDC_MATCH_NAME:
    case IDC_MATCH_SIZE: UpdateCombineOptions(page); break;
    case IDC_COMPARE_FILTERS: {
        CompareFiltersTarget target{&compareState->criteria, GetDlgItem(page, IDC_COMPARE_FILTERS)};
        DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_COMPARE_FILTERS), page, CompareFiltersDialogProc,
                        reinterpret_cast<LPARAM>(&target));
        break;
    }
    case IDC_COMPARE_LOCATIONS: {
        LocationsDialogTarget target{&compareState->locations, GetDlgItem(page, IDC_COMPARE_LOCATIONS),
                                     " Compare - Specify locations"};
        DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_LOCATIONS), page, LocationsDialogProc,
                        reinterpret_cast<LPARAM>(&target));
        break;
    }
    case IDC_COMPARE_BUTTON: OnCompareButton(page); break;
    case IDC_COMPARE_ACTIONS: OnActionsButton(page); break;
    default:
        if (id >= IDM_COMPARE_MARK_ALL_BUT_FIRST && id <= IDM_COMPARE_SAVE) OnListCommand(page, id);
        break;
    }
}

INT_PTR OnNotify(HWND page, const NMHDR& header)
{
    if (header.hwndFrom == CompareTabs && header.idFrom == IDC_COMPARE_TABS &&
        header.code == static_cast<UINT>(TCN_SELCHANGE)) {
        ShowCurrentList();
        return TRUE;
    }
    return AnswerSheetNotification(page, ComparePageIndex, header) ? TRUE : FALSE;
}

}  // namespace

HMENU LoadCompareActionsMenu(int tab)
{
    if (tab < 0 || tab >= CompareTabCount || !compareState) return nullptr;
    HMENU menu = LoadMenuA(appInstance, MAKEINTRESOURCEA(IDM_COMBINED_ACTIONS + tab));
    if (!menu) return nullptr;
    HMENU popup = GetSubMenu(menu, 0);
    const ListViewResultList& list = compareState->lists[tab];
    const int rows = list.RowCount();
    if (tab == ErrorLogTab) {
        if (rows == 0) EnableMenuItem(popup, IDM_COMPARE_SAVE, MF_BYCOMMAND | MF_GRAYED);
        return menu;
    }
    if (rows == 0) {
        for (int item = 0; item < GetMenuItemCount(popup); ++item)
            EnableMenuItem(popup, item, MF_BYPOSITION | MF_GRAYED);
        return menu;
    }
    bool anyMarked = false;
    for (int row = 0; row < rows && !anyMarked; ++row) anyMarked = list.IsMarked(row);
    if (!anyMarked) {
        for (int id : {IDM_COMPARE_COPY_MARKED, IDM_COMPARE_MOVE_MARKED, IDM_COMPARE_DELETE_MARKED})
            EnableMenuItem(popup, id, MF_BYCOMMAND | MF_GRAYED);
    }
    return menu;
}

bool CompareWorkerActive() { return compareState && compareState->workerActive.load(); }

INT_PTR CALLBACK ComparePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        compareState = std::make_shared<CompareState>(page);
        comparePageWindow = page;
        BuildCompareViews(page);
        return FALSE;
    case WM_DESTROY:
        // A run or an action still going stops at its next check; its worker
        // keeps its share of the state until then.
        if (compareState) {
            compareState->run.RequestStop();
            if (const std::shared_ptr<ActionTarget> action = compareState->action.lock())
                action->ActionMode.store(ActionModeStop);
        }
        compareState.reset();
        comparePageWindow = nullptr;
        CompareTabs = nullptr;
        for (HWND& list : CompareListViews) list = nullptr;
        return TRUE;
    case WM_NOTIFY: return OnNotify(page, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        HandleMenuCommand(page, message, wParam);
        if (compareState) OnCommand(page, wParam);
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace tolvane
