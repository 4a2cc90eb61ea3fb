// A fuzz input read as a command line: NUL bytes end arguments, so an argument may be empty or
// hold any other byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

inline std::vector<std::string> Arguments(const uint8_t* data, size_t size) {
    std::vector<std::string> args;
    std::string arg;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] != '\0') {
            arg.push_back(static_cast<char>(data[i]));
            continue;
        }
        args.push_back(arg);
        arg.clear();
    }
    if (!arg.empty()) args.push_back(arg);
    return args;
}

}  // namespace fuzz
