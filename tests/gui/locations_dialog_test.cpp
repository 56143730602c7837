#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "find/win32/locations_dialog.h"
#include "gui_support.h"
#include "resource_ids.h"
#include "support/temp_folder.h"

namespace tolvane::test {
namespace {

// A folder path as the picker, the shell or a file gives it: no trailing backslash.
std::string Folder(const TempFolder& temp, const char* relative)
{
    std::string path = temp.MakeFolder(relative);
    path.pop_back();
    return path;
}

class LocationsDialogTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        button = CreateWindowExA(0, "BUTTON", "*Specify locations", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr,
                                 nullptr, nullptr);
    }
    void TearDown() override
    {
        if (dialog) DestroyWindow(dialog);
        DestroyWindow(button);
        GuiTest::TearDown();
    }

    void Open()
    {
        target = {&stored, button, " Find - Specify locations"};
        dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_LOCATIONS), nullptr,
                                    LocationsDialogProc, reinterpret_cast<LPARAM>(&target));
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);  // as the modal loop shows it
    }

    std::vector<std::string> Items() const
    {
        HWND list = GetDlgItem(dialog, IDC_LOCATIONS_LIST);
        std::vector<std::string> items;
        const auto count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int item = 0; item < count; ++item) {
            char text[MAX_PATH] = {};
            SendMessageA(list, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text));
            items.push_back(text);
        }
        return items;
    }

    void Add(const std::string& folder)
    {
        script.folders.push_back(folder);
        Click(dialog, IDC_LOCATIONS_ADD);
    }

    void Drop(const std::vector<std::string>& paths)
    {
        std::string names;
        for (const std::string& path : paths) names += path + '\0';
        names += '\0';
        HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
        auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
        files->pFiles = sizeof(DROPFILES);
        files->fWide = FALSE;
        std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), names.data(), names.size());
        GlobalUnlock(memory);
        SendMessageA(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    }

    bool Closed() const { return !IsWindowVisible(dialog); }

    TempFolder temp;
    LocationList stored;
    LocationsDialogTarget target{};
    HWND button = nullptr;
    HWND dialog = nullptr;
};

TEST_F(LocationsDialogTest, OpensWithTheStoredListAndItsTitle)
{
    const std::string data = Folder(temp, "Data");
    stored.locationPaths = {data};
    stored.locationCount = 1;
    stored.includeSubfolders = true;
    Open();
    EXPECT_EQ(WindowText(dialog), " Find - Specify locations");
    EXPECT_EQ(Items(), std::vector<std::string>{data});
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_LOCATIONS_SUBFOLDERS), static_cast<UINT>(BST_CHECKED));
    for (int id : {IDC_LOCATIONS_ADD, IDC_LOCATIONS_DEL, IDC_LOCATIONS_SAVE, IDC_LOCATIONS_LOAD})
        EXPECT_TRUE(IsEnabledItem(dialog, id));
    EXPECT_EQ(ItemText(dialog, IDC_LOCATIONS_SAVE), "save list");
}

TEST_F(LocationsDialogTest, AddingNormalisesAndSubfoldersRemovesCoveredEntries)
{
    const std::string data = Folder(temp, "Data");
    const std::string old = Folder(temp, "Data/Old");
    const std::string data2 = Folder(temp, "Data2");
    Open();
    Add(data);
    Add(data);
    Add(old);
    EXPECT_EQ(script.pickerTitles, std::vector<std::string>(3, "Add a directory"));
    EXPECT_EQ(Items(), (std::vector<std::string>{data, old}));

    CheckDlgButton(dialog, IDC_LOCATIONS_SUBFOLDERS, BST_CHECKED);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_LOCATIONS_SUBFOLDERS, BN_CLICKED), 0);
    EXPECT_EQ(Items(), std::vector<std::string>{data});
    Add(data2);  // the byte after the common part is not a backslash
    EXPECT_EQ(Items(), (std::vector<std::string>{data, data2}));

    Click(dialog, IDC_LOCATIONS_ADD);  // the picker cancelled: nothing changes
    EXPECT_EQ(Items(), (std::vector<std::string>{data, data2}));
    EXPECT_TRUE(script.boxes.empty());
}

