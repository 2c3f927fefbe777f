// The launcher's process entry.
#include <windows.h>

#include "infra/handles.h"
#include "startup/launcher_start.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // Libraries are looked for in the system folder only, never beside the launcher, where anyone who
    // can write that folder could place one. The libraries the program imports at load time are all on
    // the system's known-library list; every other one is delay-loaded (cmake/delay-load.cmake) and so
    // first loaded after this line.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    int exitCode = 0;
    {
        // The window released its COM objects when it was destroyed, inside the apartment.
        const vk::ComApartment apartment(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        exitCode = vk::RunLauncher(instance, showCommand);
    }
    // Detached workers (a download being stopped, a news refresh) may still run and use the launcher
    // record and the C++ runtime. Returning from here would run the static destructors under them.
    // ExitProcess, where _exit and quick_exit also end with this C runtime, runs none of ours but
    // stops the workers at any point and then runs every DLL's detach code, which can wait forever
    // for a lock a stopped worker held. TerminateProcess ends the process without either; every file
    // the launcher writes is complete on disk or replaced atomically, so nothing is left half done.
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exitCode));
    return exitCode;
}
