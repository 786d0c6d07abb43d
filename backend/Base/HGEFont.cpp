#include "backend/Base/HGEFont.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "backend/Base/HGESystemObject.h"
#include "backend/Base/ResourceLog.h"
#include "engine/FileSystem/InputDataStream.h"
#include "engine/System/DataErrorLog.h"
#include "engine/System/EngineError.h"

namespace MobrixCore {

namespace {

const char* const kSource = "Base\\HGEFont.cpp";
const char kMagic[15] = "kT.charset.bin";  // with its NUL: 15 bytes
const int kRecordSize = 12;

}  // namespace

struct HGEFont::Impl {
    bool loaded = false;
};

HGEFont::HGEFont() : _impl(new Impl) {}

HGEFont::~HGEFont()
{
    Free(true);
}

std::shared_ptr<EngineCore::Resource> HGEFont::Create()
{
    return std::shared_ptr<EngineCore::Resource>(new HGEFont);
}

bool HGEFont::IsValid() const
{
    return _impl->loaded;
}

void HGEFont::Release()
{
    Free(false);
}

void HGEFont::Free(bool inDestructor)
{
    if (!_impl->loaded)
        return;
    EngineCore::Font::Release();
    _impl->loaded = false;
    LogResource("Font_Free (%s)...ok", NameForFreeLog(*this, kSource, 61, inDestructor));
}

void HGEFont::Init()
{
    Release();
    LoadResourceFile(*this, kSource, 72, 79, "Font",
                     [this](const unsigned char* data, int size) { ReadFile(data, size); });
    _impl->loaded = true;
}

void HGEFont::ReadFile(const unsigned char* data, int size)
{
    const std::string name = GetName();
    // A refused file leaves no glyphs: neither its own first records nor an earlier file's.
    auto fail = [this, &name](uint64_t byte, const std::string& what) {
        Reserve(0);
        EngineCore::LogDataError("Character-set", name, byte, what);
        EngineCore::ThrowEngineErrorF(kSource, 91, "Resource (%s) data error.", name.c_str());
    };
    EngineCore::InputDataStream in(data, size < 0 ? 0 : size);

    char magic[sizeof kMagic];
    if (!in.Read(magic, sizeof magic))
        fail(0, "the file is shorter than its 15-byte magic");
    else if (std::memcmp(magic, kMagic, sizeof magic) != 0)
        fail(0, "the magic is not \"kT.charset.bin\" and its NUL");

    // A trailing part shorter than a record is not a record. Every record's index must
    // name a slot of this table, so no index can ask for more than the file holds.
    const int count = (in.GetSize() - in.GetPosition()) / kRecordSize;
    Reserve(static_cast<unsigned>(count));
    for (int i = 0; i < count; ++i) {
        const uint64_t at = static_cast<uint64_t>(in.GetPosition());
        unsigned short index = 0, x = 0, y = 0, width = 0, height = 0;
        short offset = 0;
        if (!(in >> index) || !(in >> x) || !(in >> y) || !(in >> width) || !(in >> height) || !(in >> offset))
            fail(at, "the file ends inside glyph record " + std::to_string(i + 1));
        if (!SetInfo(index, x, y, width, height, offset))
            fail(at, "glyph record " + std::to_string(i + 1) + " names glyph " + std::to_string(index) +
                         "; an index must be below the number of records (" + std::to_string(count) + ")");
    }
}

}  // namespace MobrixCore
