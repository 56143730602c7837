#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

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

    void CheckRow(int id, bool checked = true)
    {
        CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

    void Choose(int id, int item)
    {
        SendDlgItemMessageA(dialog, id, CB_SETCURSEL, item, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

    std::string Item(int id, int item) const
    {
        char text[64] = {};
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
        return text;
    }

    int Selected(int id) const { return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)); }

    bool IsOpen() const { return IsWindowVisible(dialog) != FALSE; }

    SearchCriteria* criteria = nullptr;
    FindFiltersTarget target{};
    HWND dialog = nullptr;
};

TEST_F(FiltersDialogTest, OpensWithEveryRowOffAndOnlyFirstBoundsShown)
{
    Open();
    EXPECT_EQ(WindowText(dialog), " Find - Specify filters");
    for (int combo : {IDC_NAME_MODE, IDC_EXTENSION_MODE, IDC_CONTENT_MODE, IDC_SIZE_MODE, IDC_SIZE_FROM_UNIT,
                      IDC_SIZE_TO_UNIT, IDC_DATE_KIND, IDC_DATE_RELATION, IDC_TIME_KIND, IDC_TIME_RELATION,
                      IDC_ATTRIBUTES_MODE})
        EXPECT_EQ(Selected(combo), 0) << combo;
    EXPECT_EQ(Item(IDC_DATE_RELATION, 0), "on");
    EXPECT_EQ(Item(IDC_DATE_RELATION, 4), "not between");
    EXPECT_EQ(Item(IDC_TIME_RELATION, 0), "at");
    EXPECT_EQ(Item(IDC_TIME_RELATION, 1), "before");
    EXPECT_EQ(Item(IDC_EXTENSION_MODE, 1), "exclude file type(s)");
    EXPECT_EQ(Item(IDC_SIZE_TO_UNIT, 2), "MB");
    EXPECT_EQ(Item(IDC_ATTRIBUTES_MODE, 1), "exclude");
    for (int id : {IDC_NAME_TEXT, IDC_SIZE_FROM, IDC_DATE_FROM, IDC_TIME_FROM, IDC_ATTRIBUTES_SELECT})
        EXPECT_FALSE(IsEnabledItem(dialog, id)) << id;
    for (int id : {IDC_SIZE_TO_LABEL, IDC_SIZE_TO, IDC_SIZE_TO_UNIT, IDC_DATE_TO, IDC_TIME_TO})
        EXPECT_FALSE(IsShown(dialog, id)) << id;
    EXPECT_TRUE(IsShown(dialog, IDC_SIZE_FROM));
}

TEST_F(FiltersDialogTest, CheckBoxesEnableTheirRowsAndRangesShowTheSecondBound)
{
    Open();
    CheckRow(IDC_SIZE_ON);
    for (int id : {IDC_SIZE_MODE, IDC_SIZE_FROM, IDC_SIZE_FROM_UNIT, IDC_SIZE_TO, IDC_SIZE_TO_UNIT})
        EXPECT_TRUE(IsEnabledItem(dialog, id)) << id;
    EXPECT_FALSE(IsEnabledItem(dialog, IDC_NAME_TEXT));
    Choose(IDC_SIZE_MODE, 3);
    EXPECT_TRUE(IsShown(dialog, IDC_SIZE_TO_LABEL));
    EXPECT_EQ(ItemText(dialog, IDC_SIZE_TO_LABEL), "- to -");
    EXPECT_TRUE(IsShown(dialog, IDC_SIZE_TO));
    Choose(IDC_SIZE_MODE, 2);
    EXPECT_FALSE(IsShown(dialog, IDC_SIZE_TO));
    Choose(IDC_DATE_RELATION, 4);
    EXPECT_TRUE(IsShown(dialog, IDC_DATE_TO));
    Choose(IDC_TIME_RELATION, 3);
    EXPECT_TRUE(IsShown(dialog, IDC_TIME_TO));
    CheckRow(IDC_SIZE_ON, false);
    EXPECT_FALSE(IsEnabledItem(dialog, IDC_SIZE_FROM));
}

