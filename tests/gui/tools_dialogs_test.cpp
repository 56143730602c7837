#include <windows.h>

#include <filesystem>
#include <string>

#include "gui_support.h"
#include "resource_ids.h"
#include "support/temp_folder.h"
#include "tools/win32/tool_dialogs.h"

namespace tolvane::test {
namespace {

namespace fs = std::filesystem;

class ToolDialogTest : public GuiTest {
protected:
    void TearDown() override
    {
        if (dialog) DestroyWindow(dialog);
        GuiTest::TearDown();
    }

    void Open(int dialogId, DLGPROC procedure)
    {
        dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialogId), nullptr, procedure, 0);
        ASSERT_NE(dialog, nullptr);
    }

    void Choose(int comboBox, int item)
    {
        SendDlgItemMessageA(dialog, comboBox, CB_SETCURSEL, item, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(comboBox, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, comboBox)));
    }

    void Type(int edit, const std::string& keys)
    {
        for (char key : keys) SendDlgItemMessageA(dialog, edit, WM_CHAR, static_cast<WPARAM>(key), 0);
    }

    bool ReadOnly(int edit) const { return (GetWindowLongA(GetDlgItem(dialog, edit), GWL_STYLE) & ES_READONLY) != 0; }

    HWND dialog = nullptr;
};

TEST_F(ToolDialogTest, NewFoldersPreviewFollowsEveryChange)
{
    Open(IDD_NEW_FOLDERS, NewFoldersDialogProc);
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREVIEW), "A");
    EXPECT_FALSE(IsEnabledItem(dialog, IDC_NF_COUNT));
    EXPECT_FALSE(IsEnabledItem(dialog, IDC_NF_ZEROS));
    EXPECT_TRUE(ReadOnly(IDC_NF_PREFIX));

    Choose(IDC_NF_SEQUENCE, 2);
    EXPECT_TRUE(IsEnabledItem(dialog, IDC_NF_COUNT));
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREVIEW), "1");
    Choose(IDC_NF_COUNT, 9);
    Click(dialog, IDC_NF_ZEROS);
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREVIEW), "001");

    Click(dialog, IDC_NF_PREFIX_ON);
    EXPECT_FALSE(ReadOnly(IDC_NF_PREFIX));
    Type(IDC_NF_PREFIX, "img_");
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREVIEW), "img_001");
    Click(dialog, IDC_NF_PREFIX_ON);
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREFIX), "");
    EXPECT_TRUE(ReadOnly(IDC_NF_PREFIX));
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREVIEW), "001");

    Choose(IDC_NF_SEQUENCE, 1);
    EXPECT_FALSE(IsEnabledItem(dialog, IDC_NF_ZEROS));
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREVIEW), "a");
}

TEST_F(ToolDialogTest, NewFoldersNameBoxesRefuseBadCharactersAndStopShortOfTheLengthLimit)
{
    Open(IDD_NEW_FOLDERS, NewFoldersDialogProc);
    Click(dialog, IDC_NF_SUFFIX_ON);
    Type(IDC_NF_SUFFIX, "a:b");
    EXPECT_EQ(ItemText(dialog, IDC_NF_SUFFIX), "ab");
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, "Names cannot contain any of the following characters:\n\\ / : * ? \" < > |");
    EXPECT_EQ(script.boxes[0].caption, "Info");
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREVIEW), "Aab");

    // Parent 190 + suffix 2: the prefix takes 7 more characters, not 8.
    SetItemText(dialog, IDC_NF_PARENT, std::string(190, 'p'));
    Click(dialog, IDC_NF_PREFIX_ON);
    Type(IDC_NF_PREFIX, "0123456789");
    EXPECT_EQ(ItemText(dialog, IDC_NF_PREFIX), "0123456");
}

TEST_F(ToolDialogTest, NewFoldersCreatesTheSeriesInTheChosenParent)
{
    TempFolder temp;
    Open(IDD_NEW_FOLDERS, NewFoldersDialogProc);
    script.folders.push_back(temp.PathOf("p"));
    fs::create_directory(temp.PathOf("p"));
    Click(dialog, IDC_NF_SELECT_PARENT);
    EXPECT_EQ(script.pickerTitles.back(), "Select the parent directory");
    EXPECT_EQ(ItemText(dialog, IDC_NF_PARENT), temp.PathOf("p"));

    Click(dialog, IDC_NF_CREATE);
    EXPECT_TRUE(fs::is_directory(temp.PathOf("p/A")));
    EXPECT_TRUE(fs::is_directory(temp.PathOf("p/Z")));
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, "Folders created!");
}

TEST_F(ToolDialogTest, FakeFileAsksForAPathThenCreatesTheChosenSize)
{
    TempFolder temp;
    Open(IDD_FAKE_FILE, FakeFileDialogProc);
    Click(dialog, IDC_FF_CREATE);
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, "Select the desired filepath.");
    EXPECT_EQ(script.boxes[0].caption, "Create what?");

    const std::string path = temp.PathOf("fake.bin");
    script.fileNames.push_back(path);
    Click(dialog, IDC_FF_SAVE_AS);
    EXPECT_EQ(script.fileDialogs.back(), FileDialogKind::SaveAnyFile);
    EXPECT_EQ(ItemText(dialog, IDC_FF_PATH), path);
    SetItemText(dialog, IDC_FF_SIZE, "5");
    SendDlgItemMessageA(dialog, IDC_FF_UNIT, CB_SETCURSEL, 1, 0);
    Click(dialog, IDC_FF_CREATE);

    EXPECT_EQ(fs::file_size(path), 5u * 1024);
    EXPECT_EQ(ReadWholeFile(path), std::string(5 * 1024, '\0'));
    EXPECT_EQ(script.boxes.back().text, "The file created succesfully");
    EXPECT_EQ(ItemText(dialog, IDC_FF_PATH), "");
}

TEST_F(ToolDialogTest, AToolAlreadyOpenIsBroughtToTheFrontInsteadOfASecondOne)
{
    Open(IDD_NEW_FOLDERS, NewFoldersDialogProc);
    ShowWindow(dialog, SW_SHOW);
    EXPECT_EQ(WindowText(dialog), NewFoldersTitle);
    EXPECT_FALSE(RunToolAlone(NewFoldersTitle, IDD_NEW_FOLDERS, NewFoldersDialogProc));
}

}  // namespace
}  // namespace tolvane::test