TEST_F(LocationsDialogTest, DroppingAFileAndAFolderAddsOnlyTheFolder)
{
    const std::string folder = Folder(temp, "dropped");
    const std::string file = temp.WriteFile("note.txt", "x");
    Open();
    Drop({file, folder});
    EXPECT_EQ(Items(), std::vector<std::string>{folder});
}

TEST_F(LocationsDialogTest, DelAsksBeforeRemovingOrClearing)
{
    const std::string a = Folder(temp, "a");
    const std::string b = Folder(temp, "b");
    Open();
    Click(dialog, IDC_LOCATIONS_DEL);  // empty list, nothing selected: no question
    EXPECT_TRUE(script.boxes.empty());

    Add(a);
    Add(b);
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_LIST, LB_SETSEL, TRUE, 1);
    script.answers = {IDNO, IDYES};
    Click(dialog, IDC_LOCATIONS_DEL);
    EXPECT_EQ(Items(), (std::vector<std::string>{a, b}));
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_LIST, LB_SETSEL, TRUE, 1);
    Click(dialog, IDC_LOCATIONS_DEL);
    EXPECT_EQ(Items(), std::vector<std::string>{a});
    ASSERT_EQ(script.boxes.size(), 2u);
    EXPECT_EQ(script.boxes[1].text, "Remove selected item(s)?");
    EXPECT_EQ(script.boxes[1].caption, "Confirm");

    script.answers = {IDYES};
    Click(dialog, IDC_LOCATIONS_DEL);
    ASSERT_EQ(script.boxes.size(), 3u);
    EXPECT_EQ(script.boxes[2].text, "No items selected. Do you want to clear the box?");
    EXPECT_EQ(script.boxes[2].caption, "Removing");
    EXPECT_TRUE(Items().empty());
}

TEST_F(LocationsDialogTest, SavedListLoadsIntoAnotherDialogAddingToItsEntries)
{
    const std::string a = Folder(temp, "a");
    const std::string b = Folder(temp, "b");
    const std::string c = Folder(temp, "c");
    const std::string listFile = temp.PathOf("list.txt");
    Open();
    Click(dialog, IDC_LOCATIONS_SAVE);
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, "The locations list is blank.");
    EXPECT_TRUE(script.fileDialogs.empty()) << "a blank list asks for no file";

    Add(b);
    Add(a);
    script.fileNames.push_back(listFile);
    Click(dialog, IDC_LOCATIONS_SAVE);
    EXPECT_EQ(script.boxes.back().text, "The locations list successfully saved.");
    EXPECT_EQ(ReadWholeFile(listFile), a + "\r\n" + b + "\r\n");
    DestroyWindow(dialog);

    Open();
    Add(c);
    Add(a);
    script.fileNames.push_back(listFile);
    Click(dialog, IDC_LOCATIONS_LOAD);
    EXPECT_EQ(script.fileDialogs.back(), FileDialogKind::OpenText);
    EXPECT_EQ(Items(), (std::vector<std::string>{a, b, c}));
}

TEST_F(LocationsDialogTest, AcceptStoresAndCaptionsTheButtonDiscardLeavesTheList)
{
    const std::string a = Folder(temp, "a");
    Open();
    Add(a);
    CheckDlgButton(dialog, IDC_LOCATIONS_SUBFOLDERS, BST_CHECKED);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_LOCATIONS_SUBFOLDERS, BN_CLICKED), 0);
    Click(dialog, IDC_LOCATIONS_ACCEPT);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(stored.locationPaths, std::vector<std::string>{a});
    EXPECT_TRUE(stored.locationsSpecified);
    EXPECT_TRUE(stored.includeSubfolders);
    EXPECT_EQ(WindowText(button), "Specified locations");
    DestroyWindow(dialog);

    Open();
    script.answers = {IDYES};
    Click(dialog, IDC_LOCATIONS_DEL);
    ASSERT_TRUE(Items().empty());
    Click(dialog, IDC_LOCATIONS_DISCARD);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(stored.locationPaths, std::vector<std::string>{a});
    DestroyWindow(dialog);

    Open();
    script.answers = {IDYES};
    Click(dialog, IDC_LOCATIONS_DEL);
    Click(dialog, IDC_LOCATIONS_ACCEPT);
    EXPECT_TRUE(stored.locationPaths.empty());
    EXPECT_FALSE(stored.locationsSpecified);
    EXPECT_EQ(WindowText(button), "*Specify locations");
}

}  // namespace
}  // namespace tolvane::test
