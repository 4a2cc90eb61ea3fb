// The writable data of a loaded shared library, which holds all its process-wide records, saved
// once and put back on demand: the fuzz targets' way to load the plug-in afresh (linked_plugin.cpp).
#pragma once

namespace fuzz {

// Saves the writable data of the loaded shared library whose file name contains `libraryName`.
// Call once, before the plug-in runs for the first time.
void SaveLoadTimeImage(const char* libraryName);
// Puts the saved image back.
void RestoreLoadTimeImage();

}  // namespace fuzz
