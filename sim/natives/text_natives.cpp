// Natives of on-screen text, rectangles and feed posts. The host keeps one pending text state
// and one open text command; a draw or a feed post takes them and resets the state, so every text
// must set again what it needs (a missing outline shows in the draw list).
#include <string>

#include "sim/game/host.h"
#include "sim/natives/native_table.h"

namespace sim {

namespace {

constexpr const char* kTextKind = "STRING";

// Opens a text command of the given kind; the plug-in must close one before opening the next.
void OpenCommand(Host& host, NativeCall& call, Host::TextCommand command) {
    if (host.openCommand != Host::TextCommand::None) {
        host.Fail("a text command is opened while another one is still open");
        return;
    }
    const char* kind = call.Text(0);
    if (kind == nullptr || std::string(kind) != kTextKind) {
        host.Fail(std::string("a text command must be opened with \"") + kTextKind + "\"");
        return;
    }
    host.openCommand = command;
    host.pendingComponents.clear();
}

// Closes the open command, which must be of the given kind; false after a failure.
bool CloseCommand(Host& host, Host::TextCommand command, const char* what) {
    if (host.openCommand != command) {
        host.Fail(std::string(what) + " without the matching begin command");
        return false;
    }
    host.openCommand = Host::TextCommand::None;
    return true;
}

void ResetPendingText(Host& host) {
    host.pendingText = TextState{};
    host.pendingComponents.clear();
}

void ScreenResolution(Host& host, NativeCall& call) {
    *call.Pointer<int32_t>(0) = host.world.screenWidth;
    *call.Pointer<int32_t>(1) = host.world.screenHeight;
}

void SetTextScale(Host& host, NativeCall& call) {
    host.pendingText.scaleFirst = call.Float(0);
    host.pendingText.scale = call.Float(1);
}

void SetTextCentring(Host& host, NativeCall& call) { host.pendingText.centred = call.Bool(0); }

void SetTextDropShadow(Host& host, NativeCall& call) {
    for (int i = 0; i < 5; ++i) host.pendingText.dropShadow[i] = call.Int(i);
    host.pendingText.dropShadowSet = true;
}

void SetTextColour(Host& host, NativeCall& call) {
    host.pendingText.r = call.Int(0);
    host.pendingText.g = call.Int(1);
    host.pendingText.b = call.Int(2);
    host.pendingText.a = call.Int(3);
}

void BeginScreenText(Host& host, NativeCall& call) { OpenCommand(host, call, Host::TextCommand::ScreenText); }

void AddTextComponent(Host& host, NativeCall& call) {
    if (host.openCommand == Host::TextCommand::None) {
        host.Fail("a text component is added outside a text command");
        return;
    }
    if (call.Text(0) == nullptr) {
        host.Fail("a text component is a null pointer");
        return;
    }
    host.pendingComponents += call.Text(0);
}

void SetTextProportional(Host& host, NativeCall& call) { host.pendingText.proportional = call.Bool(0); }

void SetTextFont(Host& host, NativeCall& call) { host.pendingText.font = call.Int(0); }

void SetTextOutline(Host& host, NativeCall&) { host.pendingText.outline = true; }

void EndScreenTextDraw(Host& host, NativeCall& call) {
    if (!CloseCommand(host, Host::TextCommand::ScreenText, "a text draw")) return;
    DrawnText text;
    text.text = host.pendingComponents;
    text.state = host.pendingText;
    text.x = call.Float(0);
    text.y = call.Float(1);
    text.align = host.gfxAlign;
    host.currentFrame().texts.push_back(std::move(text));
    ResetPendingText(host);
}

void DrawRectangle(Host& host, NativeCall& call) {
    DrawnRect rect;
    rect.x = call.Float(0);
    rect.y = call.Float(1);
    rect.w = call.Float(2);
    rect.h = call.Float(3);
    rect.r = call.Int(4);
    rect.g = call.Int(5);
    rect.b = call.Int(6);
    rect.a = call.Int(7);
    rect.align = host.gfxAlign;
    host.currentFrame().rects.push_back(rect);
}

void BeginFeedPost(Host& host, NativeCall& call) { OpenCommand(host, call, Host::TextCommand::FeedPost); }

void EndFeedPostTicker(Host& host, NativeCall& call) {
    if (!CloseCommand(host, Host::TextCommand::FeedPost, "a feed post")) return;
    FeedPost post;
    post.text = host.pendingComponents;
    post.font = host.pendingText.font;
    post.blink = call.Bool(0);
    post.showInBrief = call.Bool(1);
    host.currentFrame().feedPosts.push_back(post);
    host.world.feed.push_back(std::move(post));
    ResetPendingText(host);
}

void HideHelpTextThisFrame(Host& host, NativeCall&) {
    host.world.helpTextHidden = true;
    host.currentFrame().helpTextHidden = true;
}

}  // namespace

std::vector<NativeHandler> TextHandlers() {
    return {
        // clang-format off
        {"screen resolution query",      ScreenResolution},
        {"set text scale",               SetTextScale},
        {"set text centring",            SetTextCentring},
        {"set text drop shadow",         SetTextDropShadow},
        {"set text colour",              SetTextColour},
        {"begin on-screen text command", BeginScreenText},
        {"add text component",           AddTextComponent},
        {"set text proportional",        SetTextProportional},
        {"set text font",                SetTextFont},
        {"set text outline",             SetTextOutline},
        {"end text command: draw text",  EndScreenTextDraw},
        {"draw rectangle",               DrawRectangle},
        {"begin feed post",              BeginFeedPost},
        {"end feed post as ticker",      EndFeedPostTicker},
        {"hide help text this frame",    HideHelpTextThisFrame},
        // clang-format on
    };
}

}  // namespace sim
