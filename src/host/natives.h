// One wrapper per host native, grouped by the subsystem that calls it. In the plug-in each hash is
// written once, here; the simulated host's native table (sim/natives/native_signatures.h) holds the
// same hashes, and a test (tests/test_native_reference.cpp) holds the two together: every hash here
// is a native the table marks as the plug-in's, and each of those has a wrapper. Every wrapper
// pushes each parameter the current game reads (sim/natives/host-natives.tsv), the ones the
// plug-in has no use for as the game's own scripts pass them: a slot left unpushed would hold
// whatever an earlier call put there.
#pragma once

#include <cstdint>

#include "host/call_native.h"

// ---- frame loop ------------------------------------------------------------------------------
inline int32_t GetLocalPlayerIndex() { return CallNative<int32_t>(0x4F8644AF03D0E0D6); }
inline int32_t GetLocalPlayerPed() { return CallNative<int32_t>(0xD80958FC74E988A6); }
inline uint8_t GetSessionActiveByte() { return CallNative<uint8_t>(0xD83C2B94E7508980); }
inline bool DoesEntityExist(int32_t entity) { return CallNative<bool>(0x7239B21A38F536BA, entity); }
inline bool IsPauseMenuActive() { return CallNative<bool>(0xB0034A223497FFCB); }
inline bool IsEntityDead(int32_t entity) { return CallNative<bool>(0x5F9532F3B5CC2551, entity, false); }

// ---- text and rectangles ---------------------------------------------------------------------
inline void GetScreenResolution(int32_t* width, int32_t* height) { CallNative(0x888D57E407E63624, width, height); }
inline void SetTextScale(float unused, float scale) { CallNative(0x07C837F9A01C34C9, unused, scale); }
inline void SetTextCentring(bool centred) { CallNative(0xC02F4DBFB51D988B, centred); }
inline void SetTextDropShadow(int32_t distance, int32_t r, int32_t g, int32_t b, int32_t a) {
    CallNative(0x465C84BC39F1C351, distance, r, g, b, a);
}
inline void SetTextColour(int32_t r, int32_t g, int32_t b, int32_t a) { CallNative(0xBE6B23FFA53FB442, r, g, b, a); }
inline void BeginScreenText(const char* kind) { CallNative(0x25FBB336DF1804CB, kind); }
inline void AddTextComponent(const char* text) { CallNative(0x6C188BE134E074AA, text); }
inline void SetTextProportional(bool proportional) { CallNative(0x038C1F517D7FDCF8, proportional); }
inline void SetTextFont(int32_t font) { CallNative(0x66E0276CC5F6B9DA, font); }
inline void EndScreenTextDraw(float x, float y) { CallNative(0xCD015E5BB0D96A57, x, y, 0); }
inline void SetTextOutline() { CallNative(0x2513DFB0FB8400FE); }
inline void DrawRectangle(float x, float y, float w, float h, int32_t r, int32_t g, int32_t b, int32_t a) {
    CallNative(0x3A618A217E5154F0, x, y, w, h, r, g, b, a, false);
}
inline void ClearTextDropShadow() { SetTextDropShadow(0, 0, 0, 0, 0); }
inline void SetScriptGfxAlign(int32_t horizontal, int32_t vertical) {
    CallNative(0xB8A850F20A067EB6, horizontal, vertical);
}
inline void SetScriptGfxAlignParams(float x, float y, float w, float h) { CallNative(0xF5A2C681787E579D, x, y, w, h); }
inline void ResetScriptGfxAlign() { CallNative(0xE3A3DB414A373DAB); }

