#include <windows.h>
#include <commctrl.h>

#include "app/main_sheet.h"
#include "find/win32/find_filters_dialog.h"
#include "find/win32/find_page.h"
#include "gui_support.h"
#include "resource_ids.h"

namespace tolvane::test {
namespace {

class FiltersDialogTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        criteria = &FindPageState()->criteria;
    }
    void TearDown() override
    {
        if (dialog) DestroyWindow(dialog);
        MainWindowTest::TearDown();
    }

    void Open(int searchTarget = 0)
    {
        if (dialog) DestroyWindow(dialog);
        SendDlgItemMessageA(findPageWindow, IDC_FIND_TARGET, CB_SETCURSEL, searchTarget, 0);
        target = {criteria, findPageWindow};
        dialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_FIND_FILTERS), findPageWindow,
                                    FindFiltersDialogProc, reinterpret_cast<LPARAM>(&target));
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);  // as the modal loop shows it
    }

    SearchCriteria* criteria = nullptr;
    FindFiltersTarget target{};
    HWND dialog = nullptr;
};

TEST_F(FiltersDialogTest, RowsFollowTheirBoxesAndAcceptStoresTheNormalisedRules)
{
    Open();
    for (int id : {IDC_NAME_TEXT, IDC_SIZE_FROM, IDC_DATE_FROM, IDC_TIME_FROM, IDC_ATTRIBUTES_SELECT})
        EXPECT_FALSE(IsEnabledItem(dialog, id)) << id;
    for (int id : {IDC_SIZE_TO, IDC_DATE_TO, IDC_TIME_TO}) EXPECT_FALSE(IsShown(dialog, id)) << id;
    CheckRow(dialog, IDC_NAME_ON);
    SetItemText(dialog, IDC_NAME_TEXT, "a:b");
    EXPECT_EQ(ItemText(dialog, IDC_NAME_TEXT), "ab");
    EXPECT_EQ(script.boxes.at(0).caption, "Info");
    CheckRow(dialog, IDC_EXTENSION_ON);
    SetItemText(dialog, IDC_EXTENSION_LIST, ".JPG//png/");
    EXPECT_EQ(ItemText(dialog, IDC_EXTENSION_LIST), "jpg/png/");
    CheckRow(dialog, IDC_SIZE_ON);
    EXPECT_TRUE(IsEnabledItem(dialog, IDC_SIZE_FROM));
    Choose(dialog, IDC_SIZE_MODE, 3);
    EXPECT_TRUE(IsShown(dialog, IDC_SIZE_TO));
    SetItemText(dialog, IDC_SIZE_FROM, "5");
    Choose(dialog, IDC_SIZE_FROM_UNIT, 2);
    SetItemText(dialog, IDC_SIZE_TO, "100");
    Choose(dialog, IDC_SIZE_TO_UNIT, 1);
    Choose(dialog, IDC_DATE_RELATION, 4);
    EXPECT_TRUE(IsShown(dialog, IDC_DATE_TO));
    Choose(dialog, IDC_TIME_RELATION, 3);
    EXPECT_TRUE(IsShown(dialog, IDC_TIME_TO));
    Click(dialog, IDC_FILTERS_ACCEPT);
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(criteria->nameText, "ab");
    EXPECT_EQ(criteria->extensionList, "jpg/png");
    EXPECT_EQ(criteria->sizeFrom, 102400u);
    EXPECT_EQ(criteria->sizeTo, 5242880u);
    EXPECT_EQ(ItemText(findPageWindow, IDC_FIND_FILTERS), "Specified filters");

    // Opening again shows the stored rows, each number in its own unit;
    // Discard changes nothing.
    Open();
    EXPECT_EQ(ItemText(dialog, IDC_SIZE_FROM), "100");
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SIZE_FROM_UNIT, CB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(IsShown(dialog, IDC_SIZE_TO));
    CheckRow(dialog, IDC_SIZE_ON, false);
    Click(dialog, IDC_FILTERS_DISCARD);
    EXPECT_TRUE(criteria->sizeRuleOn);

    // A zero size overrides the content rule, and says so.
    Open();
    CheckRow(dialog, IDC_CONTENT_ON);
    SetItemText(dialog, IDC_CONTENT_TEXT, "Hello");
    Choose(dialog, IDC_SIZE_MODE, 2);
    SetItemText(dialog, IDC_SIZE_FROM, "0");
    Click(dialog, IDC_FILTERS_ACCEPT);
    EXPECT_EQ(script.boxes.back().caption, "Conflicting rules");
    EXPECT_FALSE(criteria->contentRuleOn);
}

TEST_F(FiltersDialogTest, FolderSearchDisablesFileRowsAndTheAttributesDialogWritesTheSummary)
{
    criteria->extensionRuleOn = true;
    criteria->extensionList = "txt";
    criteria->attributeRuleOn = true;
    criteria->attributeFlags[static_cast<int>(AttributeFlag::Hidden)] = 1;
    criteria->attributeFlags[static_cast<int>(AttributeFlag::Temporary)] = 1;
    criteria->attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)] = 1;
    Open(1);
    for (int id : {IDC_EXTENSION_ON, IDC_CONTENT_ON, IDC_SIZE_ON}) EXPECT_FALSE(IsEnabledItem(dialog, id)) << id;
    EXPECT_EQ(ItemText(dialog, IDC_ATTRIBUTES_SUMMARY), "hidden reparse");
    Click(dialog, IDC_FILTERS_ACCEPT);
    EXPECT_FALSE(criteria->extensionRuleOn);

    Open(0);
    EXPECT_EQ(ItemText(dialog, IDC_ATTRIBUTES_SUMMARY), "hidden temporary ");
    criteria->searchTarget = SearchTarget::Files;
    criteria->attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)] = 1;
    AttributesTarget attributes{criteria, GetDlgItem(dialog, IDC_ATTRIBUTES_SUMMARY)};
    HWND box = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_ATTRIBUTES), dialog, AttributesDialogProc,
                                  reinterpret_cast<LPARAM>(&attributes));
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(IsEnabledItem(box, IDC_ATTRIBUTE_REPARSE));
    EXPECT_TRUE(IsEnabledItem(box, IDC_ATTRIBUTE_SPARSE));
    Click(box, IDC_ATTRIBUTE_HIDDEN);
    Click(box, IDC_ATTRIBUTE_COMPRESSED);
    Click(box, IDC_ATTRIBUTE_ENCRYPTED);
    EXPECT_FALSE(Checked(box, IDC_ATTRIBUTE_COMPRESSED)) << "compressed and encrypted exclude each other";
    Click(box, IDC_ATTRIBUTES_OK);
    DestroyWindow(box);
    EXPECT_EQ(ItemText(dialog, IDC_ATTRIBUTES_SUMMARY), "temporary encrypted ");
    EXPECT_EQ(criteria->attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)], 0);
}

}  // namespace
}  // namespace tolvane::test
