// The online player slots: indexes 0 to 31, which the multiplayer tasks walk in ascending order.
// The simulated hosts size their sessions by the same count.
#pragma once

constexpr int kPlayerSlots = 32;
