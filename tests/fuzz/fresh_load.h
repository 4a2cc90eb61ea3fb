// A freshly loaded plug-in for every fuzz input without reloading the library: its writable data,
// which holds every process-wide record, is put back to the image it had right after loading.
#pragma once

namespace fuzz {

// Saves the writable data of the loaded shared library whose file name contains `libraryName`.
// Call once, before the plug-in runs for the first time.
void SaveLoadTimeImage(const char* libraryName);
// Puts the saved image back: the plug-in's records are as the loader left them.
void RestoreLoadTimeImage();

}  // namespace fuzz
