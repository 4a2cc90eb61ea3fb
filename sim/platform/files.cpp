// File-system helpers over std::filesystem and fstream, the same on every platform.
#include "sim/platform/files.h"

#include <fstream>
#include <iterator>
#include <random>

namespace sim {

namespace fs = std::filesystem;

fs::path MakeTempDirectory(const std::string& prefix) {
    std::random_device random;
    for (;;) {
        const fs::path dir = fs::temp_directory_path() / (prefix + std::to_string(random()));
        if (fs::create_directory(dir)) return dir;  // false: the name is taken, draw another
    }
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const fs::path& dir) : previous(fs::current_path()) {
    fs::current_path(dir);
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
    std::error_code ignored;
    fs::current_path(previous, ignored);
}

std::optional<std::string> ReadFileBytes(const fs::path& path) {
    std::error_code error;
    if (fs::is_directory(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

std::string UnreadableFileReason(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) return "no such file";
    if (status.type() == fs::file_type::directory) return "a folder, not a file";
    if (error) return "cannot read the file: " + error.message();
    return "cannot read the file";
}

bool WriteFileBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    return !out.fail();
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

}  // namespace sim
