// The simulated host game: runs the real plug-in's script on a fiber against a World, one frame
// at a time on a virtual millisecond clock, answers its native calls, and records a trace of every
// call and wait and a draw list per frame. One Host is active at a time (the script hook library's
// six operations are free functions, so they reach the active Host).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/game/world.h"
#include "sim/ini/ini_lookup.h"
#include "sim/natives/native_call.h"
#include "sim/result.h"

struct HINSTANCE__;

namespace sim {

struct CallCapture;
struct Fiber;
struct NativeDef;
struct PluginModule;

struct TraceEntry {
    int frame = 0;
    uint32_t timeMs = 0;
    bool isWait = false;
    uint32_t waitMs = 0;
    // Raw slots; pointer arguments are valid only at call time. Result slots carry a fill above
    // the bits their result kind defines.
    NativeCall call;
    std::vector<std::string> texts;  // text arguments, copied at call time, in push order
    std::string line;                // readable: role(args) -> result
};

struct Frame {
    int index = 0;
    uint32_t timeMs = 0;
    bool scriptRan = false;
    std::vector<DrawnText> texts;
    std::vector<DrawnRect> rects;
    std::vector<FeedPost> feedPosts;
    bool areaNameSuppressed = false;                // display area name (false) was called this frame
    bool helpTextHidden = false;                    // hide help text this frame was called this frame
    std::vector<DisabledControl> disabledControls;  // disable control action calls, in call order
};

class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    World world;
    uint32_t clockMs = 0;       // virtual GetTickCount; set before the first frame to start elsewhere
    uint32_t frameStepMs = 16;  // clock advance per frame

    // Loads the plug-in, a first load (sim/platform/plugin_module.h), attached.
    Status Load(const std::string& pluginPath);
    // Calls the entry point with process detach and unloads; done by the destructor too.
    void Unload();
    // Calls the loaded plug-in's entry point with a reason code, as the Windows loader does (thread
    // attach 2, thread detach 3, process detach 0), and returns its result; 0 when none is loaded.
    int CallEntryPoint(uint32_t reason);

    // Advances the clock one frame and resumes the script if its wait has run out. A failure once
    // the run has failed (unknown native, an argument slot left unpushed, no script registered...).
    Status RunFrame();
    Status RunFrames(int count);

    // The run's first failure, kept: a failed run stays failed.
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }
    Status status() const { return failed() ? Failure(error_) : Status(); }
    const std::vector<TraceEntry>& trace() const { return trace_; }
    const std::vector<Frame>& frames() const { return frames_; }
    // Every settings lookup the plug-in made, recorded even while not recording and never traced.
    // Only where the simulated host answers the lookup (the POSIX builds: native and the page);
    // under Wine the system's own lookup answers and none is recorded.
    const std::vector<SettingsLookup>& lookups() const { return lookups_; }
    // The latest frame; an empty one before the first. While not recording it is the one scratch
    // frame every frame is drawn into.
    const Frame& lastFrame() const;
    // Drops the recorded trace, frames and lookups (long runs keep memory flat this way).
    void ClearHistory();
    // When false, nothing is recorded (the soak); the world is still updated.
    bool recording = true;

    // ---- the script hook library's operations land here ----
    void Register(HINSTANCE__* module, void (*entry)());
    void Unregister(HINSTANCE__* module);
    void Wait(uint32_t milliseconds);
    void NativeInit(uint64_t hash);
    void NativePush(uint64_t value);
    uint64_t* NativeInvoke();
    // The settings lookup, where the simulated host answers it; the frame is filled in.
    void RecordLookup(SettingsLookup lookup);

    // ---- for native handlers ----
    Frame& currentFrame();
    // Fails the run: the first message is kept and the script is never resumed again. A handler
    // returns after calling it; the host then leaves the script's stack for good, so nothing of the
    // failed call reaches the plug-in.
    void Fail(const std::string& message);
    // Host-owned storage for a returned text; valid until the same slot is used again.
    const char* KeepText(const HostText& text);
    enum class TextCommand { None, ScreenText, FeedPost };
    TextCommand openCommand = TextCommand::None;
    TextState pendingText;
    std::string pendingComponents;
    GfxAlign gfxAlign;  // script state until reset; left set at the end of a frame, the run fails

    // The active host: the one most recently constructed, or the last to load, unload, call the
    // entry point or run a frame.
    static Host* Current();

private:
    static void ScriptFiberEntry();
    void ResumeScript();
    void ParkIfFailed();
    void StartWait(uint32_t milliseconds);
    void OpenCall(uint64_t hash);
    void PushArgument(uint64_t value);
    void RunCall();
    void Record(const NativeDef& def, const CallCapture& capture);
    bool WaitIsOver() const;
    void StartFrame(Frame& frame) const;

    std::string error_;
    std::vector<TraceEntry> trace_;
    std::vector<Frame> frames_;
    std::vector<SettingsLookup> lookups_;
    Frame scratchFrame_;  // what handlers draw into while not recording
    int frameIndex_ = 0;

    PluginModule* module_ = nullptr;
    void (*scriptEntry_)() = nullptr;
    Fiber* scriptFiber_ = nullptr;
    bool onFiber_ = false;
    bool scriptWaiting_ = false;
    uint32_t waitStartMs_ = 0;
    uint32_t waitMs_ = 0;

    // Like the script hook's own, one argument buffer serves every call: nativeInit resets the
    // count, each push writes the next slot, and slots beyond the count keep what they held.
    NativeCall call_;
    bool callOpen_ = false;
    int callInFrame_ = 0;  // native calls opened in the current frame, the open one included
    std::vector<std::string> keptTexts_;
    size_t nextKept_ = 0;
};

}  // namespace sim
