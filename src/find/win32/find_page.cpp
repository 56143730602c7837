#include "find/win32/find_page.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <functional>
#include <initializer_list>
#include <memory>

#include "actions/saving.h"
#include "actions/win32/action_dialogs.h"
#include "app/main_sheet.h"
#include "app/user_interaction.h"
#include "common/list_operations.h"
#include "common/win32/list_view_result_list.h"
#include "common/win32/worker_thread.h"
#include "find/win32/find_filters_dialog.h"
#include "find/win32/locations_dialog.h"
#include "resource_ids.h"

namespace tolvane {

HWND FindTabs = nullptr;
HWND FilesList = nullptr;
HWND FoldersList = nullptr;
HWND FindErrorLog = nullptr;

namespace {

// Carries out a function sent by the search thread on the page's own thread.
constexpr UINT RunOnPageMessage = WM_APP + 1;
constexpr UINT ProgressPeriodMs = 300;

// Runs work on the thread that owns the page: directly when called there,
// else by a sent message, so that the calling worker waits until it is done.
void OnPageThread(HWND page, const std::function<void()>& work)
{
    if (GetWindowThreadProcessId(page, nullptr) == GetCurrentThreadId())
        work();
    else
        SendMessageA(page, RunOnPageMessage, 0, reinterpret_cast<LPARAM>(&work));
}

// Message boxes of the search, shown by the page's thread and owned by the page.
class PagePrompter : public Prompter {
public:
    explicit PagePrompter(HWND page) : page_(page) {}
    int Message(const std::string& text, const std::string& caption, unsigned style) override
    {
        int answer = IDOK;
        OnPageThread(page_, [&] { answer = ShowMessage(page_, text, caption, style); });
        return answer;
    }

private:
    HWND page_;
};

// The page's state, its lists and its controls. Shared with a running search
// thread, so that it outlives the page's window until the search has ended.
class FindPage : public FindPageControls {
public:
    explicit FindPage(HWND page) : window(page) {}

    SearchTarget SelectedTarget() const
    {
        const auto item = static_cast<int>(SendDlgItemMessageA(window, IDC_FIND_TARGET, CB_GETCURSEL, 0, 0));
        return item >= 0 && item <= 2 ? static_cast<SearchTarget>(item) : SearchTarget::Files;
    }
    void SetOptionsCaption(const std::string& caption) override { SetText(IDC_FIND_OPTIONS, caption); }
    void ShowOptions(bool shown) override { Show({IDC_FIND_TARGET, IDC_FIND_FILTERS, IDC_FIND_LOCATIONS}, shown); }
    void ShowStatus(bool shown) override { Show({IDC_FIND_INDICATOR, IDC_FIND_STATUS}, shown); }
    void SetIndicator(IndicatorState state) override
    {
        OnPageThread(window, [&] { CheckDlgButton(window, IDC_FIND_INDICATOR, static_cast<UINT>(state)); });
    }
    void SetStatusText(const std::string& text) override { SetText(IDC_FIND_STATUS, text); }
    void SetSearchButtonText(const std::string& text) override { SetText(IDC_FIND_SEARCH, text); }
    // A timer belongs to the thread of its window, so the page's thread sets it.
    void StartProgressTimer() override
    {
        OnPageThread(window, [&] { SetTimer(window, IDT_FIND_STATUS, ProgressPeriodMs, nullptr); });
    }
    void StopProgressTimer() override
    {
        OnPageThread(window, [&] { KillTimer(window, IDT_FIND_STATUS); });
    }
    void EnableActions(bool enabled) override
    {
        OnPageThread(window, [&] { EnableWindow(GetDlgItem(window, IDC_FIND_ACTIONS), enabled ? TRUE : FALSE); });
    }
    void SelectTab(int tab) override
    {
        OnPageThread(window, [&] { SendMessageA(FindTabs, TCM_SETCURFOCUS, tab, 0); });
    }

    HWND window;
    FindState state;
    ListViewResultList files, folders, errors;
    FindLists lists{files, folders, errors};
    FindPagePresenter presenter{state, lists, *this};
    // Set from the start of a search thread until it ends, so that a second
    // click cannot start another one while the first asks its questions.
    std::atomic<bool> workerRunning{false};
    // The target of the file action whose dialog is open, to stop it when the
    // page closes.
    std::weak_ptr<ActionTarget> action;

private:
    void SetText(int id, const std::string& text)
    {
        OnPageThread(window, [&] { SetDlgItemTextA(window, id, text.c_str()); });
    }
    void Show(std::initializer_list<int> ids, bool shown)
    {
        OnPageThread(window, [&] {
            for (int id : ids) ShowWindow(GetDlgItem(window, id), shown ? SW_SHOW : SW_HIDE);
        });
    }
};

std::shared_ptr<FindPage> findPage;

void BuildFindViews(HWND page)
{
    ShowWindow(GetDlgItem(page, IDC_FIND_INDICATOR), SW_HIDE);
    ShowWindow(GetDlgItem(page, IDC_FIND_STATUS), SW_HIDE);

    for (const char* target : {"Search for files", "Search for folders", "Search for files & folders"})
        SendDlgItemMessageA(page, IDC_FIND_TARGET, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(target));
    SendDlgItemMessageA(page, IDC_FIND_TARGET, CB_SETCURSEL, 0, 0);
    EnableWindow(GetDlgItem(page, IDC_FIND_ACTIONS), FALSE);
    SendDlgItemMessageA(page, IDC_FIND_SEARCH, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont), TRUE);

