// The program's entry: the main window, or one of the extra tools alone.
#include <windows.h>

#include "app/main_sheet.h"
#include "resource_ids.h"
#include "tools/win32/tool_dialogs.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    using namespace tolvane;
    appInstance = instance;
    InitProgramControls();
    switch (ChooseStartTask(commandLine)) {
    case StartTask::NewFolders: RunToolAlone(NewFoldersTitle, IDD_NEW_FOLDERS, NewFoldersDialogProc); break;
    case StartTask::CreateFakeFile: RunToolAlone(FakeFileTitle, IDD_FAKE_FILE, FakeFileDialogProc); break;
    case StartTask::MainWindow: RunMainSheet(); break;
    }
    ReleaseMainSheet();
    return 0;
}
