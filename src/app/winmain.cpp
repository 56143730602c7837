// The program's entry: the main window, or one of the extra tools alone.
#include <windows.h>

#include "app/main_sheet.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    using namespace tolvane;
    appInstance = instance;
    InitProgramControls();
    // The extra tools' windows are not part of this program yet: their
    // switches open nothing.
    if (ChooseStartTask(commandLine) == StartTask::MainWindow) RunMainSheet();
    ReleaseMainSheet();
    return 0;
}
