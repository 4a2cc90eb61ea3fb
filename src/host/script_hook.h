// The six operations of the host's script hook library. Declared as plain C++ functions so that
// an MSVC build imports them under the library's decorated names; the MinGW build maps its own
// mangled names onto those through cmake/ScriptHookV.def.
#pragma once

#include <cstdint>

#include "host/platform.h"

void scriptRegister(HINSTANCE module, void (*entry)());
void scriptUnregister(HINSTANCE module);
void scriptWait(DWORD milliseconds);
void nativeInit(uint64_t hash);
void nativePush64(uint64_t value);
uint64_t* nativeCall();
