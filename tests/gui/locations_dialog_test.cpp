#include <shlobj.h>

#include <cstring>

#include "find/win32/locations_dialog.h"
#include "gui_support.h"

namespace tolvane::test {
namespace {

class LocationsDialogTest : public GuiTest {
protected:
    void TearDown() override
    {
        DestroyWindow(dialog);
        DestroyWindow(button);
        GuiTest::TearDown();
    }
    // A folder path as the picker, the shell or a file gives it: no trailing backslash.
    std::string Folder(const char* relative) const
    {
        const std::string path = temp.MakeFolder(relative);
        return path.substr(0, path.size() - 1);
    }
    void Add(const std::string& folder)
    {
        script.folders.push_back(folder);
        Click(dialog, IDC_LOCATIONS_ADD);
    }
    std::vector<std::string> Items() const { return ListBoxItems(GetDlgItem(dialog, IDC_LOCATIONS_LIST)); }

    TempFolder temp;
    LocationList stored;
    HWND button =
        CreateWindowExA(0, "BUTTON", "*Specify locations", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr, nullptr, nullptr);
    LocationsDialogTarget target{&stored, button, " Find - Specify locations"};
    HWND dialog = nullptr;
};

// The list's own rules (questions, covered entries, file format) are the editor's; the window hands it the picked
// and dropped folders, the selection and the file names.
TEST_F(LocationsDialogTest, EveryButtonAndADropReachTheListAcceptStoresItAndDiscardKeepsWhatWasStored)
{
    const std::string data = Folder("Data"), dropped = Folder("dropped"), note = temp.WriteFile("note.txt", "x");
    stored = {.locationPaths = {data}, .locationCount = 1};
    dialog = OpenDialog(IDD_LOCATIONS, LocationsDialogProc, nullptr, &target);
    EXPECT_EQ(WindowText(dialog), " Find - Specify locations");
    Add(Folder("Data/Old"));
    CheckRow(dialog, IDC_LOCATIONS_SUBFOLDERS);
    EXPECT_EQ(Items(), std::vector<std::string>{data}) << "a covered entry goes";
    // A dropped file is no location; a dropped folder is.
    const std::string names = note + '\0' + dropped + '\0' + '\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(memory);
    SendMessageA(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    const std::vector<std::string> both{data, dropped};
    EXPECT_EQ(Items(), both);
    Click(dialog, IDC_LOCATIONS_ACCEPT);
    EXPECT_TRUE(!IsWindowVisible(dialog) && stored.includeSubfolders && stored.locationPaths == both);
    EXPECT_EQ(WindowText(button), "Specified locations");

    DestroyWindow(dialog);
    dialog = OpenDialog(IDD_LOCATIONS, LocationsDialogProc, nullptr, &target);
    const std::string listFile = temp.PathOf("list.txt");
    script.answers = {IDYES, IDYES};
    script.fileNames = {listFile, listFile};
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_LIST, LB_SETSEL, TRUE, 1);
    Click(dialog, IDC_LOCATIONS_DEL);
    Click(dialog, IDC_LOCATIONS_SAVE);
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_LIST, LB_SETSEL, TRUE, 0);
    Click(dialog, IDC_LOCATIONS_DEL);
    Click(dialog, IDC_LOCATIONS_LOAD);
    EXPECT_EQ(Items(), std::vector<std::string>{data});
    Click(dialog, IDC_LOCATIONS_DISCARD);
    EXPECT_TRUE(!IsWindowVisible(dialog) && stored.locationPaths == both);
}

}  // namespace
}  // namespace tolvane::test
