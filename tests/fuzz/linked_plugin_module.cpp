// The fuzz targets' loads of the plug-in linked in as a shared library: its writable data goes back
// to the load-time image (fresh_load.h) before each, as a fresh copy would start. Loading a library
// per input would pile up libFuzzer's coverage modules; this keeps one.
#include "fresh_load.h"
#include "sim/platform/linked_plugin.h"

namespace sim {

bool PrepareLinkedPluginLoad(std::string*) {
    static const bool saved = (fuzz::SaveLoadTimeImage("libkov_fuzz_plugin"), true);  // before the first run
    (void)saved;
    fuzz::RestoreLoadTimeImage();
    return true;
}

}  // namespace sim
