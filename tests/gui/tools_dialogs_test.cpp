#include "gui_support.h"
#include "tools/win32/tool_dialogs.h"

namespace tolvane::test {
namespace {

void Type(HWND dialog, int edit, const std::string& keys)
{
    for (char key : keys) SendDlgItemMessageA(dialog, edit, WM_CHAR, static_cast<WPARAM>(key), 0);
}

TEST_F(GuiTest, NewFoldersPreviewFollowsEveryChangeAndCreateMakesTheSeries)
{
    TempFolder temp;
    HWND dialog = OpenDialog(IDD_NEW_FOLDERS, NewFoldersDialogProc);
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREVIEW), "A");
    Choose(dialog, IDC_NF_SEQUENCE, 2);
    EXPECT_TRUE(IsEnabledItem(dialog, IDC_NF_COUNT));
    Choose(dialog, IDC_NF_COUNT, 9);
    Click(dialog, IDC_NF_ZEROS);
    Click(dialog, IDC_NF_PREFIX_ON);
    Type(dialog, IDC_NF_PREFIX, "i:mg_");
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREVIEW), "img_001");
    Click(dialog, IDC_NF_PREFIX_ON);
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREVIEW) + ItemText(dialog, IDC_NF_PREFIX), "001") << "a cleared box empties";
    Choose(dialog, IDC_NF_SEQUENCE, 1);
    EXPECT_FALSE(IsEnabledItem(dialog, IDC_NF_ZEROS) || IsEnabledItem(dialog, IDC_NF_COUNT));
    // Parent 190 + suffix 2: the prefix edit takes 7 more characters, not 8.
    SetItemText(dialog, IDC_NF_PARENT, std::string(190, 'p'));
    Click(dialog, IDC_NF_SUFFIX_ON);
    Type(dialog, IDC_NF_SUFFIX, "ab");
    Click(dialog, IDC_NF_PREFIX_ON);
    Type(dialog, IDC_NF_PREFIX, "0123456789");
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREFIX), "0123456");

    temp.MakeFolder("p");
    script.folders.push_back(temp.PathOf("p"));
    Click(dialog, IDC_NF_SELECT_PARENT);
    Click(dialog, IDC_NF_PREFIX_ON);
    Click(dialog, IDC_NF_CREATE);
    EXPECT_TRUE(fs::is_directory(temp.PathOf("p/aab")) && fs::is_directory(temp.PathOf("p/zab")));
    DestroyWindow(dialog);
}

TEST_F(GuiTest, FakeFileCreatesTheChosenSizeAtThePathOfItsSaveAsDialog)
{
    TempFolder temp;
    HWND dialog = OpenDialog(IDD_FAKE_FILE, FakeFileDialogProc);
    script.fileNames.push_back(temp.PathOf("fake.bin"));
    Click(dialog, IDC_FF_SAVE_AS);
    SetItemText(dialog, IDC_FF_SIZE, "5");
    SendDlgItemMessageA(dialog, IDC_FF_UNIT, CB_SETCURSEL, 1, 0);
    Click(dialog, IDC_FF_CREATE);
    EXPECT_TRUE(fs::file_size(temp.PathOf("fake.bin")) == 5u * 1024 && ItemText(dialog, IDC_FF_PATH).empty());
    DestroyWindow(dialog);
}

}  // namespace
}  // namespace tolvane::test
