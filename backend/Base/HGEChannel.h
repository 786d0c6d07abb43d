#pragma once
// What an effect and a music track hold of HGE: their own volume, the loaded handle and
// the channel of the last play, and how they load and free it.

#include "backend/Base/HGESystemObject.h"
#include "platform/hge/hge.h"

namespace EngineCore {
class Resource;
}

namespace MobrixCore {

// HGE takes whole percent. Out-of-range volumes (and NaN from a script's 0/0) are
// clamped here: converting them to int as they are would be undefined.
inline int HgeVolume(float volume)
{
    if (!(volume > 0.0f))
        return 0;
    if (volume > 1.0f)
        return 100;
    return static_cast<int>(volume * 100.0f + 0.5f);
}

struct HGEChannelRecord {
    float volume = 1.0f;
    DWORD handle = 0;    // the effect or music; 0 = not loaded
    HCHANNEL channel = 0;  // 0 = none

    // At process exit the HGE holder may be gone before the last resource.
    static HGE* Hge() { return HGESystemObject::Instance().GetObjectW(); }

    bool IsPlaying() const
    {
        HGE* hge = Hge();
        return handle && channel && hge && hge->Channel_IsPlaying(channel);
    }

    void Stop()
    {
        if (IsPlaying()) {
            Hge()->Channel_Stop(channel);
            channel = 0;
        }
    }

    void Pause()
    {
        if (IsPlaying())
            Hge()->Channel_Pause(channel);
    }

    void Resume()
    {
        if (channel && !IsPlaying())
            Hge()->Channel_Resume(channel);
    }

    // No lower bound here: HGE clamps what reaches it.
    void SetVolume(float v)
    {
        volume = v > 1.0f ? 1.0f : v;
        if (IsPlaying())
            Hge()->Channel_SetVolume(channel, HgeVolume(volume));
    }

    // Loads the file the resource names through HGE's loader of the kind, logging
    // "<kind>_Load (<name>)..." before and "...ok" after; failures throw the engine's
    // texts from `source` (at the lines both audio resources have always reported).
    void Load(const EngineCore::Resource& resource, const char* source, const char* kind,
              DWORD (HGE::*load)(const void*, DWORD));
    // Drops the channel, then frees a loaded handle through HGE's `free` of the kind and
    // logs "<kind>_Free (<name>)...ok"; with HGE gone at exit only the handle is forgotten.
    void Unload(const char* name, const char* kind, void (HGE::*free)(DWORD));

    // Stops the channel even when it is paused, so nothing of it sounds after a release.
    void DropChannel()
    {
        if (channel) {
            if (HGE* hge = Hge())
                hge->Channel_Stop(channel);
            channel = 0;
        }
    }
};

}  // namespace MobrixCore
