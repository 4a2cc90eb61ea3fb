// The Windows types and the five platform functions the plug-in uses. On Windows they come from
// the system headers; elsewhere the simulated host implements them with the same signatures.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef uint32_t DWORD;
typedef int BOOL;
typedef void* LPVOID;
typedef const char* LPCSTR;
typedef char* LPSTR;
#define WINAPI

extern "C" {
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR out, DWORD size, LPCSTR path);
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR path);
DWORD GetLastError(void);
DWORD GetTickCount(void);
short GetAsyncKeyState(int virtualKey);
}
#endif
