// The lock as a handle held without sharing; the read-only folder as chattr +i on the folder and its
// KOV.ini, run through Wine's start of a Unix program (the folder's Unix path is its Z: path). Wine
// tells neither when such a program ends nor its exit code, so the change is waited for as it shows:
// a file can (or can no longer) be made in the folder and KOV.ini opened for writing.
#include "sim/platform/settings_file_state.h"

#include <windows.h>

#include <string>
#include <utility>

namespace sim {

struct HeldSettingsFile {
    HANDLE lock = INVALID_HANDLE_VALUE;
    bool immutable = false;
};

namespace {

constexpr const char* kChattr = "Z:\\usr\\bin\\chattr";
constexpr int kChattrPolls = 1000;
constexpr DWORD kChattrPollMs = 10;

// The Unix path of a Windows path on Wine's Z: drive, which maps the Unix root; empty for another.
std::string UnixPath(const std::filesystem::path& path) {
    std::string text = std::filesystem::absolute(path).string();
    if (text.size() < 3 || (text[0] != 'Z' && text[0] != 'z') || text[1] != ':') return "";
    text.erase(0, 2);
    for (char& c : text) c = c == '\\' ? '/' : c;
    return text;
}

bool CanWrite(const std::string& path, DWORD creation, DWORD flags) {
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, creation, flags, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// Whether a new file can be made in the folder and its KOV.ini (when there is one) written. A probe
// made just before the folder turned immutable cannot be deleted on close and stays behind; it is
// removed first, which only succeeds where the folder takes changes again.
bool FolderWritable(const std::filesystem::path& folder) {
    const std::string ini = (folder / "KOV.ini").string();
    const bool iniWritable = !std::filesystem::exists(folder / "KOV.ini") || CanWrite(ini, OPEN_EXISTING, 0);
    const std::string probe = (folder / "kov-write-probe").string();
    DeleteFileA(probe.c_str());
    const bool folderWritable = CanWrite(probe, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE);
    return iniWritable && folderWritable;
}

Status RunChattr(const std::string& flag, const std::filesystem::path& folder) {
    const std::string unixFolder = UnixPath(folder);
    if (unixFolder.empty()) return Failure("the work folder " + folder.string() + " is not on Wine's Z: drive");
    std::string command = std::string(kChattr) + " " + flag + " \"" + unixFolder + "\"";
    if (std::filesystem::exists(folder / "KOV.ini")) command += " \"" + unixFolder + "/KOV.ini\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return Failure("cannot run " + command + " (error " + std::to_string(GetLastError()) + ")");
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    const bool writable = flag == "-i";
    for (int poll = 0; poll < kChattrPolls; ++poll) {
        if (FolderWritable(folder) == writable) return {};
        Sleep(kChattrPollMs);
    }
    return Failure(command +
                   " did not take effect: a read-only folder under Wine needs root and a file system "
                   "that keeps the flag (ext4, say)");
}

}  // namespace

SettingsFileState::SettingsFileState(std::filesystem::path folder)
    : folder_(std::move(folder)), held_(new HeldSettingsFile) {}

SettingsFileState::~SettingsFileState() {
    if (held_->immutable) (void)RunChattr("-i", folder_);
    if (held_->lock != INVALID_HANDLE_VALUE) CloseHandle(held_->lock);
    delete held_;
}

Status SettingsFileState::Match(const World& world) {
    if (world.iniLocked && held_->lock == INVALID_HANDLE_VALUE) {
        const std::string path = (folder_ / "KOV.ini").string();
        held_->lock =
            CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (held_->lock == INVALID_HANDLE_VALUE) {
            return Failure("cannot lock " + path + " (error " + std::to_string(GetLastError()) +
                           "): a locked KOV.ini must exist");
        }
    } else if (!world.iniLocked && held_->lock != INVALID_HANDLE_VALUE) {
        CloseHandle(held_->lock);
        held_->lock = INVALID_HANDLE_VALUE;
    }
    if (world.readOnlyFolder != held_->immutable) {
        if (Status changed = RunChattr(world.readOnlyFolder ? "+i" : "-i", folder_); !changed) return changed;
        held_->immutable = world.readOnlyFolder;
    }
    return {};
}

}  // namespace sim