TEST_F(FiltersDialogTest, TypingFiltersRemoveForbiddenCharacters)
{
    Open();
    CheckRow(IDC_NAME_ON);
    SetItemText(dialog, IDC_NAME_TEXT, "a:b*c");
    EXPECT_EQ(ItemText(dialog, IDC_NAME_TEXT), "abc");
    ASSERT_EQ(script.boxes.size(), 2u);
    EXPECT_EQ(script.boxes[0].caption, "Info");
    EXPECT_EQ(script.boxes[0].text, "Filenames cannot contain any of the following characters:\n\\ / : * ? \" < > |");
    EXPECT_EQ(script.boxes[0].style, static_cast<unsigned>(MB_ICONINFORMATION));

    CheckRow(IDC_EXTENSION_ON);
    SetItemText(dialog, IDC_EXTENSION_LIST, ".JPG//png/");
    EXPECT_EQ(ItemText(dialog, IDC_EXTENSION_LIST), "jpg/png/");
    EXPECT_EQ(script.boxes.size(), 2u) << "extensions are filtered silently";

    Click(dialog, IDC_EXTENSION_HELP);
    EXPECT_EQ(script.boxes.back().caption, "Defining extension filter");
    EXPECT_EQ(script.boxes.back().text, "Type the extensions separated by slashes, for example:\n\nbmp/jpg/jpeg/png/gif");
}

TEST_F(FiltersDialogTest, AcceptStoresNormalisedRulesAndCaptionsTheButton)
{
    Open();
    CheckRow(IDC_EXTENSION_ON);
    SetItemText(dialog, IDC_EXTENSION_LIST, "jpg/png/");
    CheckRow(IDC_SIZE_ON);
    Choose(IDC_SIZE_MODE, 3);
    SetItemText(dialog, IDC_SIZE_FROM, "5");
    Choose(IDC_SIZE_FROM_UNIT, 2);
    SetItemText(dialog, IDC_SIZE_TO, "100");
    Choose(IDC_SIZE_TO_UNIT, 1);
    Click(dialog, IDC_FILTERS_ACCEPT);
    EXPECT_FALSE(IsOpen());
    EXPECT_TRUE(criteria->extensionRuleOn);
    EXPECT_EQ(criteria->extensionList, "jpg/png");
    EXPECT_TRUE(criteria->sizeRuleOn);
    EXPECT_EQ(criteria->sizeMode, SizeRuleMode::Between);
    EXPECT_EQ(criteria->sizeFrom, 102400u);
    EXPECT_EQ(criteria->sizeFromUnit, SizeUnit::Kilobytes);
    EXPECT_EQ(criteria->sizeTo, 5242880u);
    EXPECT_EQ(criteria->sizeToUnit, SizeUnit::Megabytes);
    EXPECT_EQ(ItemText(findPageWindow, IDC_FIND_FILTERS), "Specified filters");

    // Opening again shows the stored rows, each number in its own unit.
    Open();
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SIZE_ON), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(ItemText(dialog, IDC_SIZE_FROM), "100");
    EXPECT_EQ(Selected(IDC_SIZE_FROM_UNIT), 1);
    EXPECT_EQ(ItemText(dialog, IDC_SIZE_TO), "5");
    EXPECT_TRUE(IsShown(dialog, IDC_SIZE_TO));
    EXPECT_EQ(ItemText(dialog, IDC_EXTENSION_LIST), "jpg/png");

    // Switching the rows off again leaves no filter.
    CheckRow(IDC_EXTENSION_ON, false);
    CheckRow(IDC_SIZE_ON, false);
    CheckRow(IDC_NAME_ON);  // checked but empty: off
    Click(dialog, IDC_FILTERS_ACCEPT);
    EXPECT_FALSE(criteria->filtersSpecified);
    EXPECT_FALSE(criteria->nameRuleOn);
    EXPECT_EQ(ItemText(findPageWindow, IDC_FIND_FILTERS), "*Specify filters");
}

