// The plug-in reads and writes its files in the current directory. Fuzz inputs run inside a
// scratch directory of their own, entered per input so that paths given to libFuzzer itself
// (corpus, artifacts) keep their meaning.
#pragma once

#include <cstdlib>
#include <filesystem>

#include "sim/platform/files.h"

namespace fuzz {

inline const std::filesystem::path& ScratchDirectory() {
    static const std::filesystem::path dir = sim::MakeTempDirectory("kov-fuzz-");
    static const int removedAtExit = std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(ScratchDirectory(), ignored);
    });
    (void)removedAtExit;
    return dir;
}

struct InScratchDirectory : sim::ScopedCurrentDirectory {
    InScratchDirectory() : sim::ScopedCurrentDirectory(ScratchDirectory()) {}
};

}  // namespace fuzz
