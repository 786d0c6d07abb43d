#include "engine/Renderer/RenderSystem.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "engine/GUI/GUISystem.h"
#include "engine/Renderer/GameStateScope.h"
#include "engine/Renderer/ParticleSystemManager.h"
#include "engine/Renderer/ScreenBuffer.h"
#include "engine/Renderer/Sprite.h"
#include "engine/Renderer/SpriteGroupManager.h"
#include "engine/System/EngineError.h"
#include "engine/System/Mutex.h"
#include "engine/System/MutexLocker.h"

namespace EngineCore {

namespace {

const char* const kSource = "Renderer\\RenderSystem.cpp";
const char* const kSystemState = "system";

// Never destroyed (trivial type), so sprites that die after the render system
// at process exit can still ask whether it is there.
std::atomic<bool> g_alive{false};

// Ascending priority; a NaN priority sorts first and equal to other NaNs, which
// keeps the ordering strict and weak whatever the scripts store.
bool DrawsBefore(const Sprite* a, const Sprite* b)
{
    const float pa = a->GetPriority();
    const float pb = b->GetPriority();
    if (std::isnan(pa)) {
        return !std::isnan(pb);
    }
    if (std::isnan(pb)) {
        return false;
    }
    return pa < pb;
}

}  // namespace

struct RenderSystem::Impl {
    std::atomic<bool> waiting{false};
    std::atomic<bool> dirty{true};
    mutable Mutex lock;
    void* userData = nullptr;
    std::string currentGameState;
    unsigned monitorWidth = 0;
    unsigned monitorHeight = 0;
    // Guards the screen settings, the requests held during a load and the two screen
    // functions: scripts on the loader thread ask for settings while the main thread draws.
    mutable std::mutex settingsLock;
    ScreenSettings screenSettings;
    std::vector<ScreenSettings> heldSettings;
    std::map<std::string, std::set<Sprite*>> sprites;
    std::shared_ptr<ScreenBuffer> screenBuffer;
    // Entries of destroyed sprites are nulled at once (a callback run from a
    // sprite's Update may free any sprite); the next rebuild compacts the list.
    std::vector<Sprite*> renderList;
    // Every listed sprite with its place in renderList, sorted by address: a destroyed
    // sprite's entry is found without a walk over the list, so freeing all the sprites of
    // a state stays linear.
    std::vector<std::pair<Sprite*, size_t>> renderPlaces;

    void IndexRenderList()
    {
        renderPlaces.clear();
        renderPlaces.reserve(renderList.size());
        for (size_t i = 0; i < renderList.size(); ++i) {
            if (renderList[i] != nullptr) {
                renderPlaces.emplace_back(renderList[i], i);
            }
        }
        // A list fresh from a sprite set is already in address order.
        if (!std::is_sorted(renderPlaces.begin(), renderPlaces.end())) {
            std::sort(renderPlaces.begin(), renderPlaces.end());
        }
    }

