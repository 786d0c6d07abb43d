#include "backend/Base/HGEAnimation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "backend/Base/HGESystemObject.h"
#include "backend/Base/ResourceLog.h"
#include "engine/FileSystem/InputDataStream.h"
#include "engine/System/DataErrorLog.h"
#include "engine/System/EngineError.h"

namespace MobrixCore {

namespace {

const char* const kSource = "Base\\HGEAnimation.cpp";
const char kMagic[17] = "kT.animation.bin";  // with its NUL: 17 bytes

const uint32_t kScale = 0x01;
const uint32_t kRotation = 0x02;
const uint32_t kTranslation = 0x04;
const uint32_t kOpacity = 0x08;
const uint32_t kDiffuse = 0x10;
const uint32_t kFrame = 0x20;
const uint32_t kVertex = 0x40;

// Vertex keys hold a value for every track at every distinct time; a file that
// would need more floats than this is refused rather than allowed to exhaust memory.
const uint64_t kMaxVertexKeyFloats = uint64_t(1) << 26;

struct VertexRecord {
    float time;
    float values[3];
};

uint64_t KeyRecordSize(uint32_t flags)
{
    uint64_t size = 4;
    if (flags & kScale)
        size += 12;
    if (flags & kTranslation)
        size += 12;
    if (flags & kRotation)
        size += 16;
    if (flags & kOpacity)
        size += 4;
    if (flags & kDiffuse)
        size += 12;
    if (flags & kFrame)
        size += 4;
    return size;
}

// Reads little-endian fields; the first short read raises the data error. Every
// refusal is logged with the byte it was found at and what was wrong there.
class FieldReader {
public:
    FieldReader(const unsigned char* data, int size, const std::string& name)
        : _stream(data, size), _name(name)
    {
    }

    uint64_t Left() const { return static_cast<uint64_t>(_stream.GetSize() - _stream.GetPosition()); }
    uint64_t Position() const { return static_cast<uint64_t>(_stream.GetPosition()); }

    // Names what the next reads belong to, for a short read: `what`, or "`what` <index + 1>".
    void Reading(const char* what, int64_t index = -1)
    {
        _what = what;
        _index = index;
    }

    void Bytes(void* out, int count)
    {
        if (!_stream.Read(out, count))
            FailShort();
    }
    uint32_t U32()
    {
        unsigned int value = 0;
        if (!(_stream >> value))
            FailShort();
        return value;
    }
    float F32()
    {
        float value = 0;
        if (!(_stream >> value))
            FailShort();
        return value;
    }
    EngineCore::D3DXVECTOR3 Vector3()
    {
        EngineCore::D3DXVECTOR3 v;
        v.x = F32();
        v.y = F32();
        v.z = F32();
        return v;
    }
    [[noreturn]] void Fail(const std::string& what) const { FailAt(Position(), what); }
    [[noreturn]] void FailAt(uint64_t byte, const std::string& what) const
    {
        EngineCore::LogDataError("Animation", _name, byte, what);
        EngineCore::ThrowEngineErrorF(kSource, 120, "Resource (%s) data error.", _name.c_str());
    }

private:
    [[noreturn]] void FailShort() const
    {
        std::string what = std::string("the file ends inside ") + _what;
        if (_index >= 0)
            what += " " + std::to_string(_index + 1);
        Fail(what);
    }