    FindTabs = GetDlgItem(page, IDC_FIND_TABS);
    FilesList = CreateResultListView(FindTabs, WS_VISIBLE, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES,
                                 {{LVCFMT_LEFT, 170, "Name"},
                                  {LVCFMT_LEFT, 250, "Path"},
                                  {LVCFMT_RIGHT, 65, "Size"},
                                  {LVCFMT_LEFT, 105, "Modified"}});
    FoldersList = CreateResultListView(FindTabs, 0, LVS_EX_GRIDLINES,
                                   {{LVCFMT_LEFT, 185, "Name"}, {LVCFMT_LEFT, 300, "Path"}, {LVCFMT_LEFT, 105, "Modified"}});
    FindErrorLog = CreateResultListView(FindTabs, 0, 0,
                                    {{LVCFMT_LEFT, 0, ""}, {LVCFMT_LEFT, 290, "Object"}, {LVCFMT_LEFT, 300, "Event"}});
    SendMessageA(FindErrorLog, LVM_SETTEXTCOLOR, 0, RGB(200, 0, 0));
    findPage->files.Attach(FilesList);
    findPage->folders.Attach(FoldersList);
    findPage->errors.Attach(FindErrorLog);

    int tab = 0;
    for (const char* title : {"Files", "Folders", "Error log"}) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(title);
        SendMessageA(FindTabs, TCM_INSERTITEMA, tab++, reinterpret_cast<LPARAM>(&item));
    }
    NMHDR change{FindTabs, IDC_FIND_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(page, WM_NOTIFY, IDC_FIND_TABS, reinterpret_cast<LPARAM>(&change));
}

int CurrentTab() { return static_cast<int>(SendMessageA(FindTabs, TCM_GETCURSEL, 0, 0)); }

void ShowCurrentList()
{
    const int selected = CurrentTab();
    for (HWND list : {FilesList, FoldersList, FindErrorLog}) ShowWindow(list, SW_HIDE);
    if (selected == FilesTab) ShowWindow(FilesList, SW_SHOW);
    else if (selected == FoldersTab) ShowWindow(FoldersList, SW_SHOW);
    else if (selected == ErrorLogTab) ShowWindow(FindErrorLog, SW_SHOW);
}

// The search thread holds a share of the page until it ends.
void StartSearch(HWND page)
{
    if (findPage->workerRunning.exchange(true)) return;
    findPage->state.criteria.searchTarget = findPage->SelectedTarget();
    const bool started = StartWorkerThread([self = findPage] {
        PagePrompter prompter(self->window);
        SearchWorker(self->state, self->presenter, prompter, self->lists);
        self->workerRunning.store(false);
    });
    if (!started) {
        findPage->workerRunning.store(false);
        ShowSystemError(page, "Aborted");
    }
}

void OnSearchButton(HWND page)
{
    FindPage& self = *findPage;
    switch (self.state.runState.load()) {
    case SearchRunState::Running:
        self.presenter.ShowStopping();
        self.state.stopRequested.store(true);
        break;
    case SearchRunState::Finished: ResetFindRun(self.state, self.presenter, self.lists); break;
    case SearchRunState::Idle: StartSearch(page); break;
    }
}

void OpenFilters(HWND page)
{
    FindFiltersTarget target{&findPage->state.criteria, page};
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_FIND_FILTERS), page, FindFiltersDialogProc,
                    reinterpret_cast<LPARAM>(&target));
}

void OpenLocations(HWND page)
{
    FindPage& self = *findPage;
    LocationsDialogTarget target{&self.state.locations, GetDlgItem(page, IDC_FIND_LOCATIONS),
                                 " Find - Specify locations"};
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_LOCATIONS), page, LocationsDialogProc,
                    reinterpret_cast<LPARAM>(&target));
}

void GreyItem(HMENU menu, UINT id) { EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED); }