// ---- location --------------------------------------------------------------------------------
inline NativeVector3 GetEntityCoords(int32_t entity) {
    return CallNative<NativeVector3>(0x3FEF770D40960D5A, entity, false);
}
inline float GetEntityHeading(int32_t entity) { return CallNative<float>(0xE83D4F9BA2A38914, entity); }
inline void GetStreetHashesAt(float x, float y, float z, uint32_t* street, uint32_t* crossing) {
    CallNative(0x2EB41072B4C1E4C0, x, y, z, street, crossing);
}
inline const char* GetStreetNameFromHash(uint32_t hash) { return CallNative<const char*>(0xD0EF8A959B8A4CB9, hash); }
inline const char* GetZoneCodeAt(float x, float y, float z) {
    return CallNative<const char*>(0xCD90657D4C30E1CA, x, y, z);
}
inline bool IsRadarHidden() { return CallNative<bool>(0x157F93B036700462); }
inline void DisplayAreaName(bool show) { CallNative(0x276B6CE369C33678, show); }
inline bool IsPointOnRoad(float x, float y, float z, int32_t vehicle) {
    return CallNative<bool>(0x125BF4ABFC536B09, x, y, z, vehicle);
}
inline uint8_t GetClosestMajorVehicleNode(float x, float y, float z, NativeVector3* node, float threshold,
                                          int32_t flags) {
    return CallNative<uint8_t>(0x2EABE3B06F58C1BE, x, y, z, node, threshold, flags);
}
inline float GetDistanceBetweenCoords(float x1, float y1, float z1, float x2, float y2, float z2, bool useZ) {
    return CallNative<float>(0xF1B760881820C952, x1, y1, z1, x2, y2, z2, useZ);
}

// ---- controls --------------------------------------------------------------------------------
inline bool IsControlPressed(int32_t group, int32_t control) {
    return CallNative<bool>(0xF3A21BCD95725A4A, group, control);
}
inline bool IsControlJustReleased(int32_t group, int32_t control) {
    return CallNative<bool>(0x50F940259D3841E6, group, control);
}
inline void DisplayRadar(bool show) { CallNative(0xA0EBB943C300E693, show); }
inline void SetBigMapActive(bool bigMap, bool fullMap) { CallNative(0x231C8F89D0539D8F, bigMap, fullMap); }
inline void DisplayPlayerNameTagsOnBlips(bool show) { CallNative(0x82CEDC33687E1F50, show); }
// For this frame only, the game does not act on the control (and on those related to it).
inline void DisableControlAction(int32_t pad, int32_t control) { CallNative(0xFE99B66D079CF6BC, pad, control, true); }
inline bool IsDisabledControlPressed(int32_t pad, int32_t control) {
    return CallNative<bool>(0xE2587F8CBBD87B1D, pad, control);
}
inline bool IsDisabledControlJustPressed(int32_t pad, int32_t control) {
    return CallNative<bool>(0x91AEF906BCA88877, pad, control);
}

// ---- the game's own HUD hiding ---------------------------------------------------------------
inline bool IsHudHidden() { return CallNative<bool>(0xA86478C6958735C5); }
inline bool IsCutscenePlaying() { return CallNative<bool>(0xD3C2E180A40F031E); }
inline bool IsPlayerSwitchInProgress() { return CallNative<bool>(0xD9D2CFFF49FAB35F); }

// ---- players ---------------------------------------------------------------------------------
inline void HideHelpTextThisFrame() { CallNative(0xD46923FC481CA285); }
inline int32_t PlayerIndexFromInteger(int32_t slot) { return CallNative<int32_t>(0x41BD2A6B006AF756, slot); }
inline uint8_t NetworkPlayerActiveByte(int32_t player) { return CallNative<uint8_t>(0xB8DFD30D6973E135, player); }
inline int32_t GetPlayerPed(int32_t player) { return CallNative<int32_t>(0x43A66C31C68491C0, player); }
inline int32_t GetPlayerTeam(int32_t player) { return CallNative<int32_t>(0x37039302F4E0A008, player); }
inline bool IsPlayerDead(int32_t player) { return CallNative<bool>(0x424D4687FA1E5652, player); }
inline const char* GetNetworkPlayerName(int32_t player) { return CallNative<const char*>(0x7718D2E2060837D2, player); }
inline const char* GetPlayerName(int32_t player) { return CallNative<const char*>(0x6D0DE6A7B5DA71F8, player); }

