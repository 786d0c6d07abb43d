#include "engine/Animation/Animation.h"

#include <algorithm>
#include <cmath>

namespace EngineCore {

Animation::Animation()
{
    SetType(static_cast<ResourceType>(9));
}

Animation::~Animation() = default;

bool Animation::IsValid() const
{
    return false;
}

void Animation::Init() {}

void Animation::Release()
{
    _keys.clear();
    _times.clear();
    _length = 0;
}

void Animation::AddAnimationKey(const AnimationKey& key, float time)
{
    _keys.push_back(key);
    _times.push_back(time);
    if (time > _length)
        _length = time;
}

void Animation::Reserve(int count)
{
    if (count <= 0)
        return;
    _keys.reserve(static_cast<size_t>(count));
    _times.reserve(static_cast<size_t>(count));
}

void Animation::Clear()
{
    Release();
}

float Animation::GetLength() const
{
    return _length;
}

float Animation::GetFrameTime(unsigned int index) const
{
    if (_times.empty())
        return 0;
    if (index >= _times.size())
        return _times.back();
    return _times[index];
}

// Brings a time past the length back into range: with looping into (0, length]
// (a whole number of lengths maps to the length itself, not to 0), otherwise onto
// the length. The remainder is taken in one step so that any time, however large,
// ends at once; a non-finite time becomes NaN and so matches no key.
float Animation::ReduceTime(float time, bool loop) const
{
    if (!(time > _length))
        return time;
    if (!loop || !(_length > 0))
        return _length;
    float r = std::fmod(time, _length);
    if (r == 0.0f)
        r = _length;
    return r;
}

bool Animation::FindKeys(float time, bool loop, int& first, int& second) const
{
    const int count = static_cast<int>(_times.size());
    if (count == 0)
        return false;
    if (count == 1) {
        first = second = 0;
        return true;
    }
    time = ReduceTime(time, loop);
    for (int i = 0; i + 1 < count; ++i) {
        if (time == _times[i]) {
            first = second = i;
            return true;
        }
        if (time == _times[i + 1]) {
            first = second = i + 1;
            return true;
        }
        if (_times[i] < time && time < _times[i + 1]) {
            first = i;
            second = i + 1;
            return true;
        }
    }
    if (time == _times[count - 1]) {
        first = second = count - 1;
        return true;
    }
    first = second = 0;
    return false;
}

bool Animation::Sample(float time, bool loop, AnimationKey::KeyValue& out) const
{
    int first = 0;
    int second = 0;
    if (!FindKeys(time, loop, first, second))
        return false;
    const float t0 = _times[first];
    const float t1 = _times[second];
    float f = 0;
    if (t0 != t1) {
        if (loop)
            time = ReduceTime(time, true);
        f = (time - std::min(t0, t1)) / std::fabs(t1 - t0);
    }
    _keys[first].Interpolate(_keys[second], f, out);
    return true;
}

}  // namespace EngineCore
