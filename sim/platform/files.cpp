// File-system helpers over std::filesystem and fstream, the same on every platform.
#include "sim/platform/files.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <utility>

#include "sim/platform/temporary_paths.h"

namespace sim {

namespace fs = std::filesystem;

fs::path MakeTempDirectory(const std::string& prefix) { return MakeTempDirectory(prefix, fs::temp_directory_path()); }

fs::path MakeTempDirectory(const std::string& prefix, const fs::path& parent) {
    std::random_device random;
    for (;;) {
        const fs::path dir = parent / (prefix + std::to_string(random()));
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
    Result<std::string> bytes = ReadInputFile(path, UINT64_MAX);
    if (!bytes) return std::nullopt;
    return std::move(*bytes);
}

// The type is looked up before the file is opened, so a FIFO or a device is never read from (nor
// waited on).
Status CheckRegularFile(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    switch (status.type()) {
        case fs::file_type::regular: return {};
        case fs::file_type::not_found: return Failure("no such file");
        case fs::file_type::directory: return Failure("a folder, not a file");
        case fs::file_type::fifo: return Failure("a FIFO (named pipe), not a regular file");
        case fs::file_type::character:
        case fs::file_type::block: return Failure("a device, not a regular file");
        case fs::file_type::socket: return Failure("a socket, not a regular file");
        default: return Failure(error ? "cannot read the file: " + error.message() : "not a regular file");
    }
}

Result<std::string> ReadInputFile(const fs::path& path, uint64_t maxBytes) {
    if (Status regular = CheckRegularFile(path); !regular) return regular;
    std::error_code error;
    const uint64_t size = fs::file_size(path, error);
    if (error) return Failure("cannot read the file: " + error.message());
    if (size > maxBytes) {
        return Failure("the file holds " + std::to_string(size) + " bytes, more than the " + std::to_string(maxBytes) +
                       " a tool reads");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return Failure("cannot read the file");
    // Read straight into place at the size the file has, then whatever it grew by meanwhile: never
    // more than the limit, even if the file grows while it is read.
    std::string bytes(static_cast<size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<size_t>(in.gcount()));
    char buffer[64 * 1024];
    while (in && (in.read(buffer, sizeof buffer) || in.gcount() > 0)) {
        bytes.append(buffer, static_cast<size_t>(in.gcount()));
        if (bytes.size() > maxBytes)
            return Failure("the file grew past " + std::to_string(maxBytes) + " bytes while it was read");
    }
    if (in.bad()) return Failure("cannot read the file");
    return bytes;
}

Status WriteFileBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    if (out.fail()) return Failure("cannot write " + path.string());
    return {};
}

namespace {

// Bytes of the target's name kept in its temporary name: room for the rest in a 255-byte name.
constexpr size_t kMaxNameInTemporaryName = 200;

// ".NAME.kov-NUMBER.part" beside the target: hidden, and no picture or trace by its extension.
fs::path FreeTemporaryName(const fs::path& target) {
    std::random_device random;
    const std::string name = target.filename().string().substr(0, kMaxNameInTemporaryName);
    for (;;) {
        const fs::path candidate = target.parent_path() / ("." + name + ".kov-" + std::to_string(random()) + ".part");
        std::error_code error;
        if (!fs::exists(fs::symlink_status(candidate, error))) return candidate;
    }
}

// The file a path names once its links are followed (those that lead somewhere).
fs::path FollowLinks(const fs::path& path) {
    std::error_code error;
    const fs::path followed = fs::weakly_canonical(path, error);
    return error ? fs::absolute(path) : followed;
}

}  // namespace

WholeFile::WholeFile(const fs::path& target) : given_(target.string()), target_(FollowLinks(target)) {
    std::error_code error;
    const fs::file_type type = fs::status(target_, error).type();
    if (type != fs::file_type::not_found && type != fs::file_type::regular && type != fs::file_type::none) {
        writeTo_ = target_;
        return;
    }
    writeTo_ = FreeTemporaryName(target_);
    RegisterTemporaryPath(writeTo_);
    pending_ = true;
}

WholeFile::~WholeFile() {
    if (!pending_) return;
    std::error_code ignored;
    fs::remove(writeTo_, ignored);
    ForgetTemporaryPath(writeTo_);
}

Status WholeFile::Commit() {
    if (!pending_) return {};
    std::error_code error;
    const fs::file_status earlier = fs::status(target_, error);
    if (earlier.type() == fs::file_type::regular) fs::permissions(writeTo_, earlier.permissions(), error);
    // std::filesystem::rename replaces the target on every platform (MoveFileEx with replace on Windows).
    fs::rename(writeTo_, target_, error);
    if (error) return Failure("cannot write " + given_ + ": " + error.message());
    ForgetTemporaryPath(writeTo_);
    pending_ = false;
    return {};
}

Status WriteWholeFileBytes(const fs::path& path, const std::string& bytes) {
    return WriteWholeFile(path, [&](const fs::path& where) -> Status {
        std::ofstream out(where, std::ios::binary | std::ios::trunc);
        if (out) out << bytes;
        if (out) out.close();
        if (!out) return Failure("cannot write " + path.string() + ": " + std::strerror(errno));
        return {};
    });
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