TEST_F(FiltersDialogTest, ZeroSizeOverridesContentAndDiscardChangesNothing)
{
    Open();
    CheckRow(IDC_CONTENT_ON);
    SetItemText(dialog, IDC_CONTENT_TEXT, "Hello");
    CheckRow(IDC_SIZE_ON);
    Choose(IDC_SIZE_MODE, 2);  // maximum 0 B is equal to 0 B
    SetItemText(dialog, IDC_SIZE_FROM, "0");
    Click(dialog, IDC_FILTERS_ACCEPT);
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].caption, "Conflicting rules");
    EXPECT_EQ(script.boxes[0].text, "You have selected files with zero size,\nwhich overrides content filtering.");
    EXPECT_FALSE(criteria->contentRuleOn);
    EXPECT_EQ(criteria->contentText, "hello");
    EXPECT_EQ(criteria->sizeMode, SizeRuleMode::EqualTo);

    const SearchCriteria before = *criteria;
    Open();
    CheckRow(IDC_SIZE_ON, false);
    Click(dialog, IDC_FILTERS_DISCARD);
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(criteria->sizeRuleOn, before.sizeRuleOn);
    EXPECT_EQ(ItemText(findPageWindow, IDC_FIND_FILTERS), "Specified filters");
}

TEST_F(FiltersDialogTest, FolderSearchDisablesFileRowsAndShortensTheAttributeSummary)
{
    criteria->extensionRuleOn = true;
    criteria->extensionList = "txt";
    criteria->attributeRuleOn = true;
    criteria->attributeFlags[static_cast<int>(AttributeFlag::Hidden)] = 1;
    criteria->attributeFlags[static_cast<int>(AttributeFlag::Temporary)] = 1;
    criteria->attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)] = 1;
    Open(1);
    for (int id : {IDC_EXTENSION_ON, IDC_CONTENT_ON, IDC_SIZE_ON}) EXPECT_FALSE(IsEnabledItem(dialog, id)) << id;
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_EXTENSION_ON), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(ItemText(dialog, IDC_EXTENSION_LIST), "");
    EXPECT_EQ(ItemText(dialog, IDC_ATTRIBUTES_SUMMARY), "hidden reparse");
    Click(dialog, IDC_FILTERS_ACCEPT);
    EXPECT_FALSE(criteria->extensionRuleOn);
    EXPECT_TRUE(criteria->attributeRuleOn);

    Open(0);
    EXPECT_EQ(ItemText(dialog, IDC_ATTRIBUTES_SUMMARY), "hidden temporary ");
}

TEST_F(FiltersDialogTest, AttributesDialogKeepsCompressedAndEncryptedApartAndWritesTheSummary)
{
    Open(0);
    criteria->searchTarget = SearchTarget::Files;
    criteria->attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)] = 1;
    AttributesTarget attributes{criteria, GetDlgItem(dialog, IDC_ATTRIBUTES_SUMMARY)};
    HWND box = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_ATTRIBUTES), dialog, AttributesDialogProc,
                                  reinterpret_cast<LPARAM>(&attributes));
    ASSERT_NE(box, nullptr);
    ShowWindow(box, SW_SHOW);
    EXPECT_EQ(WindowText(box), " Attributes");
    EXPECT_FALSE(IsEnabledItem(box, IDC_ATTRIBUTE_REPARSE));
    EXPECT_EQ(criteria->attributeFlags[static_cast<int>(AttributeFlag::ReparsePoint)], 0);
    EXPECT_TRUE(IsEnabledItem(box, IDC_ATTRIBUTE_SPARSE));

    Click(box, IDC_ATTRIBUTE_COMPRESSED);
    Click(box, IDC_ATTRIBUTE_ENCRYPTED);
    EXPECT_EQ(IsDlgButtonChecked(box, IDC_ATTRIBUTE_COMPRESSED), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(box, IDC_ATTRIBUTE_ENCRYPTED), static_cast<UINT>(BST_CHECKED));
    Click(box, IDC_ATTRIBUTE_ARCHIVE);
    Click(box, IDC_ATTRIBUTES_OK);
    EXPECT_FALSE(IsWindowVisible(box));
    EXPECT_EQ(ItemText(dialog, IDC_ATTRIBUTES_SUMMARY), "archive encrypted ");
    EXPECT_EQ(criteria->attributeFlags[static_cast<int>(AttributeFlag::Archive)], 1);
    EXPECT_EQ(criteria->attributeFlags[static_cast<int>(AttributeFlag::Compressed)], 0);
    DestroyWindow(box);

    // The attribute row on with no flag set stores no attribute rule.
    for (auto& flag : criteria->attributeFlags) flag = 0;
    CheckRow(IDC_ATTRIBUTES_ON);
    Click(dialog, IDC_FILTERS_ACCEPT);
    EXPECT_FALSE(criteria->attributeRuleOn);
}

}  // namespace
}  // namespace tolvane::test
