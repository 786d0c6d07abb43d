#include "backend/Base/HGEResourceFactory.h"

#include <functional>

#include "backend/Base/HGEAnimation.h"
#include "backend/Base/HGEDistortionMesh.h"
#include "backend/Base/HGEParticleSystem.h"
#include "backend/Base/HGECursor.h"
#include "backend/Base/HGEFont.h"
#include "backend/Base/HGEMusicTrack.h"
#include "backend/Base/HGESound.h"
#include "backend/Base/HGESoundStream.h"
#include "backend/Base/HGESprite.h"
#include "backend/Base/HGESpriteVideo.h"
#include "backend/Base/HGETexture.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceFactory.h"

namespace MobrixCore {

namespace {

using EngineCore::Resource;
using Creator = std::shared_ptr<Resource> (*)();

struct CreatorRow {
    int type;
    Creator create;
};

}  // namespace

// The creator classes befriend HGEResourceFactory, whose members reach their Create.
class HGEResourceFactory::Impl {
public:
    // Registration order. A back-end class joins by adding its row at its place in this
    // order (its class declares HGEResourceFactory a friend for the protected Create):
    //   font 1, sprite 2, video sprite 12, distortion mesh 5, texture 3, cursor 10,
    //   particle system 11, music track 8, sound 6, sound stream 7, animation 9.
    // Sprite groups (4) have no creator: the engine makes them itself.
    static const CreatorRow* Rows(int& count)
    {
        static const CreatorRow rows[] = {
            {Resource::RT_FONT, &HGEFont::Create},
            {Resource::RT_SPRITE, &HGESprite::Create},
            {Resource::RT_VIDEO_SPRITE, &HGESpriteVideo::Create},
            {Resource::RT_DISTORTION_MESH, &HGEDistortionMesh::Create},
            {Resource::RT_TEXTURE, &HGETexture::Create},
            {Resource::RT_CURSOR, &HGECursor::Create},
            {Resource::RT_PARTICLE_SYSTEM, &HGEParticleSystem::Create},
            {Resource::RT_MUSIC_TRACK, &HGEMusicTrack::Create},
            {Resource::RT_SOUND, &HGESound::Create},
            {Resource::RT_SOUND_STREAM, &HGESoundStream::Create},
            {Resource::RT_ANIMATION, &HGEAnimation::Create},
        };
        count = static_cast<int>(sizeof rows / sizeof rows[0]);
        return rows;
    }
};

namespace {

// Removal order; types without a registered creator are refused harmlessly by the factory.
const int kUnregisterOrder[] = {
    Resource::RT_FONT,        Resource::RT_SOUND,         Resource::RT_MUSIC_TRACK,
    Resource::RT_CURSOR,      Resource::RT_SPRITE,        Resource::RT_VIDEO_SPRITE,
    Resource::RT_TEXTURE,     Resource::RT_ANIMATION,     Resource::RT_SOUND_STREAM,
    Resource::RT_PARTICLE_SYSTEM, Resource::RT_DISTORTION_MESH,
};

}  // namespace

HGEResourceFactory& HGEResourceFactory::Instance()
{
    static HGEResourceFactory instance;
    return instance;
}

HGEResourceFactory::HGEResourceFactory() : _impl(new Impl) {}

HGEResourceFactory::~HGEResourceFactory()
{
    delete _impl;
}

void HGEResourceFactory::RegisterResourceFactory()
{
    int count = 0;
    const CreatorRow* rows = Impl::Rows(count);
    for (int i = 0; i < count; ++i)
        EngineCore::ResourceFactory::Instance().RegisterResourceCreator(
            rows[i].type, std::function<std::shared_ptr<Resource>()>(rows[i].create));
}

void HGEResourceFactory::UnregisterResourceFactory()
{
    for (int type : kUnregisterOrder)
        EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(type);
}

}  // namespace MobrixCore