void ShowActionsMenu(HWND page)
{
    POINT cursor{};
    GetCursorPos(&cursor);
    HMENU menu = LoadFindActionsMenu(CurrentTab());
    if (!menu) return;
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_CENTERALIGN, cursor.x, cursor.y, 0, page, nullptr);
    DestroyMenu(menu);
}

void SaveRows(HWND page, ResultList& list, const FileRecords& records, RowIndex& rows)
{
    if (list.RowCount() == 0) return;
    std::string path;
    if (!Interaction().AskFileName(page, FileDialogKind::SaveText, path)) return;
    ActionTarget target;
    target.list = &list;
    target.records = &records;
    target.rowIndex = &rows;
    WindowPrompter prompter(page);
    SaveList(target, path, prompter);
}

void RunFilesAction(HWND page, FileActionCommand command)
{
    FindPage& self = *findPage;
    const std::shared_ptr<ActionTarget> target =
        MakeActionTarget(findPage, self.files, self.state.foundFiles, self.state.fileRows, false);
    self.action = target;
    RunFileAction(page, command, *target);
}

void SaveErrors(HWND page, const ResultList& errors)
{
    if (errors.RowCount() == 0) return;
    std::string path;
    if (!Interaction().AskFileName(page, FileDialogKind::SaveText, path)) return;
    WindowPrompter prompter(page);
    SaveLog(errors, path, prompter);
}

void OpenPath(HWND page, const std::string& path, const char* workingFolder)
{
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(page, "open", path.c_str(), nullptr, workingFolder, SW_SHOWNORMAL));
    if (result <= 32) ShowSystemError(page, path);
}

// The record shown in the selected row nearest the end, or false.
bool SelectedRecord(const ListViewResultList& list, const RowIndex& rows, uint32_t& record)
{
    const int row = list.LastSelectedRow();
    if (row < 0 || static_cast<size_t>(row) >= rows.size()) return false;
    record = rows[row];
    return true;
}

void OpenSelected(HWND page, int command)
{
    FindPage& self = *findPage;
    uint32_t record = 0;
    if (command == IDM_FOLDERS_OPEN) {
        if (SelectedRecord(self.folders, self.state.folderRows, record))
            OpenPath(page, self.state.foundFolders.FullPath(record), nullptr);
        return;
    }
    if (CurrentTab() != FilesTab || !SelectedRecord(self.files, self.state.fileRows, record)) return;
    const std::string folder(self.state.foundFiles.FolderPath(record));
    if (command == IDM_FILES_OPEN) OpenPath(page, self.state.foundFiles.FullPath(record), folder.c_str());
    else OpenPath(page, folder, nullptr);
}

// Fills the action target with the Files list and runs an action's dialog.
void OnCommand(HWND page, int id)
{
    FindPage& self = *findPage;
    switch (id) {
    case IDC_FIND_SEARCH: OnSearchButton(page); break;
    case IDC_FIND_FILTERS: OpenFilters(page); break;
    case IDC_FIND_LOCATIONS: OpenLocations(page); break;
    case IDC_FIND_ACTIONS: ShowActionsMenu(page); break;
    case IDM_FILES_MARK_ALL: MarkAll(self.files); break;
    case IDM_FILES_MARK_NONE: MarkNone(self.files); break;
    case IDM_FILES_INVERT_MARKS: InvertMarks(self.files); break;
    case IDM_FILES_AUTO_MARK: RunFilesAction(page, FileActionCommand::AutoMark); break;
    case IDM_FILES_COPY_MARKED: RunFilesAction(page, FileActionCommand::Copy); break;
    case IDM_FILES_MOVE_MARKED: RunFilesAction(page, FileActionCommand::Move); break;
    case IDM_FILES_DELETE_MARKED: RunFilesAction(page, FileActionCommand::Delete); break;
    case IDM_FILES_SAVE_LIST: SaveRows(page, self.files, self.state.foundFiles, self.state.fileRows); break;
    case IDM_FOLDERS_SAVE_LIST: SaveRows(page, self.folders, self.state.foundFolders, self.state.folderRows); break;
    case IDM_ERRORS_SAVE_LOG: SaveErrors(page, self.errors); break;
    case IDM_FILES_OPEN:
    case IDM_FILES_OPEN_FOLDER:
    case IDM_FOLDERS_OPEN: OpenSelected(page, id); break;
    default: break;
    }
}