// ---- blips -----------------------------------------------------------------------------------
inline int32_t AddBlipForCoords(float x, float y, float z) { return CallNative<int32_t>(0x5A039BB0BCA604B6, x, y, z); }
inline void SetBlipPriority(int32_t blip, int32_t priority) { CallNative(0xAE9FC9EF6A9FAC79, blip, priority); }
inline void SetBlipDisplay(int32_t blip, int32_t mode) { CallNative(0x9029B2F3DA924928, blip, mode); }
inline void SetBlipCategory(int32_t blip, int32_t category) { CallNative(0x234CDD44D996FD9A, blip, category); }
inline void SetBlipCoords(int32_t blip, float x, float y, float z) { CallNative(0xAE2AF67E9D9AF65D, blip, x, y, z); }
inline void SetBlipSprite(int32_t blip, int32_t sprite) { CallNative(0xDF735600A4696DAF, blip, sprite); }
inline void SetBlipRotation(int32_t blip, int32_t degrees) { CallNative(0xF87683CDF73C3F6E, blip, degrees); }
inline void SetBlipNameToPlayerName(int32_t blip, int32_t player) { CallNative(0x127DE7B20C60A6A3, blip, player); }
inline void SetBlipAlpha(int32_t blip, int32_t alpha) { CallNative(0x45FF974EEE1C8734, blip, alpha); }
inline void SetBlipColour(int32_t blip, int32_t colour) { CallNative(0x03D7FB09E75D6B7E, blip, colour); }
inline bool DoesBlipExist(int32_t blip) { return CallNative<bool>(0xA6DB27D19ECBB7DA, blip); }
inline void RemoveBlip(int32_t* blip) { CallNative(0x86A652570E5F25DD, blip); }

// ---- peds and vehicles -----------------------------------------------------------------------
inline bool IsPedDeadOrDying(int32_t ped, bool checkArmed) {
    return CallNative<bool>(0x3317DEDB88C95038, ped, checkArmed);
}
inline bool IsPedInAnyVehicle(int32_t ped, bool atGetIn) { return CallNative<bool>(0x997ABD671D25CA0B, ped, atGetIn); }
inline int32_t GetVehiclePedIsIn(int32_t ped, bool lastVehicle) {
    return CallNative<int32_t>(0x9A9112A0FE9A4713, ped, lastVehicle);
}
inline bool IsPedInAnyBoat(int32_t ped) { return CallNative<bool>(0x2E0E1C2B4F6CB339, ped); }
inline bool IsPedInAnySubmarine(int32_t ped) { return CallNative<bool>(0xFBFC01CCFB35D99E, ped); }
inline bool IsPedInAnyHelicopter(int32_t ped) { return CallNative<bool>(0x298B91AE825E5705, ped); }
inline bool IsPedInAnyPlane(int32_t ped) { return CallNative<bool>(0x5FFF4CFC74D8FB80, ped); }
inline bool IsPedOnAnyBike(int32_t ped) { return CallNative<bool>(0x94495889E22C6479, ped); }
inline uint32_t GetHashKey(const char* text) { return CallNative<uint32_t>(0xD24D37CC275948CC, text); }
inline bool IsVehicleModel(int32_t vehicle, uint32_t model) {
    return CallNative<bool>(0x423E8DE37D934D89, vehicle, model);
}
inline int32_t CeilFloat(float value) { return CallNative<int32_t>(0x11E019C8F43ACC8A, value); }

// ---- obituaries ------------------------------------------------------------------------------
inline int32_t GetEntityKillerOfPlayer(int32_t player, uint32_t* weapon) {
    return CallNative<int32_t>(0x42B2DAA6B596F5F8, player, weapon);
}
inline bool IsEntityAPed(int32_t entity) { return CallNative<bool>(0x524AC5ECEA15343E, entity); }
inline int32_t GetPedFromEntity(int32_t entity) { return CallNative<int32_t>(0x04A2A40C73395041, entity); }
inline bool IsPedAPlayer(int32_t ped) { return CallNative<bool>(0x12534C348C6CB68B, ped); }
inline int32_t GetPlayerIndexFromPed(int32_t ped) { return CallNative<int32_t>(0x6C0E2E0125610278, ped); }
inline void BeginFeedPost(const char* kind) { CallNative(0x202709F4C58A0424, kind); }
inline void EndFeedPostTicker(bool blink, bool showInBrief) { CallNative(0x2ED7843F8F801023, blink, showInBrief); }
