#include "compare/win32/compare_filters_dialog.h"

#include <commctrl.h>

#include <initializer_list>
#include <string>

#include "app/main_sheet.h"
#include "app/user_interaction.h"
#include "common/win32/dialog_items.h"
#include "compare/compare_filter_normalisation.h"
#include "find/filter_normalisation.h"
#include "resource_ids.h"

namespace tolvane {
namespace {

// Archive to sparse: the flags the Compare rules offer ("reparse point" never).
constexpr int CompareAttributeFlagCount = 10;

struct FiltersDialogData {
    CompareFiltersTarget target;
    HFONT summaryFont;
};

FiltersDialogData* DataOf(HWND dialog)
{
    return reinterpret_cast<FiltersDialogData*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void FillCombo(HWND dialog, int id, std::initializer_list<const char*> items)
{
    for (const char* item : items) SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, 0, 0);
}

int Selection(HWND dialog, int id)
{
    const auto index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    return index < 0 ? 0 : static_cast<int>(index);
}

void Select(HWND dialog, int id, int index) { SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0); }

std::string ItemText(HWND dialog, int id)
{
    // The whole text: in UTF-8 a character may take up to three bytes.
    HWND control = GetDlgItem(dialog, id);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

SYSTEMTIME ToSystem(const SystemTime& time)
{
    return SYSTEMTIME{time.wYear, time.wMonth, time.wDayOfWeek, time.wDay,
                      time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}

SystemTime FromSystem(const SYSTEMTIME& time)
{
    return SystemTime{time.wYear, time.wMonth, time.wDayOfWeek, time.wDay,
                      time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}

SystemTime PickerValue(HWND dialog, int id)
{
    SYSTEMTIME value{};
    SendDlgItemMessageA(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value));
    return FromSystem(value);
}

void SetPicker(HWND dialog, int id, const SystemTime& time)
{
    SYSTEMTIME value = ToSystem(time);
    SendDlgItemMessageA(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&value));
}

std::string AttributeSummary(const AttributeFlags& flags)
{
    std::string summary;
    for (int flag = 0; flag < CompareAttributeFlagCount; ++flag)
        if (flags[flag]) summary += AttributeSummaryWord(static_cast<AttributeFlag>(flag));
    return summary;
}

// Each row's check box enables the row's other controls.
void ApplyEnablingRules(HWND dialog)
{
    const struct {
        int checkBox, first, last;
    } rows[] = {
        {IDC_CEXTENSION_ON, IDC_CEXTENSION_MODE, IDC_CEXTENSION_HELP},
        {IDC_CSIZE_ON, IDC_CSIZE_MODE, IDC_CSIZE_TO_UNIT},
        {IDC_CDATE_ON, IDC_CDATE_KIND, IDC_CDATE_TO},
        {IDC_CATTRIBUTES_ON, IDC_CATTRIBUTES_MODE, IDC_CATTRIBUTES_SUMMARY},
    };
    for (const auto& row : rows) {
        const bool on = IsChecked(dialog, row.checkBox);
        for (int id = row.first; id <= row.last; ++id) EnableWindow(GetDlgItem(dialog, id), on);
    }
}

// The second bound is shown only for "between" and "not between".
void ApplyShowRules(HWND dialog)
{
    const int range = static_cast<int>(SizeRuleMode::Between);
    const int sizeShow = Selection(dialog, IDC_CSIZE_MODE) >= range ? SW_SHOW : SW_HIDE;
    for (int id : {IDC_CSIZE_TO_LABEL, IDC_CSIZE_TO, IDC_CSIZE_TO_UNIT}) ShowWindow(GetDlgItem(dialog, id), sizeShow);
    const bool dateRange = Selection(dialog, IDC_CDATE_RELATION) >= static_cast<int>(DateRelation::Between);
    ShowWindow(GetDlgItem(dialog, IDC_CDATE_TO), dateRange ? SW_SHOW : SW_HIDE);
}

void LoadCompareFiltersIntoDialog(HWND dialog, const CompareCriteria& criteria)
{
    if (criteria.extensionRuleOn) {
        CheckDlgButton(dialog, IDC_CEXTENSION_ON, BST_CHECKED);
        Select(dialog, IDC_CEXTENSION_MODE, static_cast<int>(criteria.extensionMode));
        if (!criteria.extensionList.empty()) SetDlgItemTextA(dialog, IDC_CEXTENSION_LIST, criteria.extensionList.c_str());
    }
    if (criteria.sizeRuleOn) {
        CheckDlgButton(dialog, IDC_CSIZE_ON, BST_CHECKED);
        Select(dialog, IDC_CSIZE_MODE, static_cast<int>(criteria.sizeMode));
        Select(dialog, IDC_CSIZE_FROM_UNIT, static_cast<int>(criteria.sizeFromUnit));
        Select(dialog, IDC_CSIZE_TO_UNIT, static_cast<int>(criteria.sizeToUnit));
        SetDlgItemInt(dialog, IDC_CSIZE_FROM,
                      static_cast<UINT>(criteria.sizeFrom / SizeUnitFactor(criteria.sizeFromUnit)), FALSE);
        SetDlgItemInt(dialog, IDC_CSIZE_TO, static_cast<UINT>(criteria.sizeTo / SizeUnitFactor(criteria.sizeToUnit)),
                      FALSE);
    }
    if (criteria.dateRuleOn) {
        CheckDlgButton(dialog, IDC_CDATE_ON, BST_CHECKED);
        Select(dialog, IDC_CDATE_KIND, static_cast<int>(criteria.dateKind));
        Select(dialog, IDC_CDATE_RELATION, static_cast<int>(criteria.dateRelation));
        SetPicker(dialog, IDC_CDATE_FROM, criteria.dateFrom);
        SetPicker(dialog, IDC_CDATE_TO, criteria.dateTo);
    }
    if (criteria.attributeRuleOn) {
        CheckDlgButton(dialog, IDC_CATTRIBUTES_ON, BST_CHECKED);
        Select(dialog, IDC_CATTRIBUTES_MODE, static_cast<int>(criteria.attributeMode));
        SetDlgItemTextA(dialog, IDC_CATTRIBUTES_SUMMARY, AttributeSummary(criteria.attributeFlags).c_str());
    }
}

void OpenFiltersDialog(HWND dialog, const CompareFiltersTarget& target)
{
    auto* data = new FiltersDialogData{target, nullptr};
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(data));

    FillCombo(dialog, IDC_CEXTENSION_MODE, {"include file type(s)", "exclude file type(s)"});
    FillCombo(dialog, IDC_CSIZE_MODE, {"equal to", "minimum", "maximum", "between", "not between"});
    FillCombo(dialog, IDC_CSIZE_FROM_UNIT, {"B", "kB", "MB"});
    FillCombo(dialog, IDC_CSIZE_TO_UNIT, {"B", "kB", "MB"});
    FillCombo(dialog, IDC_CDATE_KIND, {"created", "modified", "accessed"});
    FillCombo(dialog, IDC_CDATE_RELATION, {"on", "before", "after", "between", "not between"});
    FillCombo(dialog, IDC_CATTRIBUTES_MODE, {"include", "exclude"});
    SendDlgItemMessageA(dialog, IDC_CEXTENSION_LIST, EM_LIMITTEXT, ExtensionListMax, 0);
    SendDlgItemMessageA(dialog, IDC_CSIZE_FROM, EM_LIMITTEXT, 4, 0);
    SendDlgItemMessageA(dialog, IDC_CSIZE_TO, EM_LIMITTEXT, 4, 0);

    data->summaryFont = CreateFontA(11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
    SendDlgItemMessageA(dialog, IDC_CATTRIBUTES_SUMMARY, WM_SETFONT, reinterpret_cast<WPARAM>(data->summaryFont),
                        TRUE);

    LoadCompareFiltersIntoDialog(dialog, *target.criteria);
    ApplyEnablingRules(dialog);
    ApplyShowRules(dialog);
}

void AcceptFilters(HWND dialog, const CompareFiltersTarget& target)
{
    CompareFilterRows rows;
    rows.extensionChecked = IsChecked(dialog, IDC_CEXTENSION_ON);
    rows.extensionMode = static_cast<ExtensionRuleMode>(Selection(dialog, IDC_CEXTENSION_MODE));
    rows.extensionText = ItemText(dialog, IDC_CEXTENSION_LIST);

    rows.sizeChecked = IsChecked(dialog, IDC_CSIZE_ON);
    rows.sizeMode = static_cast<SizeRuleMode>(Selection(dialog, IDC_CSIZE_MODE));
    rows.sizeFromNumber = static_cast<uint32_t>(SizeFieldValue(ItemText(dialog, IDC_CSIZE_FROM)));
    rows.sizeFromUnit = static_cast<SizeUnit>(Selection(dialog, IDC_CSIZE_FROM_UNIT));
    rows.sizeToNumber = static_cast<uint32_t>(SizeFieldValue(ItemText(dialog, IDC_CSIZE_TO)));
    rows.sizeToUnit = static_cast<SizeUnit>(Selection(dialog, IDC_CSIZE_TO_UNIT));

    rows.dateChecked = IsChecked(dialog, IDC_CDATE_ON);
    rows.dateKind = static_cast<FileTimeKind>(Selection(dialog, IDC_CDATE_KIND));
    rows.dateRelation = static_cast<DateRelation>(Selection(dialog, IDC_CDATE_RELATION));
    rows.dateFrom = PickerValue(dialog, IDC_CDATE_FROM);
    rows.dateTo = PickerValue(dialog, IDC_CDATE_TO);

    rows.attributesChecked = IsChecked(dialog, IDC_CATTRIBUTES_ON);
    rows.attributeMode = static_cast<AttributeRuleMode>(Selection(dialog, IDC_CATTRIBUTES_MODE));

    const std::string caption = AcceptCompareFilters(rows, *target.criteria);
    SetWindowTextA(target.button, caption.c_str());
}

void FilterExtensionEdit(HWND dialog)
{
    std::string text = ItemText(dialog, IDC_CEXTENSION_LIST);
    // Writing the text back raises the change again, which removes the next one.
    if (FilterTypedExtensions(text)) SetDlgItemTextA(dialog, IDC_CEXTENSION_LIST, text.c_str());
}

INT_PTR OnFiltersCommand(HWND dialog, WPARAM wParam)
{
    FiltersDialogData* data = DataOf(dialog);
    if (!data) return FALSE;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    switch (id) {
    case IDC_CEXTENSION_ON:
    case IDC_CSIZE_ON:
    case IDC_CDATE_ON:
    case IDC_CATTRIBUTES_ON: ApplyEnablingRules(dialog); break;
    case IDC_CSIZE_MODE:
    case IDC_CDATE_RELATION:
        if (code == CBN_SELCHANGE) ApplyShowRules(dialog);
        break;
    case IDC_CEXTENSION_LIST:
        if (code == EN_CHANGE) FilterExtensionEdit(dialog);
        break;
    case IDC_CEXTENSION_HELP:
        ShowMessage(dialog, "Type the extensions separated by slashes, for example:\n\nbmp/jpg/jpeg/png/gif",
                    "Defining extension filter", MB_ICONINFORMATION);
        break;
    case IDC_CATTRIBUTES_SELECT:
        DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ATTRIBUTES), dialog, CompareAttributesDialogProc,
                        reinterpret_cast<LPARAM>(data->target.criteria));
        break;
    case IDC_CFILTERS_ACCEPT:
        AcceptFilters(dialog, data->target);
        EndDialog(dialog, 1);
        break;
    case IDC_CFILTERS_DISCARD:
    case IDCANCEL: EndDialog(dialog, 0); break;
    default: return FALSE;
    }
    return TRUE;
}

