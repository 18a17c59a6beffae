#pragma once
// The program's entry and exit: program-wide state, the language folder, the main routine.
#include <windows.h>

#include <cstdint>
#include <string>

extern uint32_t UserLangID;
extern HANDLE AppMutex;

void InitializeSharedGlobals();
void InitializeMainUnit();
void ReleaseAppMutex();

// The installation folder that the registry names, or empty.
std::wstring GetInstallPath();
// The folder of the language files below the installation folder, or empty.
std::wstring GetMessagesDir();
// Appends "Messages" to an installation folder (a backslash between them when missing).
std::wstring MessagesDirOf(const std::wstring& installPath);

// Start-up, message loop and shutdown; returns the process exit code.
int ProgramMain();