    EngineCore::InputDataStream _stream;
    const std::string& _name;
    const char* _what = "the file";
    int64_t _index = -1;
};

int TruncateFrame(float stored)
{
    if (!(stored > -2147483648.0f))
        return stored != stored ? 0 : INT32_MIN;
    if (stored >= 2147483648.0f)
        return INT32_MAX;
    return static_cast<int>(stored);
}

}  // namespace

struct HGEAnimation::Impl {
    bool loaded = false;
};

HGEAnimation::HGEAnimation() : _impl(new Impl) {}

HGEAnimation::~HGEAnimation()
{
    Free(true);
}

std::shared_ptr<EngineCore::Resource> HGEAnimation::Create()
{
    return std::shared_ptr<EngineCore::Resource>(new HGEAnimation);
}

bool HGEAnimation::IsValid() const
{
    return _impl->loaded;
}

void HGEAnimation::Release()
{
    Free(false);
}

void HGEAnimation::Free(bool inDestructor)
{
    // Keys go whatever state the last load left.
    EngineCore::Animation::Release();
    if (!_impl->loaded)
        return;
    _impl->loaded = false;
    LogResource("Animation_Free (%s)...ok", NameForFreeLog(*this, kSource, 158, inDestructor));
}

void HGEAnimation::Init()
{
    Release();
    LoadResourceFile(*this, kSource, 170, 177, "Animation",
                     [this](const unsigned char* data, int size) { ReadFile(data, size); });
    _impl->loaded = true;
}

void HGEAnimation::ReadFile(const unsigned char* data, int size)
{
    const std::string name = GetName();
    FieldReader in(data, size, name);

    char magic[sizeof kMagic];
    in.Reading("the 17-byte magic");
    in.Bytes(magic, sizeof magic);
    if (std::memcmp(magic, kMagic, sizeof magic) != 0)
        in.FailAt(0, "the magic is not \"kT.animation.bin\" and its NUL");

    in.Reading("the key count");
    const uint32_t count = in.U32();
    in.Reading("the channel flags");
    const uint32_t flags = in.U32();
    if (uint64_t(count) * KeyRecordSize(flags) > in.Left())
        in.Fail("the key count " + std::to_string(count) + " with keys of " + std::to_string(KeyRecordSize(flags)) +
                " bytes needs " + std::to_string(uint64_t(count) * KeyRecordSize(flags)) + " bytes, and " +
                std::to_string(in.Left()) + " are left");
    // Keys are gathered here and handed to the animation only once the whole file
    // has been read: a file that fails half-way adds none.
    std::vector<std::pair<EngineCore::AnimationKey, float>> keys;
    keys.reserve(count);
    struct Commit {
        HGEAnimation& animation;
        std::vector<std::pair<EngineCore::AnimationKey, float>>& keys;
        void operator()() const
        {
            animation.Reserve(static_cast<int>(keys.size()));
            for (const auto& key : keys)
                animation.AddAnimationKey(key.first, key.second);
        }
    } commit{*this, keys};

    for (uint32_t i = 0; i < count; ++i) {
        in.Reading("key", i);
        EngineCore::AnimationKey key;
        const float time = in.F32();
        // Channels follow in this order, which is not the order of their bits.
        if (flags & kScale)
            key.SetScale(in.Vector3());
        if (flags & kTranslation)
            key.SetTranslation(in.Vector3());
        if (flags & kRotation) {
            EngineCore::D3DXQUATERNION q;
            q.x = in.F32();
            q.y = in.F32();
            q.z = in.F32();
            q.w = in.F32();
            key.SetRotation(q);
        }
        if (flags & kOpacity)
            key.SetOpacity(in.F32());
        if (flags & kDiffuse)
            key.SetDiffuseColor(in.Vector3());
        if (flags & kFrame)
            key.SetAnimationFrame(TruncateFrame(in.F32()));
        keys.emplace_back(key, time);
    }
    if (!(flags & kVertex)) {
        commit();
        return;
    }

    // Vertex tracks: one per mesh node, each a list of (time, three values).
    in.Reading("the vertex track count");
    const uint32_t tracks = in.U32();
    if (uint64_t(tracks) * 4 > in.Left())
        in.Fail(std::to_string(tracks) + " vertex tracks need more record counts than the " + std::to_string(in.Left()) +
                " bytes left hold");
    std::vector<uint32_t> counts(tracks);
    uint64_t total = 0;
    for (uint32_t k = 0; k < tracks; ++k) {
        in.Reading("the record count of vertex track", k);
        uint32_t& c = counts[k];
        c = in.U32();
        if (c == 0)  // a track needs at least one record to have values
            in.FailAt(in.Position() - 4, "vertex track " + std::to_string(k + 1) + " has a record count of 0");
        total += c;
        // Bounded here, not only after the loop: enough huge counts would wrap total * 16.
        if (total > in.Left())
            in.FailAt(in.Position() - 4, "the vertex record counts ask for more records than the " +
                                             std::to_string(in.Left()) + " bytes left hold");
    }
    if (total * 16 > in.Left())
        in.Fail(std::to_string(total) + " vertex records of 16 bytes need more than the " + std::to_string(in.Left()) +
                " bytes left");
    std::vector<VertexRecord> records(total);
    std::vector<float> times;
    times.reserve(total);
    for (uint64_t i = 0; i < total; ++i) {
        VertexRecord& r = records[i];
        in.Reading("vertex record", static_cast<int64_t>(i));
        r.time = in.F32();
        for (float& v : r.values)
            v = in.F32();
        if (std::isnan(r.time))  // NaN has no place in the ordering of times
            in.FailAt(in.Position() - 16, "the time of vertex record " + std::to_string(i + 1) + " is not a number");
        times.push_back(r.time);
    }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    if (uint64_t(times.size()) * 3 * tracks > kMaxVertexKeyFloats)
        in.Fail(std::to_string(times.size()) + " distinct times of " + std::to_string(tracks) +
                " vertex tracks would make more than 2^26 values");
    keys.reserve(keys.size() + times.size());

    // For each track, `next` is the first record later than the current time. As
    // times ascend it only moves forward, whatever the order of the track's records.
    std::vector<uint64_t> firsts(tracks);
    std::vector<uint64_t> next(tracks, 0);
    for (uint32_t k = 1; k < tracks; ++k)
        firsts[k] = firsts[k - 1] + counts[k - 1];

    std::vector<float> values(static_cast<size_t>(tracks) * 3);
    for (const float t : times) {
        for (uint32_t k = 0; k < tracks; ++k) {
            const VertexRecord* r = &records[firsts[k]];
            const uint64_t m = counts[k];
            while (next[k] < m && !(r[next[k]].time > t))
                ++next[k];
            const uint64_t s = next[k] == 0 ? 0 : next[k] - 1;
            float* out = &values[static_cast<size_t>(k) * 3];
            for (int j = 0; j < 3; ++j)
                out[j] = r[s].values[j];
            if (s + 1 < m) {
                const float f = (t - r[s].time) / (r[s + 1].time - r[s].time);
                if (f > 0.0f && f <= 1.0f) {
                    for (int j = 0; j < 3; ++j)
                        out[j] = r[s].values[j] + f * (r[s + 1].values[j] - r[s].values[j]);
                }
            }
        }
        EngineCore::AnimationKey key;
        key.SetVertexData(values);
        keys.emplace_back(std::move(key), t);
    }
    commit();
}

}  // namespace MobrixCore
