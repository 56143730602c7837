#include "find/win32/find_filters_dialog.h"

#include <commctrl.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/main_sheet.h"
#include "app/user_interaction.h"
#include "common/win32/dialog_items.h"
#include "find/filter_normalisation.h"
#include "resource_ids.h"

namespace tolvane {
namespace {

// The combo boxes' item texts in program order; each combo takes a run of it.
constexpr const char* ItemTexts[26] = {
    "contains", "matches", "not contains",                                 // 0 name
    "include file type(s)", "exclude file type(s)",                        // 3 extension
    "containing", "not containing",                                        // 5 content
    "equal to", "minimum", "maximum", "between", "not between",            // 7 size
    "B", "kB", "MB",                                                       // 12 units
    "created", "modified", "accessed",                                     // 15 time kinds
    "on", "at", "before", "after", "between", "not between",               // 18 relations
    "include", "exclude",                                                  // 24 attributes
};

struct ComboItems {
    int id;
    std::initializer_list<int> items;
};

const ComboItems Combos[] = {
    {IDC_NAME_MODE, {0, 1, 2}},
    {IDC_EXTENSION_MODE, {3, 4}},
    {IDC_CONTENT_MODE, {5, 6}},
    {IDC_SIZE_MODE, {7, 8, 9, 10, 11}},
    {IDC_SIZE_FROM_UNIT, {12, 13, 14}},
    {IDC_SIZE_TO_UNIT, {12, 13, 14}},
    {IDC_DATE_KIND, {15, 16, 17}},
    {IDC_DATE_RELATION, {18, 20, 21, 22, 23}},
    {IDC_TIME_KIND, {15, 16, 17}},
    {IDC_TIME_RELATION, {19, 20, 21, 22, 23}},
    {IDC_ATTRIBUTES_MODE, {24, 25}},
};

struct RowControls {
    int checkBox;
    std::initializer_list<int> controls;
};

// The controls each check box enables.
const RowControls Rows[] = {
    {IDC_NAME_ON, {IDC_NAME_MODE, IDC_NAME_TEXT, IDC_NAME_CASE}},
    {IDC_EXTENSION_ON, {IDC_EXTENSION_MODE, IDC_EXTENSION_LIST, IDC_EXTENSION_HELP}},
    {IDC_CONTENT_ON, {IDC_CONTENT_MODE, IDC_CONTENT_TEXT, IDC_CONTENT_CASE}},
    {IDC_SIZE_ON, {IDC_SIZE_MODE, IDC_SIZE_FROM, IDC_SIZE_FROM_UNIT, IDC_SIZE_TO_LABEL, IDC_SIZE_TO, IDC_SIZE_TO_UNIT}},
    {IDC_DATE_ON, {IDC_DATE_KIND, IDC_DATE_RELATION, IDC_DATE_FROM, IDC_DATE_TO}},
    {IDC_TIME_ON, {IDC_TIME_KIND, IDC_TIME_RELATION, IDC_TIME_FROM, IDC_TIME_TO}},
    {IDC_ATTRIBUTES_ON, {IDC_ATTRIBUTES_MODE, IDC_ATTRIBUTES_SELECT, IDC_ATTRIBUTES_SUMMARY}},
};

// The controls a relation combo shows only for "between" and "not between".
const RowControls SecondBounds[] = {
    {IDC_SIZE_MODE, {IDC_SIZE_TO_LABEL, IDC_SIZE_TO, IDC_SIZE_TO_UNIT}},
    {IDC_DATE_RELATION, {IDC_DATE_TO}},
    {IDC_TIME_RELATION, {IDC_TIME_TO}},
};
constexpr int FirstRangeItem = 3;

// The dialog's own objects, owned through the window's user data.
struct FiltersSession {
    FiltersSession(const FindFiltersTarget& target, HWND dialog) : target(target), prompter(dialog) {}
    ~FiltersSession()
    {
        if (summaryFont) DeleteObject(summaryFont);
    }

    FindFiltersTarget target;
    WindowPrompter prompter;
    HFONT summaryFont = nullptr;
};

FiltersSession* SessionOf(HWND dialog)
{
    return reinterpret_cast<FiltersSession*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

void Check(HWND dialog, int id, bool checked) { CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED); }

int Selection(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)); }