    void UnlistFromRender(Sprite* sprite)
    {
        const auto found = std::lower_bound(renderPlaces.begin(), renderPlaces.end(),
                                            std::make_pair(sprite, size_t(0)));
        if (found != renderPlaces.end() && found->first == sprite && renderList[found->second] == sprite) {
            renderList[found->second] = nullptr;
        }
    }
    std::function<void(const ScreenSettings&, void*)> screenSettingsUpdater;
    std::function<void(const ScreenSettings&)> changeScreenSettings;
};

RenderSystem& RenderSystem::Instance()
{
    static RenderSystem instance;
    return instance;
}

// The waiting flag changes only on the main thread, before the loader thread starts and
// after its work ended: the thread that reads it here sees the value its own calls need.
RenderSystem::SpriteAccess::SpriteAccess()
{
    if (IsAlive() && Instance()._impl->waiting.load()) {
        Instance()._impl->lock.Lock();
        _held = true;
    }
}

RenderSystem::SpriteAccess::~SpriteAccess()
{
    if (_held) {
        Instance()._impl->lock.Unlock();
    }
}

bool RenderSystem::IsAlive()
{
    return g_alive.load();
}

RenderSystem::RenderSystem() : _impl(new Impl)
{
    g_alive.store(true);
}

RenderSystem::~RenderSystem()
{
    g_alive.store(false);
    delete _impl;
    _impl = nullptr;
}

void RenderSystem::Init()
{
    GUISystem::Instance();
    ParticleSystemManager::Instance();
}

void RenderSystem::Release()
{
    {
        std::lock_guard<std::mutex> settings(_impl->settingsLock);
        _impl->heldSettings.clear();
    }
    GUISystem::Instance().Release();
    ParticleSystemManager::Instance();
}

void RenderSystem::SetCurrentGameState(const char* name)
{
    if (name == nullptr) {
        return;
    }
    MutexLocker locker(_impl->lock);
    _impl->currentGameState = name;
    _impl->dirty = true;
}

std::string RenderSystem::GetCurrentGameState() const
{
    MutexLocker locker(_impl->lock);
    return _impl->currentGameState;
}

void RenderSystem::RemoveGameState(const char* name)
{
    if (name == nullptr || *name == '\0') {
        return;
    }
    MutexLocker locker(_impl->lock);
    if (_impl->sprites.erase(name) != 0) {
        _impl->dirty = true;
    }
}

void RenderSystem::RegisterSprite(Sprite* sprite)
{
    const std::string state = GameStateScope::Owner();
    MutexLocker locker(_impl->lock);
    if (state.empty()) {
        ThrowEngineError(kSource, 265, "Internal error.");
    }
    _impl->dirty = true;
    _impl->sprites[state].insert(sprite);
}

void RenderSystem::UnregisterSprite(Sprite* sprite)
{
    MutexLocker locker(_impl->lock);
    for (auto& entry : _impl->sprites) {
        entry.second.erase(sprite);
    }
    _impl->UnlistFromRender(sprite);
    _impl->dirty = true;
}

void RenderSystem::ResortSprites()
{
    _impl->dirty = true;
}

void RenderSystem::SetWaitingStatus(bool waiting)
{
    MutexLocker locker(_impl->lock);
    _impl->waiting = waiting;
}

bool RenderSystem::IsWaiting() const
{
    MutexLocker locker(_impl->lock);
    return _impl->waiting;
}

void RenderSystem::RebuildRenderList()
{
    std::vector<Sprite*>& list = _impl->renderList;
    {
        MutexLocker locker(_impl->lock);
        const auto found = _impl->sprites.find(_impl->currentGameState);
        if (found == _impl->sprites.end()) {
            list.clear();
            _impl->IndexRenderList();
            _impl->dirty = false;
            return;
        }
        list.assign(found->second.begin(), found->second.end());
        _impl->IndexRenderList();
    }
    SpriteGroupManager::Instance().EnablePriorityModifier();
    // The group pass may free sprites (their entries are nulled meanwhile).
    list.erase(std::remove(list.begin(), list.end(), static_cast<Sprite*>(nullptr)), list.end());
    std::sort(list.begin(), list.end(), DrawsBefore);
    _impl->IndexRenderList();
    SpriteGroupManager::Instance().DisablePriorityModifier();
    _impl->dirty = false;
}

void RenderSystem::Update(float dt)
{
    if (IsWaiting()) {
        UpdateWaiting(dt);
    } else {
        UpdateNormal(dt);
    }
}

void RenderSystem::UpdateWaiting(float dt)
{
    // The loader thread makes and destroys sprites meanwhile; it waits on this
    // lock until the loading frame is drawn.
    MutexLocker locker(_impl->lock);
    const auto found = _impl->sprites.find(kSystemState);
    if (found == _impl->sprites.end()) {
        return;
    }
    std::vector<Sprite*>& list = _impl->renderList;
    list.assign(found->second.begin(), found->second.end());
    std::sort(list.begin(), list.end(), DrawsBefore);
    _impl->IndexRenderList();
    for (size_t i = 0; i < list.size(); ++i) {
        if (Sprite* sprite = list[i]) {
            sprite->Render();
        }
    }
    GUISystem::Instance().SystemUpdate(dt);
    GUISystem::Instance().Render();
    // The list now holds "system" sprites: the next normal frame must rebuild it
    // for the current state.
    _impl->dirty = true;
}

void RenderSystem::UpdateNormal(float dt)
{
    if (_impl->dirty) {
        RebuildRenderList();
    }
    SpriteGroupManager::Instance().EnableTransformationsModifier();
    // Indexed loops that re-read each entry: a sprite freed by a callback is
    // nulled in the list and skipped from then on.
    const std::vector<Sprite*>& list = _impl->renderList;
    for (size_t i = 0; i < list.size(); ++i) {
        if (Sprite* sprite = list[i]) {
            sprite->Update(dt);
        }
    }
    for (size_t i = 0; i < list.size(); ++i) {
        if (Sprite* sprite = list[i]) {
            sprite->Render();
        }
    }
    ParticleSystemManager::Instance().Render();
    GUISystem::Instance().Render();
    SpriteGroupManager::Instance().DisableTransformationsModifier();
}

RenderSystem::ScreenSettings RenderSystem::GetScreenSettings() const
{
    std::lock_guard<std::mutex> settings(_impl->settingsLock);
    return _impl->screenSettings;
}

void RenderSystem::ApplyScreenSettings(const ScreenSettings& settings)
{
    {
        std::lock_guard<std::mutex> held(_impl->settingsLock);
        _impl->screenSettings = settings;
        // The window and the sprites belong to the main thread, which draws the loading
        // screen meanwhile: a request made during a load waits for its end.
        if (_impl->waiting) {
            _impl->heldSettings.push_back(settings);
            return;
        }
    }
    HandOnScreenSettings(settings);
}

void RenderSystem::ApplyHeldScreenSettings()
{
    std::vector<ScreenSettings> held;
    {
        std::lock_guard<std::mutex> settings(_impl->settingsLock);
        if (_impl->waiting) {
            return;
        }
        held.swap(_impl->heldSettings);
    }
    if (held.empty()) {
        return;
    }
    // The last loading frame left the loading screen's sprites listed.
    if (_impl->dirty) {
        RebuildRenderList();
    }
    for (const ScreenSettings& settings : held) {
        {
            std::lock_guard<std::mutex> stored(_impl->settingsLock);
            _impl->screenSettings = settings;
        }
        HandOnScreenSettings(settings);
    }
}

void RenderSystem::HandOnScreenSettings(const ScreenSettings& settings)
{
    std::function<void(const ScreenSettings&)> change;
    {
        std::lock_guard<std::mutex> stored(_impl->settingsLock);
        change = _impl->changeScreenSettings;
    }
    if (change) {
        change(settings);
    }
    MutexLocker locker(_impl->lock);
    const std::vector<Sprite*>& list = _impl->renderList;
    for (size_t i = 0; i < list.size(); ++i) {
        if (Sprite* sprite = list[i]) {
            sprite->SetVideoFullScreenMode(sprite->GetVideoFullScreenMode());
        }
    }
}

void RenderSystem::SetChangeScreenSettingsFunction(const std::function<void(const ScreenSettings&)>& fn)
{
    std::lock_guard<std::mutex> settings(_impl->settingsLock);
    _impl->changeScreenSettings = fn;
}

void RenderSystem::UpdateScreenSettingsFunction(const std::function<void(const ScreenSettings&, void*)>& fn,
                                                void* userData)
{
    std::lock_guard<std::mutex> settings(_impl->settingsLock);
    _impl->userData = userData;
    _impl->screenSettingsUpdater = fn;
}

void RenderSystem::SetChangedScreenSettings(const ScreenSettings& settings)
{
    std::function<void(const ScreenSettings&, void*)> updater;
    void* userData = nullptr;
    {
        std::lock_guard<std::mutex> stored(_impl->settingsLock);
        _impl->screenSettings = settings;
        updater = _impl->screenSettingsUpdater;
        userData = _impl->userData;
    }
    if (updater) {
        updater(settings, userData);
    }
}

void RenderSystem::SetScreenBufferInstance(const std::shared_ptr<ScreenBuffer>& screenBuffer)
{
    _impl->screenBuffer = screenBuffer;
}

bool RenderSystem::MakeScreenshot(const char* path)
{
    const std::shared_ptr<ScreenBuffer> buffer = _impl->screenBuffer;
    return buffer ? buffer->MakeScreenshot(path) : false;
}

bool RenderSystem::GetCurrentTexture(float horizontalScale, float verticalScale,
                                     std::shared_ptr<Resource>& out) const
{
    const std::shared_ptr<ScreenBuffer> buffer = _impl->screenBuffer;
    return buffer ? buffer->GetCurrentTexture(horizontalScale, verticalScale, out) : false;
}

unsigned RenderSystem::GetMonitorWidth() const
{
    return _impl->monitorWidth;
}

unsigned RenderSystem::GetMonitorHeight() const
{
    return _impl->monitorHeight;
}

void RenderSystem::SetMonitorSize(unsigned width, unsigned height)
{
    _impl->monitorWidth = width;
    _impl->monitorHeight = height;
}

}  // namespace EngineCore
