#include "find/win32/find_filters_dialog.h"
#include "find/win32/find_page.h"
#include "gui_support.h"

namespace tolvane::test {
namespace {

class FiltersDialogTest : public MainWindowTest {
protected:
    void TearDown() override
    {
        DestroyWindow(dialog);
        MainWindowTest::TearDown();
    }
    void Open(int searchTarget = 0)
    {
        DestroyWindow(dialog);
        SendDlgItemMessageA(findPageWindow, IDC_FIND_TARGET, CB_SETCURSEL, searchTarget, 0);
        target = {&FindPageState()->criteria, findPageWindow};
        dialog = OpenDialog(IDD_FIND_FILTERS, FindFiltersDialogProc, findPageWindow, &target);
    }

    FindFiltersTarget target{};
    HWND dialog = nullptr;
};

TEST_F(FiltersDialogTest, RowsFollowTheirBoxesAcceptStoresTheRulesAndTheAttributesDialogWritesTheSummary)
{
    SearchCriteria& criteria = FindPageState()->criteria;
    Open();
    const auto rowControls = {IDC_NAME_TEXT, IDC_SIZE_FROM, IDC_DATE_FROM, IDC_TIME_FROM, IDC_ATTRIBUTES_SELECT};
    EXPECT_EQ(Flags(dialog, rowControls, IsEnabledItem), "00000");
    CheckRow(dialog, IDC_NAME_ON);
    SetItemText(dialog, IDC_NAME_TEXT, "a:b");
    CheckRow(dialog, IDC_SIZE_ON);
    EXPECT_TRUE(IsEnabledItem(dialog, IDC_SIZE_FROM));
    // A "between" relation shows the second bound of its row.
    const std::tuple<int, int, int> ranges[] = {
        {IDC_SIZE_MODE, 3, IDC_SIZE_TO}, {IDC_DATE_RELATION, 4, IDC_DATE_TO}, {IDC_TIME_RELATION, 3, IDC_TIME_TO}};
    for (const auto& [mode, relation, second] : ranges) {
        EXPECT_FALSE(IsShown(dialog, second)) << second;
        Choose(dialog, mode, relation);
        EXPECT_TRUE(IsShown(dialog, second)) << second;
    }
    SetItemText(dialog, IDC_SIZE_FROM, "5");
    Choose(dialog, IDC_SIZE_FROM_UNIT, 2);
    SetItemText(dialog, IDC_SIZE_TO, "100");
    Choose(dialog, IDC_SIZE_TO_UNIT, 1);
    Click(dialog, IDC_FILTERS_ACCEPT);
    EXPECT_TRUE(!IsWindowVisible(dialog) && criteria.nameText == "ab");
    EXPECT_EQ(std::pair(criteria.sizeFrom, criteria.sizeTo), std::pair(uint64_t{100} << 10, uint64_t{5} << 20));
    EXPECT_EQ(ItemText(findPageWindow, IDC_FIND_FILTERS), "Specified filters");

    // Opening again shows the stored bounds, each in its own unit; Discard changes nothing.
    Open();
    EXPECT_EQ(ItemText(dialog, IDC_SIZE_FROM) + " " + ItemText(dialog, IDC_SIZE_FROM_UNIT), "100 kB");
    CheckRow(dialog, IDC_SIZE_ON, false);
    Click(dialog, IDC_FILTERS_DISCARD);
    EXPECT_TRUE(criteria.sizeRuleOn);

    // A folder search disables the file rows.
    criteria.attributeRuleOn = true;
    for (AttributeFlag flag : {AttributeFlag::Hidden, AttributeFlag::ReparsePoint})
        criteria.attributeFlags[static_cast<int>(flag)] = 1;
    Open(1);
    EXPECT_EQ(Flags(dialog, {IDC_EXTENSION_ON, IDC_CONTENT_ON, IDC_SIZE_ON}, IsEnabledItem), "000");
    EXPECT_EQ(ItemText(dialog, IDC_ATTRIBUTES_SUMMARY), "hidden reparse");
    // A file search never offers the reparse point.
    criteria.searchTarget = SearchTarget::Files;
    AttributesTarget attributes{&criteria, GetDlgItem(dialog, IDC_ATTRIBUTES_SUMMARY)};
    HWND box = OpenDialog(IDD_ATTRIBUTES, AttributesDialogProc, dialog, &attributes);
    EXPECT_FALSE(IsEnabledItem(box, IDC_ATTRIBUTE_REPARSE));
    for (int id : {IDC_ATTRIBUTE_HIDDEN, IDC_ATTRIBUTE_COMPRESSED, IDC_ATTRIBUTE_ENCRYPTED}) Click(box, id);
    Click(box, IDC_ATTRIBUTES_OK);
    DestroyWindow(box);
    EXPECT_EQ(ItemText(dialog, IDC_ATTRIBUTES_SUMMARY), "encrypted ") << "compressed and encrypted exclude each other";
}

}  // namespace
}  // namespace tolvane::test