void Select(HWND dialog, int id, int item) { SendDlgItemMessageA(dialog, id, CB_SETCURSEL, item, 0); }

// The whole text: in UTF-8 a character may take up to three bytes, so the
// edit's limit in characters says nothing of the bytes.
std::string Text(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

SystemTime PickerTime(HWND dialog, int id)
{
    SYSTEMTIME time{};
    SendDlgItemMessageA(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    return SystemTime{time.wYear,   time.wMonth,  time.wDayOfWeek, time.wDay,
                      time.wHour,   time.wMinute, time.wSecond,    time.wMilliseconds};
}

void SetPickerTime(HWND dialog, int id, const SystemTime& value)
{
    SYSTEMTIME time{value.wYear, value.wMonth,  value.wDayOfWeek, value.wDay,
                    value.wHour, value.wMinute, value.wSecond,    value.wMilliseconds};
    SendDlgItemMessageA(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

void SetSizeField(HWND dialog, int id, uint64_t bytes, SizeUnit unit)
{
    SetDlgItemTextA(dialog, id, std::to_string(bytes / SizeUnitFactor(unit)).c_str());
}

void ApplyEnablingRule(HWND dialog, const RowControls& row)
{
    const bool enabled = IsChecked(dialog, row.checkBox);
    for (int id : row.controls) EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

void ApplyShowRule(HWND dialog, const RowControls& relation)
{
    const bool range = Selection(dialog, relation.checkBox) >= FirstRangeItem;
    for (int id : relation.controls) ShowWindow(GetDlgItem(dialog, id), range ? SW_SHOW : SW_HIDE);
}

void LoadFiltersIntoDialog(HWND dialog, SearchCriteria& criteria, HWND page)
{
    const auto target = static_cast<int>(SendDlgItemMessageA(page, IDC_FIND_TARGET, CB_GETCURSEL, 0, 0));
    criteria.searchTarget = target >= 0 && target <= 2 ? static_cast<SearchTarget>(target) : SearchTarget::Files;
    const bool folders = criteria.searchTarget == SearchTarget::Folders;
    if (folders)
        for (int id : {IDC_EXTENSION_ON, IDC_CONTENT_ON, IDC_SIZE_ON}) EnableWindow(GetDlgItem(dialog, id), FALSE);

    if (criteria.nameRuleOn) {
        Check(dialog, IDC_NAME_ON, true);
        Select(dialog, IDC_NAME_MODE, static_cast<int>(criteria.nameMode));
        SetDlgItemTextA(dialog, IDC_NAME_TEXT, criteria.nameText.c_str());
        Check(dialog, IDC_NAME_CASE, criteria.nameCaseSensitive);
    }
    if (criteria.extensionRuleOn && !folders) {
        Check(dialog, IDC_EXTENSION_ON, true);
        Select(dialog, IDC_EXTENSION_MODE, static_cast<int>(criteria.extensionMode));
        SetDlgItemTextA(dialog, IDC_EXTENSION_LIST, criteria.extensionList.c_str());
    }
    if (criteria.contentRuleOn && !folders) {
        Check(dialog, IDC_CONTENT_ON, true);
        Select(dialog, IDC_CONTENT_MODE, static_cast<int>(criteria.contentMode));
        SetDlgItemTextA(dialog, IDC_CONTENT_TEXT, criteria.contentText.c_str());
        Check(dialog, IDC_CONTENT_CASE, criteria.contentCaseSensitive);
    }
    if (criteria.sizeRuleOn && !folders) {
        Check(dialog, IDC_SIZE_ON, true);
        Select(dialog, IDC_SIZE_MODE, static_cast<int>(criteria.sizeMode));
        Select(dialog, IDC_SIZE_FROM_UNIT, static_cast<int>(criteria.sizeFromUnit));
        Select(dialog, IDC_SIZE_TO_UNIT, static_cast<int>(criteria.sizeToUnit));
        SetSizeField(dialog, IDC_SIZE_FROM, criteria.sizeFrom, criteria.sizeFromUnit);
        SetSizeField(dialog, IDC_SIZE_TO, criteria.sizeTo, criteria.sizeToUnit);
    }
    if (criteria.dateRuleOn) {
        Check(dialog, IDC_DATE_ON, true);
        Select(dialog, IDC_DATE_KIND, static_cast<int>(criteria.dateKind));
        Select(dialog, IDC_DATE_RELATION, static_cast<int>(criteria.dateRelation));
        SetPickerTime(dialog, IDC_DATE_FROM, criteria.dateFrom);
        SetPickerTime(dialog, IDC_DATE_TO, criteria.dateTo);
    }
    if (criteria.timeRuleOn) {
        Check(dialog, IDC_TIME_ON, true);
        Select(dialog, IDC_TIME_KIND, static_cast<int>(criteria.timeKind));
        Select(dialog, IDC_TIME_RELATION, static_cast<int>(criteria.timeRelation));
        SetPickerTime(dialog, IDC_TIME_FROM, criteria.timeFrom);
        SetPickerTime(dialog, IDC_TIME_TO, criteria.timeTo);
    }
    if (criteria.attributeRuleOn) {
        Check(dialog, IDC_ATTRIBUTES_ON, true);
        Select(dialog, IDC_ATTRIBUTES_MODE, static_cast<int>(criteria.attributeMode));
        SetDlgItemTextA(dialog, IDC_ATTRIBUTES_SUMMARY,
                        AttributeSummary(criteria.attributeFlags, criteria.searchTarget).c_str());
    }
}

void OpenFilters(HWND dialog, FiltersSession& session)
{
    for (const ComboItems& combo : Combos) {
        for (int item : combo.items)
            SendDlgItemMessageA(dialog, combo.id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ItemTexts[item]));
        Select(dialog, combo.id, 0);
    }
    for (auto [id, limit] : {std::pair{IDC_NAME_TEXT, 260}, std::pair{IDC_EXTENSION_LIST, 99},
                             std::pair{IDC_CONTENT_TEXT, 260}, std::pair{IDC_SIZE_FROM, 4}, std::pair{IDC_SIZE_TO, 4}})
        SendDlgItemMessageA(dialog, id, EM_SETLIMITTEXT, limit, 0);

    for (int id : {IDC_TIME_FROM, IDC_TIME_TO})
        SendDlgItemMessageA(dialog, id, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>("hh:mm tt"));
    SetPickerTime(dialog, IDC_TIME_TO, PickerTime(dialog, IDC_TIME_FROM));

    session.summaryFont = CreateFontA(11, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                                      DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
    SendDlgItemMessageA(dialog, IDC_ATTRIBUTES_SUMMARY, WM_SETFONT, reinterpret_cast<WPARAM>(session.summaryFont),
                        FALSE);

    LoadFiltersIntoDialog(dialog, *session.target.criteria, session.target.page);
    for (const RowControls& row : Rows) ApplyEnablingRule(dialog, row);
    for (const RowControls& relation : SecondBounds) ApplyShowRule(dialog, relation);
}

FilterRows ReadRows(HWND dialog, const SearchCriteria& criteria)
{
    FilterRows rows;
    rows.searchTarget = criteria.searchTarget;
    rows.nameChecked = IsChecked(dialog, IDC_NAME_ON);
    rows.nameModeIndex = Selection(dialog, IDC_NAME_MODE);
    rows.nameText = Text(dialog, IDC_NAME_TEXT);
    rows.nameCaseChecked = IsChecked(dialog, IDC_NAME_CASE);
    rows.extensionChecked = IsChecked(dialog, IDC_EXTENSION_ON);
    rows.extensionModeIndex = Selection(dialog, IDC_EXTENSION_MODE);
    rows.extensionText = Text(dialog, IDC_EXTENSION_LIST);
    rows.contentChecked = IsChecked(dialog, IDC_CONTENT_ON);
    rows.contentModeIndex = Selection(dialog, IDC_CONTENT_MODE);
    rows.contentText = Text(dialog, IDC_CONTENT_TEXT);
    rows.contentCaseChecked = IsChecked(dialog, IDC_CONTENT_CASE);
    rows.sizeChecked = IsChecked(dialog, IDC_SIZE_ON);
    rows.sizeModeIndex = Selection(dialog, IDC_SIZE_MODE);
    rows.sizeFromText = Text(dialog, IDC_SIZE_FROM);
    rows.sizeFromUnitIndex = Selection(dialog, IDC_SIZE_FROM_UNIT);
    rows.sizeToText = Text(dialog, IDC_SIZE_TO);
    rows.sizeToUnitIndex = Selection(dialog, IDC_SIZE_TO_UNIT);
    rows.dateChecked = IsChecked(dialog, IDC_DATE_ON);
    rows.dateKindIndex = Selection(dialog, IDC_DATE_KIND);
    rows.dateRelationIndex = Selection(dialog, IDC_DATE_RELATION);
    rows.dateFrom = PickerTime(dialog, IDC_DATE_FROM);
    rows.dateTo = PickerTime(dialog, IDC_DATE_TO);
    rows.timeChecked = IsChecked(dialog, IDC_TIME_ON);
    rows.timeKindIndex = Selection(dialog, IDC_TIME_KIND);
    rows.timeRelationIndex = Selection(dialog, IDC_TIME_RELATION);
    rows.timeFrom = PickerTime(dialog, IDC_TIME_FROM);
    rows.timeTo = PickerTime(dialog, IDC_TIME_TO);
    rows.attributeChecked = IsChecked(dialog, IDC_ATTRIBUTES_ON);
    rows.attributeModeIndex = Selection(dialog, IDC_ATTRIBUTES_MODE);
    return rows;
}

void Accept(HWND dialog, FiltersSession& session)
{
    SearchCriteria& criteria = *session.target.criteria;
    AcceptFilterRows(ReadRows(dialog, criteria), criteria, session.prompter);
    SetDlgItemTextA(session.target.page, IDC_FIND_FILTERS, FiltersButtonCaption(criteria));
    EndDialog(dialog, 1);
}

// Writing the filtered text back raises EN_CHANGE again, which removes the next
// forbidden character, if any.
void FilterName(HWND dialog, FiltersSession& session)
{
    std::string text = Text(dialog, IDC_NAME_TEXT);
    if (FilterTypedName(text, session.prompter)) SetDlgItemTextA(dialog, IDC_NAME_TEXT, text.c_str());
}

void FilterExtensions(HWND dialog)
{
    std::string text = Text(dialog, IDC_EXTENSION_LIST);
    if (FilterTypedExtensions(text)) SetDlgItemTextA(dialog, IDC_EXTENSION_LIST, text.c_str());
}

void OnCommand(HWND dialog, FiltersSession& session, int id, int code)
{
    for (const RowControls& row : Rows)
        if (id == row.checkBox) ApplyEnablingRule(dialog, row);
    for (const RowControls& relation : SecondBounds)
        if (id == relation.checkBox) ApplyShowRule(dialog, relation);

    switch (id) {
    case IDC_NAME_TEXT:
        if (code == EN_CHANGE) FilterName(dialog, session);
        break;
    case IDC_EXTENSION_LIST:
        if (code == EN_CHANGE) FilterExtensions(dialog);
        break;
    case IDC_EXTENSION_HELP:
        ShowMessage(dialog, "Type the extensions separated by slashes, for example:\n\nbmp/jpg/jpeg/png/gif",
                    "Defining extension filter", MB_ICONINFORMATION);
        break;
    case IDC_ATTRIBUTES_SELECT: {
        AttributesTarget attributes{session.target.criteria, GetDlgItem(dialog, IDC_ATTRIBUTES_SUMMARY)};
        DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ATTRIBUTES), dialog, AttributesDialogProc,
                        reinterpret_cast<LPARAM>(&attributes));
        break;
    }
    case IDC_FILTERS_ACCEPT: Accept(dialog, session); break;
    case IDC_FILTERS_DISCARD:
    case IDCANCEL: EndDialog(dialog, 0); break;
    default: break;
    }
}

// ---------------------------------------------------------------- attributes

constexpr int AttributeBox(AttributeFlag flag) { return IDC_ATTRIBUTE_FIRST + static_cast<int>(flag); }

void OpenAttributes(HWND dialog, const AttributesTarget& target)
{
    AttributeFlags& flags = target.criteria->attributeFlags;
    for (AttributeFlag flag : {AttributeFlag::Archive, AttributeFlag::Index, AttributeFlag::ReadOnly,
                               AttributeFlag::Hidden, AttributeFlag::System, AttributeFlag::Offline,
                               AttributeFlag::Compressed, AttributeFlag::Encrypted})
        Check(dialog, AttributeBox(flag), flags[static_cast<int>(flag)] != 0);

    // The flags that cannot apply to what is searched for are cleared and their
    // boxes disabled.
    std::vector<AttributeFlag> unavailable;
    if (target.criteria->searchTarget == SearchTarget::Folders)
        unavailable = {AttributeFlag::Temporary, AttributeFlag::Sparse};
    else if (target.criteria->searchTarget == SearchTarget::Files)
        unavailable = {AttributeFlag::ReparsePoint};
    for (AttributeFlag flag : unavailable) {
        flags[static_cast<int>(flag)] = 0;
        EnableWindow(GetDlgItem(dialog, AttributeBox(flag)), FALSE);
    }
    for (AttributeFlag flag : {AttributeFlag::Temporary, AttributeFlag::Sparse, AttributeFlag::ReparsePoint})
        if (IsWindowEnabled(GetDlgItem(dialog, AttributeBox(flag))))
            Check(dialog, AttributeBox(flag), flags[static_cast<int>(flag)] != 0);
}

void StoreAttributes(HWND dialog, const AttributesTarget& target)
{
    AttributeFlags& flags = target.criteria->attributeFlags;
    std::string summary;
    for (int flag = 0; flag < AttributeFlagCount; ++flag) {
        flags[flag] = IsChecked(dialog, IDC_ATTRIBUTE_FIRST + flag) ? 1 : 0;
        if (flags[flag]) summary += AttributeSummaryWord(static_cast<AttributeFlag>(flag));
    }
    SetWindowTextA(target.summaryEdit, summary.substr(0, 90).c_str());
}

}  // namespace

std::string AttributeSummary(const AttributeFlags& flags, SearchTarget target)
{
    std::string summary;
    for (int index = 0; index < AttributeFlagCount; ++index) {
        const auto flag = static_cast<AttributeFlag>(index);
        if (!flags[index]) continue;
        if (target == SearchTarget::Folders && (flag == AttributeFlag::Temporary || flag == AttributeFlag::Sparse))
            continue;
        if (target == SearchTarget::Files && flag == AttributeFlag::ReparsePoint) continue;
        summary += AttributeSummaryWord(flag);
    }
    return summary;
}

INT_PTR CALLBACK FindFiltersDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    FiltersSession* session = SessionOf(dialog);
    switch (message) {
    case WM_INITDIALOG: {
        auto owned = std::make_unique<FiltersSession>(*reinterpret_cast<const FindFiltersTarget*>(lParam), dialog);
        session = owned.get();
        SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owned.release()));
        OpenFilters(dialog, *session);
        return TRUE;
    }
    case WM_DESTROY: {
        const std::unique_ptr<FiltersSession> owned(session);
        SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
        return TRUE;
    }
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    case WM_COMMAND:
        if (session) OnCommand(dialog, *session, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK AttributesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto* target = reinterpret_cast<const AttributesTarget*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
        OpenAttributes(dialog, *reinterpret_cast<const AttributesTarget*>(lParam));
        return TRUE;
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        // Compressed and encrypted exclude each other.
        if (id == AttributeBox(AttributeFlag::Compressed) && IsChecked(dialog, id))
            Check(dialog, AttributeBox(AttributeFlag::Encrypted), false);
        else if (id == AttributeBox(AttributeFlag::Encrypted) && IsChecked(dialog, id))
            Check(dialog, AttributeBox(AttributeFlag::Compressed), false);
        else if (id == IDC_ATTRIBUTES_OK && target) {
            StoreAttributes(dialog, *target);
            EndDialog(dialog, 1);
        } else if (id == IDC_ATTRIBUTES_CANCEL || id == IDCANCEL) {
            EndDialog(dialog, 0);
        }
        return TRUE;
    }
    default: return FALSE;
    }
}

}  // namespace tolvane