void OpenAttributesDialog(HWND dialog, CompareCriteria& criteria)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&criteria));
    for (int flag = 0; flag < CompareAttributeFlagCount; ++flag)
        CheckDlgButton(dialog, IDC_ATTRIBUTE_FIRST + flag, criteria.attributeFlags[flag] ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_ATTRIBUTE_REPARSE), FALSE);
}

void StoreAttributes(HWND dialog, CompareCriteria& criteria)
{
    for (int flag = 0; flag < CompareAttributeFlagCount; ++flag)
        criteria.attributeFlags[flag] = IsChecked(dialog, IDC_ATTRIBUTE_FIRST + flag) ? 1 : 0;
    const std::string summary = AttributeSummary(criteria.attributeFlags);
    SetDlgItemTextA(GetWindow(dialog, GW_OWNER), IDC_CATTRIBUTES_SUMMARY, summary.c_str());
}

}  // namespace

INT_PTR CALLBACK CompareFiltersDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: OpenFiltersDialog(dialog, *reinterpret_cast<const CompareFiltersTarget*>(lParam)); return TRUE;
    case WM_COMMAND: return OnFiltersCommand(dialog, wParam);
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    case WM_DESTROY:
        if (FiltersDialogData* data = DataOf(dialog)) {
            if (data->summaryFont) DeleteObject(data->summaryFont);
            delete data;
            SetWindowLongPtrA(dialog, DWLP_USER, 0);
        }
        return TRUE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK CompareAttributesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* criteria = reinterpret_cast<CompareCriteria*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: OpenAttributesDialog(dialog, *reinterpret_cast<CompareCriteria*>(lParam)); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        // Compressed and encrypted exclude each other.
        case IDC_ATTRIBUTE_COMPRESSED:
            if (IsChecked(dialog, IDC_ATTRIBUTE_COMPRESSED)) CheckDlgButton(dialog, IDC_ATTRIBUTE_ENCRYPTED, BST_UNCHECKED);
            return TRUE;
        case IDC_ATTRIBUTE_ENCRYPTED:
            if (IsChecked(dialog, IDC_ATTRIBUTE_ENCRYPTED)) CheckDlgButton(dialog, IDC_ATTRIBUTE_COMPRESSED, BST_UNCHECKED);
            return TRUE;
        case IDC_ATTRIBUTES_OK:
            if (criteria) StoreAttributes(dialog, *criteria);
            EndDialog(dialog, 1);
            return TRUE;
        case IDC_ATTRIBUTES_CANCEL:
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        default: return FALSE;
        }
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    default: return FALSE;
    }
}

}  // namespace tolvane