// Shows the shortcut menu of the row under a right click; false when the
// click is on no row of the Files or the Folders list.
bool ShowShortcutMenu(HWND page, LPARAM point)
{
    bool overRow = false;
    const POINT screen{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    HMENU menu = LoadFindShortcutMenu(screen, overRow);
    if (!menu) return overRow;
    TrackPopupMenu(GetSubMenu(menu, 0), 0, screen.x, screen.y, 0, page, nullptr);
    DestroyMenu(menu);
    return true;
}

void OnTimer(FindPage& self)
{
    // The indicator blinks while the search runs.
    const UINT shown = IsDlgButtonChecked(self.window, IDC_FIND_INDICATOR);
    CheckDlgButton(self.window, IDC_FIND_INDICATOR, shown == BST_INDETERMINATE ? BST_UNCHECKED : BST_INDETERMINATE);
    self.presenter.ProgressTick();
}

INT_PTR OnNotify(HWND page, const NMHDR& header)
{
    if (header.hwndFrom == FindTabs && header.idFrom == IDC_FIND_TABS &&
        header.code == static_cast<UINT>(TCN_SELCHANGE)) {
        ShowCurrentList();
        return TRUE;
    }
    return AnswerSheetNotification(page, FindPageIndex, header) ? TRUE : FALSE;
}

void ClosePage(HWND page)
{
    KillTimer(page, IDT_FIND_STATUS);
    // A running search or action ends soon after; its worker keeps its share
    // of the page until then.
    if (findPage) {
        findPage->state.stopRequested.store(true);
        if (const std::shared_ptr<ActionTarget> action = findPage->action.lock())
            action->ActionMode.store(ActionModeStop);
    }
    findPage.reset();
    findPageWindow = nullptr;
    FindTabs = FilesList = FoldersList = FindErrorLog = nullptr;
}

}  // namespace

FindState* FindPageState() { return findPage ? &findPage->state : nullptr; }

bool FindSearchThreadRunning() { return findPage && findPage->workerRunning.load(); }

HMENU LoadFindShortcutMenu(POINT screen, bool& overRow)
{
    overRow = false;
    const int tab = CurrentTab();
    if (tab != FilesTab && tab != FoldersTab) return nullptr;
    HWND list = tab == FilesTab ? FilesList : FoldersList;
    LVHITTESTINFO hit{};
    hit.pt = screen;
    ScreenToClient(list, &hit.pt);
    const auto row = static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row < 0) return nullptr;
    overRow = true;
    if (!(SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED)) return nullptr;
    SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
    return LoadMenuA(appInstance, MAKEINTRESOURCEA(tab == FilesTab ? IDM_FILES_SHORTCUT : IDM_FOLDERS_SHORTCUT));
}

HMENU LoadFindActionsMenu(int tab)
{
    if (!findPage) return nullptr;
    const int menuId = tab == FilesTab     ? IDM_FIND_FILES_ACTIONS
                       : tab == FoldersTab ? IDM_FIND_FOLDERS_ACTIONS
                       : tab == ErrorLogTab ? IDM_FIND_ERRORS_ACTIONS
                                            : 0;
    if (!menuId) return nullptr;
    HMENU menu = LoadMenuA(appInstance, MAKEINTRESOURCEA(menuId));
    if (!menu) return nullptr;
    HMENU popup = GetSubMenu(menu, 0);
    const FindPage& self = *findPage;
    if (tab == FilesTab) {
        const int rows = self.files.RowCount();
        if (rows == 0) {
            for (int item = 0; item < GetMenuItemCount(popup); ++item)
                EnableMenuItem(popup, item, MF_BYPOSITION | MF_GRAYED);
        }
        bool anyMarked = false;
        for (int row = 0; row < rows && !anyMarked; ++row) anyMarked = self.files.IsMarked(row);
        if (!anyMarked)
            for (UINT id : {IDM_FILES_COPY_MARKED, IDM_FILES_MOVE_MARKED, IDM_FILES_DELETE_MARKED}) GreyItem(popup, id);
    } else if (tab == FoldersTab && self.folders.RowCount() == 0) {
        GreyItem(popup, IDM_FOLDERS_SAVE_LIST);
    } else if (tab == ErrorLogTab && self.errors.RowCount() == 0) {
        GreyItem(popup, IDM_ERRORS_SAVE_LOG);
    }
    return menu;
}

INT_PTR CALLBACK FindPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        findPage = std::make_shared<FindPage>(page);
        findPageWindow = page;
        AttachToSheet(page);
        BuildFindViews(page);
        return FALSE;
    case WM_DESTROY: ClosePage(page); return TRUE;
    case RunOnPageMessage: (*reinterpret_cast<const std::function<void()>*>(lParam))(); return TRUE;
    case WM_TIMER:
        if (wParam == IDT_FIND_STATUS && findPage) OnTimer(*findPage);
        return TRUE;
    case WM_NOTIFY: return OnNotify(page, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_CONTEXTMENU: return ShowShortcutMenu(page, lParam) ? TRUE : FALSE;
    case WM_COMMAND:
        HandleMenuCommand(page, message, wParam);
        if (findPage) OnCommand(page, LOWORD(wParam));
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace tolvane
