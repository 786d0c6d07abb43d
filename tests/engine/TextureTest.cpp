#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Renderer/Texture.h"
#include "engine/Renderer/TextureBlur.h"

using namespace EngineCore;

namespace {

// An in-memory texture that records its lock calls.
class MemoryTexture : public Texture {
public:
    MemoryTexture(unsigned width, unsigned height, uint32_t fill = 0xFF000000u)
        : pixels(static_cast<size_t>(width) * height, fill)
    {
        SetSize(width, height);
    }

    bool Lock(unsigned x, unsigned y, unsigned width, unsigned height, bool readOnly, uint32_t*& out) override
    {
        calls.push_back("lock " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(width) + " " +
                        std::to_string(height) + (readOnly ? " read" : " write"));
        if (!lockSucceeds) {
            return false;
        }
        out = handOutPixels ? pixels.data() : nullptr;
        return Texture::Lock(x, y, width, height, readOnly, out);
    }
    void Unlock() override
    {
        calls.push_back("unlock");
        Texture::Unlock();
    }

    std::vector<uint32_t> pixels;
    std::vector<std::string> calls;
    bool lockSucceeds = true;
    bool handOutPixels = true;
};

uint32_t Grey(uint32_t level)
{
    return 0xFF000000u | level << 16 | level << 8 | level;
}

}  // namespace

TEST(Texture, NewTexture)
{
    MemoryTexture texture(0, 0);
    EXPECT_EQ(Resource::RT_TEXTURE, texture.GetType());
    EXPECT_EQ(0u, texture.GetWidth());
    EXPECT_FALSE(texture.IsLocked());
    EXPECT_TRUE(texture.IsValid());
    uint32_t* pixels = nullptr;
    EXPECT_TRUE(texture.Lock(0, 0, 0, 0, true, pixels));
    EXPECT_TRUE(texture.IsLocked());
    texture.Unlock();
    EXPECT_FALSE(texture.IsLocked());
}

TEST(Texture, BlurLocksWholeTextureWritable)
{
    MemoryTexture texture(32, 4);
    texture.pixels[16] = Grey(255);
    EXPECT_TRUE(texture.MakeBlur(1, 1));
    EXPECT_EQ((std::vector<std::string>{"lock 0 0 32 4 write", "unlock"}), texture.calls);
    EXPECT_FALSE(texture.IsLocked());
    const uint32_t golden[7] = {51, 45, 31, 17, 7, 2, 1};
    for (int offset = -6; offset <= 6; ++offset) {
        EXPECT_EQ(Grey(golden[offset < 0 ? -offset : offset]), texture.pixels[16 + offset]) << offset;
    }
    EXPECT_EQ(Grey(0), texture.pixels[9]);
    EXPECT_EQ(Grey(0), texture.pixels[32 + 16]);
}

TEST(Texture, BlurWithNothingToDo)
{
    struct Case {
        const char* name;
        unsigned passes, rows;
        bool lockSucceeds, handOutPixels, result;
        std::vector<std::string> calls;
    } cases[] = {
        {"no pass", 0, 384, true, true, true, {"lock 0 0 8 8 write", "unlock"}},
        {"no row", 1, 0, true, true, true, {"lock 0 0 8 8 write", "unlock"}},
        {"lock fails", 1, 8, false, true, false, {"lock 0 0 8 8 write"}},
        {"no pixels handed out", 1, 8, true, false, true, {"lock 0 0 8 8 write", "unlock"}},
    };
    for (const Case& c : cases) {
        MemoryTexture texture(8, 8);
        for (size_t i = 0; i < texture.pixels.size(); ++i) {
            texture.pixels[i] = static_cast<uint32_t>(i * 0x01030507u);
        }
        const std::vector<uint32_t> original = texture.pixels;
        texture.lockSucceeds = c.lockSucceeds;
        texture.handOutPixels = c.handOutPixels;
        EXPECT_EQ(c.result, texture.MakeBlur(c.passes, c.rows)) << c.name;
        EXPECT_EQ(c.calls, texture.calls) << c.name;
        EXPECT_EQ(original, texture.pixels) << c.name;
        EXPECT_FALSE(texture.IsLocked()) << c.name;
    }
}

TEST(Texture, RowCountIsCappedByTheHeight)
{
    MemoryTexture texture(256, 128);
    for (size_t i = 0; i < texture.pixels.size(); ++i) {
        texture.pixels[i] = (i % 7 == 0) ? 0xFFFFFFFFu : 0xFF000000u;
    }
    std::vector<uint32_t> expected = texture.pixels;
    BlurTopRows(expected.data(), 256, 128, 1);
    EXPECT_TRUE(texture.MakeBlur(1, 10000));
    EXPECT_EQ(expected, texture.pixels);
    EXPECT_NE(0xFF000000u, texture.pixels[127 * 256 + 1]) << "the last row was not blurred";
}
