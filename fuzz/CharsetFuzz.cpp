// Character-set files, loaded by name through the virtual file system, then looked up.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "backend/Base/HGEFont.h"
#include "fuzz/ScratchFolder.h"

namespace {

const char* const kName = "fuzz.bin";

class LoadableFont : public MobrixCore::HGEFont {
public:
    LoadableFont() { SetName(kName); }
    using MobrixCore::HGEFont::Init;
    using MobrixCore::HGEFont::Release;
    using MobrixCore::HGEFont::GetInfo;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzSupport::ScratchFolder folder;
    folder.Serve(kName, data, size);

    LoadableFont font;
    try {
        font.Init();
    } catch (const std::runtime_error&) {
        EngineCore::Font::CharInfo first;
        if (font.IsValid() || font.GetInfo(0, first))
            std::abort();  // a failed load leaves nothing behind
        return 0;
    }
    if (!font.IsValid())
        std::abort();

    // Every byte value as a character set covering more positions than the table.
    std::string all;
    for (int c = 1; c < 256; ++c)
        all.push_back(static_cast<char>(c));
    font.SetAscii(all.c_str());
    EngineCore::Font::CharInfo info;
    for (int c = 0; c < 256; ++c)
        font.GetCharacterInfo(static_cast<char>(c), info);
    if (!(font.GetHeight() >= 0.0f))
        std::abort();
    font.Release();
    return 0;
}
