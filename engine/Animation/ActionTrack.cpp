#include "engine/Animation/ActionTrack.h"

#include <cmath>
#include <cstring>

#include "engine/Animation/ActionTrackManager.h"
#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/FileSystem/MountedPlaces.h"
#include "engine/FileSystem/InputDataStream.h"
#include "engine/System/DataErrorLog.h"
#include "engine/System/EngineError.h"
#include "engine/System/ScriptEngine.h"
#include "engine/System/ScriptEngineHelper.h"

namespace EngineCore {

namespace {
const char* const kSource = "Animation\\ActionTrack.cpp";
const char kMagic[19] = "kT.actiontrack.bin";  // with its NUL: 19 bytes
// The smallest record: a time and a string holding only its NUL.
const int kMinRecordSize = 4 + 4 + 1;
// Wrap-arounds of a looping track per update. One is the rule; more happen only
// when a key moves its own track past the end again, which must not spin forever.
const int kMaxLoopPasses = 8;
}  // namespace

ActionTrack::ActionTrack()
{
    ActionTrackManager::Instance().RegisterActionTrack(this);
}

ActionTrack::~ActionTrack()
{
    ActionTrackManager::Instance().UnregisterActionTrack(this);
}

bool ActionTrack::Load(const std::string& name)
{
    std::shared_ptr<CachedFile> file;
    if (!FileSystem::Instance().GetFile(name, file) || !file) {
        EngineCore::LogWhereLookedFor(name);
        ThrowEngineErrorF(kSource, 139, "Resource (%s) loading error.", name.c_str());
    }
    InputDataStream stream(file->GetData(), file->GetSize());
    // Each refusal is logged with its byte and cause before the error text is thrown.
    auto refuse = [&name](int line, uint64_t byte, const std::string& what) {
        LogDataError("Action track", name, byte, what);
        ThrowEngineErrorF(kSource, line, "Resource (%s) data error.", name.c_str());
    };
    char magic[sizeof(kMagic)];
    if (!stream.Read(magic, sizeof(magic)))
        refuse(146, 0, "the file is shorter than its 19-byte magic");
    else if (std::memcmp(magic, kMagic, sizeof(kMagic)) != 0)
        refuse(146, 0, "the magic is not \"kT.actiontrack.bin\" and its NUL");

    _keys.clear();
    _keyTimes.clear();
    _players.clear();
    _length = 0;

    int count = 0;
    if (!(stream >> count))
        refuse(158, stream.GetPosition(), "the file ends inside the key count");
    if (count > 0) {
        // The count is the file's word only: room for more records than the bytes
        // left can hold is never reserved.
        const int fits = (stream.GetSize() - stream.GetPosition()) / kMinRecordSize;
        const int room = count < fits ? count : fits;
        _keys.reserve(room);
        _keyTimes.reserve(room);
    }
    for (int i = 0; i < count; ++i) {
        auto key = [i, count]() { return "key " + std::to_string(i + 1) + " of " + std::to_string(count); };
        float time = 0;
        if (!(stream >> time))
            refuse(167, stream.GetPosition(), "the file ends inside the time of " + key());
        std::string text;
        if (!(stream >> text))
            refuse(171, stream.GetPosition(),
                   "the text of " + key() + " runs past the end of the file (or its byte count is negative)");
        _keyTimes.push_back(time);
        _keys.emplace_back(time, text);
        // Kept up to date record by record, so that a damaged file leaves a track
        // whose length is the time of the last key it holds.
        _length = time;
    }
    return true;
}

void ActionTrack::Play()
{
    _stopped = false;
}

void ActionTrack::Resume()
{
    Play();
}

void ActionTrack::Stop()
{
    _stopped = true;
    _position = 0;
    _lastKeyIndex = -1;
}

void ActionTrack::Pause()
{
    _stopped = true;
    if (_lastKeyTime != 0) {
        _position = _lastKeyTime;
        _lastKeyTime = 0;
    }
    // A player's update may run script code that loads this track again.
    const std::vector<std::shared_ptr<AnimationPlayer>> players = _players;
    for (const auto& player : players)
        player->SetPosition(_position);
    for (const auto& player : players)
        player->Update(0, true);
}

void ActionTrack::SetPosition(float position)
{
    _position = position < 0 ? 0 : position;
}

float ActionTrack::GetFrameTime(unsigned int index) const
{
    return index < _keyTimes.size() ? _keyTimes[index] : 0.0f;
}

void ActionTrack::SetAnimationFrame(unsigned int index)
{
    const float time = GetFrameTime(index);
    if (time != _position) {
        _lastKeyIndex = -1;
        _position = time;
    }
}

void ActionTrack::AddAnimationPlayer(const std::shared_ptr<AnimationPlayer>& player)
{
    if (!player)
        return;
    _players.push_back(player);
    player->SetExternalCallbackControl(true);
}

void ActionTrack::UpdateAnimationPlayerCallbacks()
{
    const std::vector<std::shared_ptr<AnimationPlayer>> players = _players;
    for (const auto& player : players)
        player->UpdateCallback();
}

bool ActionTrack::ScanKeys(float previous)
{
    // A key may stop, move or reload this track: every step re-reads the fields.
    for (size_t i = 0; i < _keys.size(); ++i) {
        if (_stopped)
            return false;
        const float time = _keyTimes[i];
        if (time > _position)
            break;
        if (time >= previous && static_cast<int>(i) != _lastKeyIndex) {
            _lastKeyTime = time;
            RunAction(static_cast<int>(i));
        }
    }
    return !_stopped;
}

void ActionTrack::Update(float dt)
{
    if (_stopped || _keys.empty())
        return;
    const float previous = _position;
    _position += dt * _speed;
    if (!ScanKeys(previous))
        return;

    // A track of length 0 has nothing to wrap: it stays at its end like a track
    // played once. A step longer than a whole run keeps only its remainder.
    for (int pass = 0;
         pass < kMaxLoopPasses && _type == AnimationPlayer::AT_LOOP && _length > 0 && _position > _length;
         ++pass) {
        float excess = _position - _length;
        if (!(excess <= _length)) {
            excess = std::isfinite(excess) ? std::fmod(excess, _length) : 0.0f;
            if (excess == 0)
                excess = _length;
        }
        _position = excess;
        _lastKeyIndex = -1;
        UpdateAnimationPlayerCallbacks();
        if (!ScanKeys(0))
            return;
    }
    if (_position > _length)
        _position = _length;
    UpdateAnimationPlayerCallbacks();
}

void ActionTrack::RunAction(int index)
{
    _lastKeyIndex = index;
    if (index < 0 || static_cast<size_t>(index) >= _keys.size())
        return;
    const std::string text = _keys[index].GetScriptAction();
    if (text.empty())
        return;
    if (_runner) {
        const std::function<bool(const std::string&)> runner = _runner;
        if (!runner(text))
            ThrowEngineError(kSource, 112, "Internal error.");
        return;
    }
    const std::shared_ptr<ScriptEngine> engine = ScriptEngineHelper::Instance().GetCurrentScriptEngine();
    if (!engine)
        ThrowEngineError(kSource, 109, "Internal error.");
    if (!engine->RunString(text.c_str(), 0))
        ThrowEngineError(kSource, 112, "Internal error.");
}

}  // namespace EngineCore
