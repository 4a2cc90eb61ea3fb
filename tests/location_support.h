// Test support for the location display: putting the player on streets and in zones, and reading
// the five texts of the panel from a frame's draw list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sim_harness.h"

namespace simtest {

// The panel's texts in draw order.
enum PanelText { kLeftSeparator, kHeading, kRightSeparator, kStreetLine, kAreaLine, kPanelTexts };

constexpr uint32_t kStreetHash = 0x5A11;
constexpr uint32_t kCrossingHash = 0xC055;

class LocationTest : public PluginTest {
protected:
    sim::World& world() { return host().world; }
    sim::Ped& player() { return world().peds[world().localPed]; }

    // The street at the player's position and, when given, a crossing street (otherwise the
    // crossing hash is 0). A null name is a name the host returns as a null pointer.
    void PutOnStreet(const sim::HostText& street, const std::optional<sim::HostText>& crossing = std::nullopt) {
        world().streetNames[kStreetHash] = street;
        world().streetHash = kStreetHash;
        world().crossingHash = crossing ? kCrossingHash : 0;
        if (crossing) world().streetNames[kCrossingHash] = *crossing;
    }

    // Runs one frame; the frame's draw list.
    const sim::Frame& DrawFrame() {
        Run(1);
        return host().lastFrame();
    }

    // One frame, and one of the five texts of the panel it drew ("" with a failure when the frame
    // did not draw exactly the panel).
    std::string PanelTextOfNextFrame(PanelText which) {
        const sim::Frame& frame = DrawFrame();
        if (frame.texts.size() != kPanelTexts) {
            ADD_FAILURE() << "the frame drew " << frame.texts.size() << " texts, not the panel's " << kPanelTexts;
            return "";
        }
        return frame.texts[which].text;
    }
};

}  // namespace simtest
