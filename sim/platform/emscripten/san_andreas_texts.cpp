// The page's San Andreas: the page carries the data gzipped and hands each instance its three
// texts, inflated once by the browser (web/page.js), as Module.kovWorld: zones, roads and links
// one after the other, each ended by a NUL. Read on the first look-up of the map only.
#include <emscripten.h>

#include <cstdlib>
#include <string>

#include "sim/world/san_andreas.h"

namespace {

// The bytes' length, or -1 when this instance was given none.
EM_JS(int, kov_world_size, (), { return Module.kovWorld ? Module.kovWorld.length : -1; });
EM_JS(void, kov_world_copy, (char* to), { HEAPU8.set(Module.kovWorld, to); });

}  // namespace

namespace sim {

SanAndreasTexts BuiltInSanAndreasTexts() {
    static const std::string bytes = [] {
        const int size = kov_world_size();
        if (size < 0) StopOnDefect("the page gave this instance no San Andreas (Module.kovWorld)");
        std::string copied(static_cast<size_t>(size), '\0');
        kov_world_copy(copied.data());
        return copied;
    }();
    std::string_view texts[3];
    std::string_view rest = bytes;
    for (std::string_view& text : texts) {
        const size_t end = rest.find('\0');
        if (end == std::string_view::npos)
            StopOnDefect("the page's San Andreas is not three texts each ended by a NUL");
        text = rest.substr(0, end);
        rest.remove_prefix(end + 1);
    }
    return {texts[0], texts[1], texts[2]};
}

}  // namespace sim
