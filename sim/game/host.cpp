// The simulated host: the plug-in's script on a fiber, a virtual clock, checked native calls, and
// the trace and draw lists of a run.
#include "sim/game/host.h"

#include <utility>

#include "sim/game/trace_line.h"
#include "sim/natives/argument_check.h"
#include "sim/natives/native_table.h"
#include "sim/platform/fiber.h"
#include "sim/platform/plugin_module.h"

namespace sim {

namespace {

Host* activeHost = nullptr;

constexpr size_t kKeptTextSlots = 16;

// Result slots carry this fill above the bits their kind defines, so a plug-in that reads more of
// a slot than the kind allows sees garbage instead of a lucky zero.
constexpr uint64_t kHighFill = 0xA5A5A5A500000000ull;
constexpr uint64_t kByteFill = 0xA5A5A5A5A5A5A500ull;

void FillResultPadding(char kind, uint64_t (&result)[3]) {
    switch (kind) {
        case 'i':
        case 'u':
        case 'f': result[0] = (result[0] & 0xFFFFFFFFull) | kHighFill; break;
        case 'b':
        case 'B': result[0] = (result[0] & 0xFFull) | kByteFill; break;
        case 'v':
            for (uint64_t& slot : result) slot = (slot & 0xFFFFFFFFull) | kHighFill;
            break;
        default: break;
    }
}

}  // namespace

Host::Host() : keptTexts_(kKeptTextSlots) { activeHost = this; }

Host::~Host() {
    Unload();
    if (activeHost == this) activeHost = nullptr;
}

Host* Host::Current() { return activeHost; }

Status Host::Load(const std::string& pluginPath) {
    activeHost = this;
    Unload();
    const Result<PluginModule*> module = LoadPluginModule(pluginPath);
    if (!module) Fail("cannot load the plug-in " + pluginPath + ": " + module.error());
    else module_ = *module;
    return status();
}

void Host::Unload() {
    activeHost = this;
    if (module_ != nullptr) UnloadPluginModule(module_);
    module_ = nullptr;
    if (scriptFiber_ != nullptr) DestroyFiber(scriptFiber_);
    scriptFiber_ = nullptr;
    scriptEntry_ = nullptr;
    scriptWaiting_ = false;
    callOpen_ = false;
    openCommand = TextCommand::None;
    pendingText = TextState{};
    pendingComponents.clear();
    gfxAlign = GfxAlign{};
}

int Host::CallEntryPoint(uint32_t reason) {
    activeHost = this;
    return module_ != nullptr ? CallPluginEntry(module_, reason) : 0;
}

Status Host::RunFrame() {
    activeHost = this;
    if (failed()) return status();
    clockMs += frameStepMs;
    ++frameIndex_;
    callInFrame_ = 0;
    world.helpTextHidden = false;
    if (recording) frames_.emplace_back();
    Frame& frame = currentFrame();
    StartFrame(frame);

    if (scriptEntry_ == nullptr) {
        Fail("no script is registered");
        return status();
    }
    if (scriptFiber_ == nullptr) {
        scriptFiber_ = CreateFiber(&Host::ScriptFiberEntry);
        ResumeScript();
    } else if (WaitIsOver()) {
        ResumeScript();
    }
    return status();
}

Status Host::RunFrames(int count) {
    for (int i = 0; i < count; ++i) {
        if (Status ran = RunFrame(); !ran) return ran;
    }
    return status();
}

void Host::ClearHistory() {
    trace_.clear();
    frames_.clear();
    lookups_.clear();
}

const Frame& Host::lastFrame() const {
    if (!recording || frames_.empty()) return scratchFrame_;
    return frames_.back();
}

Frame& Host::currentFrame() {
    if (!recording || frames_.empty()) return scratchFrame_;
    return frames_.back();
}

// Clears a frame for reuse, keeping its capacity, so runs that do not record allocate nothing.
void Host::StartFrame(Frame& frame) const {
    frame.index = frameIndex_;
    frame.timeMs = clockMs;
    frame.scriptRan = false;
    frame.texts.clear();
    frame.rects.clear();
    frame.feedPosts.clear();
    frame.areaNameSuppressed = false;
    frame.helpTextHidden = false;
    frame.disabledControls.clear();
}

bool Host::WaitIsOver() const {
    // Unsigned difference: a wait that spans the wrap of the 32-bit clock ends on time.
    return static_cast<uint32_t>(clockMs - waitStartMs_) >= waitMs_;
}

void Host::ScriptFiberEntry() {
    Host* host = activeHost;
    host->scriptEntry_();
    host->Fail("the script entry returned; it must run for ever");
    host->ParkIfFailed();
}

void Host::ResumeScript() {
    currentFrame().scriptRan = true;
    scriptWaiting_ = false;
    onFiber_ = true;
    SwitchToFiber(scriptFiber_);
    onFiber_ = false;
}

void Host::Fail(const std::string& message) {
    if (error_.empty()) error_ = message.empty() ? "failed" : message;
}

// Nothing of a failed call may reach the plug-in: its stack is left for good. Called at the end of
// each operation, once every object of the host's own on that stack has been destroyed, so the
// abandoned stack holds nothing that would leak.
void Host::ParkIfFailed() {
    while (failed() && onFiber_) YieldToHost(scriptFiber_);
}

const char* Host::KeepText(const HostText& text) {
    if (!text) return nullptr;
    std::string& slot = keptTexts_[nextKept_];
    nextKept_ = (nextKept_ + 1) % keptTexts_.size();
    slot = *text;
    return slot.c_str();
}

// ---- the script hook library's operations ----

// One module, one script: the module handle needs no bookkeeping.
void Host::Register(HINSTANCE__*, void (*entry)()) {
    if (entry == nullptr) return Fail("scriptRegister with a null script entry");
    if (scriptEntry_ != nullptr) return Fail("scriptRegister while a script is already registered");
    scriptEntry_ = entry;
}

void Host::Unregister(HINSTANCE__*) { scriptEntry_ = nullptr; }

void Host::RecordLookup(SettingsLookup lookup) {
    lookup.frame = frameIndex_;
    lookups_.push_back(std::move(lookup));
}

void Host::Wait(uint32_t milliseconds) {
    StartWait(milliseconds);
    ParkIfFailed();
    if (scriptWaiting_) YieldToHost(scriptFiber_);
}

void Host::StartWait(uint32_t milliseconds) {
    if (!onFiber_) return Fail("scriptWait called outside the script");
    if (callOpen_) return Fail("scriptWait during the open call of " + Hex64(call_.hash));
    // The frame ends here: draws of the next frame must not inherit this one's alignment.
    if (!gfxAlign.IsReset()) {
        return Fail(
            "the script gfx alignment is still set at the end of the frame: reset script gfx align "
            "must follow the aligned draws");
    }
    if (recording) {
        TraceEntry entry;
        entry.frame = frameIndex_;
        entry.timeMs = clockMs;
        entry.isWait = true;
        entry.waitMs = milliseconds;
        entry.line = "wait " + std::to_string(milliseconds);
        trace_.push_back(std::move(entry));
    }
    scriptWaiting_ = true;
    waitStartMs_ = clockMs;
    waitMs_ = milliseconds;
}

void Host::NativeInit(uint64_t hash) {
    OpenCall(hash);
    ParkIfFailed();
}

void Host::OpenCall(uint64_t hash) {
    if (!onFiber_) return Fail("nativeInit(" + Hex64(hash) + ") called outside the script");
    if (callOpen_) {
        return Fail("nativeInit(" + Hex64(hash) + ") while the call of " + Hex64(call_.hash) + " is still open");
    }
    call_.hash = hash;
    call_.argCount = 0;
    call_.result[0] = call_.result[1] = call_.result[2] = 0;
    callOpen_ = true;
    ++callInFrame_;
}

void Host::NativePush(uint64_t value) {
    PushArgument(value);
    ParkIfFailed();
}

void Host::PushArgument(uint64_t value) {
    if (!callOpen_) return Fail("nativePush64 without nativeInit");
    if (call_.argCount == kMaxNativeArgs) {
        return Fail("more than " + std::to_string(kMaxNativeArgs) + " arguments pushed for " + Hex64(call_.hash) +
                    " in call " + std::to_string(callInFrame_) + " of frame " + std::to_string(frameIndex_));
    }
    call_.args[call_.argCount++] = value;
}

uint64_t* Host::NativeInvoke() {
    RunCall();
    ParkIfFailed();
    return call_.result;
}

void Host::RunCall() {
    if (!callOpen_) return Fail("nativeCall without nativeInit");
    const NativeDef* def = FindNative(call_.hash);
    if (def == nullptr) {
        return Fail("unknown native " + Hex64(call_.hash) + " called with " + std::to_string(call_.argCount) +
                    " arguments in call " + std::to_string(callInFrame_) + " of frame " + std::to_string(frameIndex_));
    }
    // The check both hosts make (sim/natives/argument_check.h).
    const Status verdict = ArgumentFault(*def, call_.args, call_.argCount, {callInFrame_, frameIndex_});
    if (!verdict) return Fail(verdict.error());

    const CallCapture capture = recording ? CaptureArguments(*def, call_) : CallCapture{};
    def->handler(*this, call_);
    if (failed()) return;
    FillResultPadding(def->result, call_.result);
    callOpen_ = false;
    if (recording) Record(*def, capture);
}

void Host::Record(const NativeDef& def, const CallCapture& capture) {
    TraceEntry entry;
    entry.frame = frameIndex_;
    entry.timeMs = clockMs;
    entry.call = call_;
    for (const HostText& text : capture.texts) entry.texts.push_back(text.value_or(std::string()));
    entry.line = FormatTraceLine(def, call_, capture);
    trace_.push_back(std::move(entry));
}

}  // namespace sim
