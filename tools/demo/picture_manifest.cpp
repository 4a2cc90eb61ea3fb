// The record is JSON: {"tours": {"/abs/tour.json": {"01-stop.png": ["hash", ...], ...}, ...}}.
#include "tools/demo/picture_manifest.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <system_error>

#include "sim/platform/files.h"

namespace demo {

namespace fs = std::filesystem;

namespace {

constexpr const char* kManifestName = ".kov-demo-pictures.json";

// FNV-1a, 64 bits, in hex: a file's bytes told apart from any other bytes a user puts there.
std::string HashOf(const std::string& bytes) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// The hash of the regular file (not a link) at path, or none.
std::optional<std::string> HashOfFile(const fs::path& path) {
    std::error_code error;
    if (fs::symlink_status(path, error).type() != fs::file_type::regular) return std::nullopt;
    const std::optional<std::string> bytes = sim::ReadFileBytes(path);
    if (!bytes) return std::nullopt;
    return HashOf(*bytes);
}

std::string TourKey(const fs::path& tour) {
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(tour, error);
    return (error ? fs::absolute(tour) : canonical).string();
}

}  // namespace

PictureManifest::PictureManifest(const fs::path& folder, const fs::path& tour) : folder_(folder), tour_(TourKey(tour)) {
    const std::optional<std::string> text = sim::ReadFileBytes(folder_ / kManifestName);
    if (!text) return;
    const nlohmann::json record = nlohmann::json::parse(*text, nullptr, false);
    if (!record.is_object() || !record.contains("tours") || !record["tours"].is_object()) return;
    for (const auto& [tour, pictures] : record["tours"].items()) {
        if (!pictures.is_object()) continue;
        for (const auto& [name, hashes] : pictures.items()) {
            if (!hashes.is_array()) continue;
            for (const nlohmann::json& hash : hashes) {
                if (hash.is_string()) tours_[tour][name].push_back(hash.get<std::string>());
            }
        }
    }
}

bool PictureManifest::Owns(const std::string& name) const {
    const auto tour = tours_.find(tour_);
    if (tour == tours_.end()) return false;
    const auto picture = tour->second.find(name);
    if (picture == tour->second.end()) return false;
    const std::optional<std::string> hash = HashOfFile(folder_ / name);
    if (!hash) return false;
    for (const std::string& known : picture->second) {
        if (known == *hash) return true;
    }
    return false;
}

sim::Status PictureManifest::Record(const std::string& name, const std::string& bytes) {
    std::vector<std::string> hashes;
    if (Owns(name)) hashes.push_back(*HashOfFile(folder_ / name));
    hashes.push_back(HashOf(bytes));
    tours_[tour_][name] = hashes;
    return Save();
}

sim::Status PictureManifest::Settle(const std::set<std::string>& written) {
    std::map<std::string, std::vector<std::string>>& pictures = tours_[tour_];
    for (auto picture = pictures.begin(); picture != pictures.end();) {
        if (written.count(picture->first) != 0) {
            picture->second = {picture->second.back()};
            ++picture;
            continue;
        }
        if (Owns(picture->first)) {
            std::error_code error;
            fs::remove(folder_ / picture->first, error);
        }
        picture = pictures.erase(picture);
    }
    return Save();
}

sim::Status PictureManifest::Save() const {
    nlohmann::json record = {{"tours", nlohmann::json::object()}};
    for (const auto& [tour, pictures] : tours_) {
        if (!pictures.empty()) record["tours"][tour] = pictures;
    }
    return sim::WriteWholeFileBytes(folder_ / kManifestName, record.dump(1) + "\n");
}

}  // namespace demo
