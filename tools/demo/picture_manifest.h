// kov-demo's record of the pictures it wrote in a folder, kept in the folder as
// .kov-demo-pictures.json: per tour (by its absolute path), each picture's name and the hashes its
// bytes may have. A picture is the demo's own only when it is a regular file in that folder, under
// that name, of that tour, with bytes of a hash on record: a copy (renamed or not), a file the user
// put in its place and another tour's pictures are not, so they are never replaced or removed
// unless --force says so. A picture being replaced has two hashes on record, its earlier and its
// new bytes, from before the new bytes go in until the next record: a run stopped at any point
// still knows the picture as its own.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sim/result.h"

namespace demo {

class PictureManifest {
public:
    // The record of the folder for the tour; a folder without one (or with one the demo cannot
    // read) has no pictures of the demo.
    PictureManifest(const std::filesystem::path& folder, const std::filesystem::path& tour);

    bool Owns(const std::string& name) const;
    // Records the bytes about to go in under the name (keeping the earlier ones if the picture is
    // the demo's own), then writes the record.
    sim::Status Record(const std::string& name, const std::string& bytes);
    // Removes the tour's pictures of earlier runs that are not in `written` (while still its own),
    // keeps only the latest hash of each, and writes the record.
    sim::Status Settle(const std::set<std::string>& written);

private:
    sim::Status Save() const;

    std::filesystem::path folder_;
    std::string tour_;
    std::map<std::string, std::map<std::string, std::vector<std::string>>> tours_;  // tour -> name -> hashes
};

}  // namespace demo
