// Writes the generated seeds of the fuzz corpus: <out>/pack, <out>/animation,
// <out>/particle, <out>/profiles, <out>/charset, <out>/sound, <out>/picture, <out>/video,
// <out>/action_track, <out>/texture and <out>/datastream, one small valid (or nearly valid)
// file each.
#include <FreeImage.h>
#include <png.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/FileSystem/DeflatePacker.h"
#include "tests/platform/AudioFixtures.h"
#include "tests/support/CostlyImages.h"
#include "tests/support/HostileImages.h"
#include "tests/support/JpegWriter.h"
#include "tests/support/TheoraClip.h"

namespace {

using Bytes = std::vector<unsigned char>;

void U32(Bytes& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

void F32(Bytes& out, float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    U32(out, v);
}

Bytes Deflate(const Bytes& in)
{
    uint32_t size = static_cast<uint32_t>(in.size());
    std::unique_ptr<unsigned char[]> packed(EngineCore::DeflatePacker::Compress(in.data(), size));
    return Bytes(packed.get(), packed.get() + size);
}

struct Entry {
    std::string name;
    std::string data;
    bool compressed;
    bool absent;
};

Bytes Pack(const std::vector<Entry>& entries, bool compressedNames)
{
    Bytes names;
    for (const Entry& e : entries)
        names.insert(names.end(), e.name.c_str(), e.name.c_str() + e.name.size() + 1);
    const Bytes storedNames = compressedNames ? Deflate(names) : names;

    Bytes out(reinterpret_cast<const unsigned char*>("wR.resources"),
              reinterpret_cast<const unsigned char*>("wR.resources") + 12);
    U32(out, static_cast<uint32_t>(entries.size()));
    U32(out, 0);
    U32(out, 0);
    U32(out, static_cast<uint32_t>(storedNames.size()));
    U32(out, static_cast<uint32_t>(names.size()));
    out.insert(out.end(), storedNames.begin(), storedNames.end());

    std::vector<Bytes> stored;
    for (const Entry& e : entries) {
        Bytes data(e.data.begin(), e.data.end());
        if (e.compressed) {
            data = Deflate(data);
        } else {
            for (unsigned char& c : data)
                c ^= 0xC3;
        }
        stored.push_back(data);
    }
    uint32_t at = static_cast<uint32_t>(out.size() + 40 * entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        U32(out, entries[i].absent ? 0 : static_cast<uint32_t>(stored[i].size()));
        U32(out, at);
        U32(out, 0);
        U32(out, static_cast<uint32_t>(entries[i].data.size()));
        for (uint32_t field : {2024u, 5u, 17u, 12u, 30u, 59u})
            U32(out, field);
        at += static_cast<uint32_t>(stored[i].size());
    }
    for (const Bytes& s : stored)
        out.insert(out.end(), s.begin(), s.end());
    return out;
}

// A character-set file with one record per index given, then `stray` bytes.
Bytes Charset(const std::vector<uint16_t>& indexes, int stray)
{
    Bytes out(reinterpret_cast<const unsigned char*>("kT.charset.bin"),
              reinterpret_cast<const unsigned char*>("kT.charset.bin") + 15);
    for (const uint16_t index : indexes) {
        const uint16_t fields[6] = {index, static_cast<uint16_t>(index * 8), 4, 8, 12, 0xFFFE};
        for (const uint16_t f : fields) {
            out.push_back(static_cast<unsigned char>(f & 0xFF));
            out.push_back(static_cast<unsigned char>(f >> 8));
        }
    }
    out.insert(out.end(), static_cast<size_t>(stray), 0x7F);
    return out;
}

Bytes Animation(uint32_t flags, int keys, bool vertex)
{
    Bytes out(reinterpret_cast<const unsigned char*>("kT.animation.bin"),
              reinterpret_cast<const unsigned char*>("kT.animation.bin") + 17);
    U32(out, static_cast<uint32_t>(keys));
    U32(out, flags | (vertex ? 0x40u : 0u));
    int floats = 0;
    for (uint32_t bit : {0x01u, 0x04u}) floats += (flags & bit) ? 3 : 0;
    floats += (flags & 0x02u) ? 4 : 0;
    floats += (flags & 0x08u) ? 1 : 0;
    floats += (flags & 0x10u) ? 3 : 0;
    floats += (flags & 0x20u) ? 1 : 0;
    for (int k = 0; k < keys; ++k) {
        F32(out, 0.5f * static_cast<float>(k));
        for (int f = 0; f < floats; ++f)
            F32(out, static_cast<float>(k + f) * 0.25f);
    }
    if (vertex) {
        U32(out, 2);  // tracks
        U32(out, 2);
        U32(out, 3);
        for (int r = 0; r < 5; ++r) {
            F32(out, r < 2 ? static_cast<float>(r) : 0.4f * static_cast<float>(r - 2));
            for (int v = 0; v < 3; ++v)
                F32(out, static_cast<float>(r * 3 + v));
        }
    }
    return out;
}

// A 128-byte particle description: emission, lifetimes and ranges by byte offset.
Bytes Particle(int32_t emission, float lifetime, bool relative, float birthRed)
{
    Bytes out;
    U32(out, 0xDEADBEEFu);  // a pointer where the file was made; never read
    U32(out, static_cast<uint32_t>(emission));
    for (float f : {lifetime, 0.5f, 1.5f, 0.0f, 1.0f})
        F32(out, f);
    out.insert(out.end(), {static_cast<unsigned char>(relative ? 1 : 0), 0, 0, 0});
    for (float f : {20.0f, 80.0f, 10.0f, 40.0f, -5.0f, 5.0f, -3.0f, 3.0f, 1.0f, 0.2f, 0.5f, 0.0f, 6.0f, 0.5f})
        F32(out, f);
    for (float f : {birthRed, 0.8f, 0.2f, 1.0f, 0.3f, 0.1f, 0.0f, 0.0f, 0.5f, 0.5f})
        F32(out, f);
    return out;
}

void Text(Bytes& out, const std::string& text)
{
    U32(out, static_cast<uint32_t>(text.size() + 1));
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

struct ProfileSeed {
    int16_t id;
    std::string name;
    std::string items;
};

// A profiles file: magic, count, selected id, then one record per profile.
Bytes Profiles(const std::vector<ProfileSeed>& profiles, int16_t selected, const std::string& properties)
{
    const char magic[16] = "kT.profiles.bin";
    Bytes out(magic, magic + 16);
    U32(out, static_cast<uint32_t>(profiles.size()));
    out.push_back(static_cast<unsigned char>(selected & 0xFF));
    out.push_back(static_cast<unsigned char>((selected >> 8) & 0xFF));
    for (const ProfileSeed& p : profiles) {
        out.push_back(static_cast<unsigned char>(p.id & 0xFF));
        out.push_back(static_cast<unsigned char>((p.id >> 8) & 0xFF));
        Text(out, p.name);
        F32(out, 0.5f);
        F32(out, 0.25f);
        out.insert(out.end(), {1, 0, 1});
        U32(out, 1234);
        out.insert(out.end(), {3, 2});
        Text(out, "Levels/Stage01/Level02/Scripts/Startup.lua");
        Text(out, p.items);
        Text(out, properties);
    }
    return out;
}

Bytes ActionTrack(const std::vector<std::pair<float, std::string>>& keys)
{
    Bytes out(reinterpret_cast<const unsigned char*>("kT.actiontrack.bin"),
              reinterpret_cast<const unsigned char*>("kT.actiontrack.bin") + 19);
    U32(out, static_cast<uint32_t>(keys.size()));
    for (const auto& key : keys) {
        F32(out, key.first);
        U32(out, static_cast<uint32_t>(key.second.size() + 1));
        out.insert(out.end(), key.second.begin(), key.second.end());
        out.push_back(0);
    }
    return out;
}

bool Write(const std::filesystem::path& path, const Bytes& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

// A small image of every kind the alpha images come in, encoded by FreeImage.
Bytes Picture(FREE_IMAGE_FORMAT format, int bitsPerPixel, int flags = 0)
{
    FIBITMAP* bitmap = FreeImage_Allocate(5, 3, bitsPerPixel, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
    if (!bitmap)
        return {};
    if (RGBQUAD* palette = FreeImage_GetPalette(bitmap))
        for (unsigned i = 0; i < FreeImage_GetColorsUsed(bitmap); ++i)
            palette[i] = RGBQUAD{static_cast<BYTE>(i * 3), static_cast<BYTE>(255 - i), static_cast<BYTE>(i), 0};
    for (unsigned y = 0; y < FreeImage_GetHeight(bitmap); ++y) {
        BYTE* line = FreeImage_GetScanLine(bitmap, static_cast<int>(y));
        for (unsigned i = 0; i < FreeImage_GetLine(bitmap); ++i)
            line[i] = static_cast<BYTE>(i * 37 + y * 11);
    }
    Bytes out;
    FIMEMORY* stream = FreeImage_OpenMemory(nullptr, 0);
    BYTE* data = nullptr;
    DWORD size = 0;
    if (stream && FreeImage_SaveToMemory(format, bitmap, stream, flags) &&
        FreeImage_AcquireMemory(stream, &data, &size))
        out.assign(data, data + size);
    if (stream)
        FreeImage_CloseMemory(stream);
    FreeImage_Unload(bitmap);
    return out;
}

// A small image of any type FreeImage holds (16-bit grey, float colours...), encoded by it.
Bytes TypedPicture(FREE_IMAGE_FORMAT format, FREE_IMAGE_TYPE type)
{
    FIBITMAP* bitmap = FreeImage_AllocateT(type, 5, 3);
    if (!bitmap)
        return {};
    for (unsigned y = 0; y < 3; ++y) {
        BYTE* line = FreeImage_GetScanLine(bitmap, static_cast<int>(y));
        for (unsigned i = 0; i < FreeImage_GetLine(bitmap); ++i)
            line[i] = static_cast<BYTE>(i * 29 + y * 7);
        if (type == FIT_RGBAF || type == FIT_RGBF) {
            float* values = reinterpret_cast<float*>(line);
            for (unsigned i = 0; i < FreeImage_GetLine(bitmap) / 4; ++i)
                values[i] = static_cast<float>(i % 7) * 0.4f;
        }
    }
    Bytes out;
    FIMEMORY* stream = FreeImage_OpenMemory(nullptr, 0);
    BYTE* data = nullptr;
    DWORD size = 0;
    if (stream && FreeImage_SaveToMemory(format, bitmap, stream, 0) && FreeImage_AcquireMemory(stream, &data, &size))
        out.assign(data, data + size);
    if (stream)
        FreeImage_CloseMemory(stream);
    FreeImage_Unload(bitmap);
    return out;
}

void PngToBytes(png_structp png, png_bytep data, png_size_t size)
{
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

// A 7 x 5 PNG of any colour type and depth, written by libpng: FreeImage writes few of them.
// Palettes have two entries, so palette depths of 1, 2 and 4 bits only.
Bytes Png(int colourType, int depth, bool interlaced, bool transparent)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, PngToBytes, nullptr);
    png_set_IHDR(png, info, 7, 5, depth, colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[2] = {{200, 10, 30}, {5, 90, 250}};
        png_byte alpha[1] = {0};
        png_set_PLTE(png, info, palette, 2);
        if (transparent)
            png_set_tRNS(png, info, alpha, 1, nullptr);
    } else if (transparent) {
        png_color_16 key{};
        key.gray = key.red = key.green = key.blue = 1;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    const int channels = colourType == PNG_COLOR_TYPE_RGB_ALPHA    ? 4
                         : colourType == PNG_COLOR_TYPE_RGB        ? 3
                         : colourType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                   : 1;
    Bytes row((7 * channels * depth + 7) / 8 + 1);
    for (int y = 0; y < 5; ++y) {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = static_cast<unsigned char>(colourType == PNG_COLOR_TYPE_PALETTE ? (i + y) % 2 * 0x11 : i * 41 + y);
        if (interlaced)
            break;
        png_write_row(png, row.data());
    }
    if (interlaced) {
        png_bytep rows[5] = {row.data(), row.data(), row.data(), row.data(), row.data()};
        png_write_image(png, rows);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A DDS file of uncompressed 32-bit texels.
// A DDS surface of 4 x 3 texels: 32-bit colours, or DXT1 / DXT5 blocks.
Bytes Dds(const char* fourCc = nullptr)
{
    Bytes out(128, 0);
    std::memcpy(out.data(), "DDS ", 4);
    const uint32_t fields[][2] = {{4, 124},  {8, 0x100F},       {12, 3},          {16, 4},          {20, 16},
                                  {76, 32},  {80, 0x41},        {88, 32},         {92, 0x00FF0000}, {96, 0x0000FF00},
                                  {100, 0xFF}, {104, 0xFF000000}, {108, 0x1000}};
    for (const auto& field : fields)
        for (int i = 0; i < 4; ++i)
            out[field[0] + i] = static_cast<unsigned char>(field[1] >> (8 * i));
    if (!fourCc) {
        for (uint32_t i = 0; i < 12; ++i)
            U32(out, 0x80102030u + i * 0x01030507u);
        return out;
    }
    out[80] = 0x4;  // compressed: the four-character code names the blocks
    std::memcpy(out.data() + 84, fourCc, 4);
    const bool dxt1 = std::strcmp(fourCc, "DXT1") == 0;
    for (uint32_t i = 0; i < (dxt1 ? 2u : 4u); ++i)
        U32(out, 0x07E0F800u ^ (i * 0x11111111u));
    return out;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const std::string text = "local x = 1\nreturn x\n";
    bool ok = true;
    ok &= Write(root / "pack" / "plain", Pack({{"a.txt", "hello", false, false}, {"b/c.lua", text, false, false}}, false));
    ok &= Write(root / "pack" / "packed",
                Pack({{"a.png", std::string(300, 'x'), true, false}, {"gone", "", false, true}, {"e", "", true, false}},
                     true));
    ok &= Write(root / "animation" / "channels", Animation(0x3F, 3, false));
    ok &= Write(root / "animation" / "vertex", Animation(0x21, 2, true));
    ok &= Write(root / "animation" / "empty", Animation(0, 0, false));
    ok &= Write(root / "particle" / "sparks", Particle(200, -1.0f, false, 1.0f));
    ok &= Write(root / "particle" / "trail", Particle(50, 2.0f, true, -1.0f));
    Bytes shortParticle = Particle(10, 1.0f, false, 1.0f);
    shortParticle.pop_back();
    ok &= Write(root / "particle" / "short", shortParticle);

    ok &= Write(root / "profiles" / "fresh", Profiles({{0, "", ""}}, 0, ""));
    ok &= Write(root / "profiles" / "three",
                Profiles({{0, "Ann", "Key,Map,"}, {1, "Bob", ""}, {3, "Cy", "a,,b,"}}, 1,
                         "CurrentLevelScript:3:Levels/A.lua:,Flag:0:,Gold:1:5:,Speed:2:0.5000:,Wide:4:,"));

    ok &= Write(root / "charset" / "glyphs", Charset({2, 0, 1}, 5));
    ok &= Write(root / "charset" / "empty", Charset({}, 0));

    ok &= Write(root / "action_track" / "keys", ActionTrack({{0.0f, "a = 1"}, {0.5f, ""}, {1.0f, "b = 2"}}));
    ok &= Write(root / "action_track" / "same-time", ActionTrack({{0.0f, "x"}, {0.0f, "y"}}));
    ok &= Write(root / "action_track" / "empty", ActionTrack({}));

    Bytes stream;
    stream.push_back(1);
    for (unsigned char op : {0, 4, 9, 10, 13, 6, 2})
        for (unsigned char b : {op, static_cast<unsigned char>(0), static_cast<unsigned char>(0),
                                static_cast<unsigned char>(0), static_cast<unsigned char>(0)})
            stream.push_back(b);
    U32(stream, 6);
    stream.insert(stream.end(), {'h', 'e', 'l', 'l', 'o', 0});
    ok &= Write(root / "datastream" / "reads", stream);
    Bytes inflate;
    inflate.push_back(0);
    Bytes full(200, 'z');
    U32(inflate, 200);
    const Bytes packed = Deflate(full);
    inflate.insert(inflate.end(), packed.begin(), packed.end());
    ok &= Write(root / "datastream" / "inflate", inflate);

    // Short tones of every format the sound loaders read, and a tracker module.
    ok &= Write(root / "sound" / "wav", audiofixtures::Tone(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.03));
    ok &= Write(root / "sound" / "ogg", audiofixtures::Tone(SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0.05));
    ok &= Write(root / "sound" / "flac", audiofixtures::Tone(SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0.05, 2));
    ok &= Write(root / "sound" / "mod", audiofixtures::TrackerModule());
    ok &= Write(root / "picture" / "png8", Picture(FIF_PNG, 8));
    ok &= Write(root / "picture" / "png4", Picture(FIF_PNG, 4));
    ok &= Write(root / "picture" / "png1", Picture(FIF_PNG, 1));
    ok &= Write(root / "picture" / "png32", Picture(FIF_PNG, 32));
    ok &= Write(root / "picture" / "bmp8", Picture(FIF_BMP, 8));
    ok &= Write(root / "picture" / "gif8", Picture(FIF_GIF, 8));
    ok &= Write(root / "picture" / "tga8", Picture(FIF_TARGA, 8));
    ok &= Write(root / "picture" / "tga24_rle", Picture(FIF_TARGA, 24, TARGA_SAVE_RLE));
    ok &= Write(root / "picture" / "jpeg", Picture(FIF_JPEG, 24));
    ok &= Write(root / "picture" / "dds_dxt3", Dds("DXT3"));
    // Small clips of each pixel format, an odd picture, and one beside a sound stream;
    // each well under the fuzzer's input limit.
    TestSupport::ClipFormat format;
    format.quality = 8;
    const TestSupport::FramePainter pattern = TestSupport::PatternFrames();
    const struct {
        const char* name;
        th_pixel_fmt pixels;
        int width, height, x, y;
        TestSupport::SoundStream sound;
    } clips[] = {
        {"420", TH_PF_420, 16, 16, 0, 0, TestSupport::SoundStream::None},
        {"422-odd", TH_PF_422, 13, 7, 3, 5, TestSupport::SoundStream::None},
        {"444", TH_PF_444, 8, 8, 0, 0, TestSupport::SoundStream::None},
        {"with-sound", TH_PF_420, 16, 16, 0, 0, TestSupport::SoundStream::Before},
    };
    for (const auto& clip : clips) {
        format.pixelFormat = clip.pixels;
        format.pictureWidth = clip.width;
        format.pictureHeight = clip.height;
        format.pictureX = clip.x;
        format.pictureY = clip.y;
        const TestSupport::ClipBytes bytes = TestSupport::EncodeTheoraClip(format, 3, pattern, clip.sound);
        ok &= !bytes.empty() && Write(root / "video" / clip.name, Bytes(bytes.begin(), bytes.end()));
    }

    // Textures: PNG of every colour type with and without interlacing and transparency,
    // and the other formats the texture loader takes, deep and float types included.
    ok &= Write(root / "texture" / "png_grey1", Png(PNG_COLOR_TYPE_GRAY, 1, false, false));
    ok &= Write(root / "texture" / "png_grey2_trns_interlaced", Png(PNG_COLOR_TYPE_GRAY, 2, true, true));
    ok &= Write(root / "texture" / "png_grey4_trns", Png(PNG_COLOR_TYPE_GRAY, 4, false, true));
    ok &= Write(root / "texture" / "png_grey16", Png(PNG_COLOR_TYPE_GRAY, 16, false, false));
    ok &= Write(root / "texture" / "png_grey_alpha8", Png(PNG_COLOR_TYPE_GRAY_ALPHA, 8, true, false));
    ok &= Write(root / "texture" / "png_rgb16_trns", Png(PNG_COLOR_TYPE_RGB, 16, false, true));
    ok &= Write(root / "texture" / "png_rgba8_interlaced", Png(PNG_COLOR_TYPE_RGB_ALPHA, 8, true, false));
    ok &= Write(root / "texture" / "png_rgba16", Png(PNG_COLOR_TYPE_RGB_ALPHA, 16, false, false));
    ok &= Write(root / "texture" / "png_palette1_trns", Png(PNG_COLOR_TYPE_PALETTE, 1, false, true));
    ok &= Write(root / "texture" / "png_palette4_interlaced", Png(PNG_COLOR_TYPE_PALETTE, 4, true, false));
    ok &= Write(root / "texture" / "jpeg", Picture(FIF_JPEG, 24));
    ok &= Write(root / "texture" / "bmp16", Picture(FIF_BMP, 16));
    ok &= Write(root / "texture" / "bmp4", Picture(FIF_BMP, 4));
    ok &= Write(root / "texture" / "tga32", Picture(FIF_TARGA, 32));
    ok &= Write(root / "texture" / "gif8", Picture(FIF_GIF, 8));
    ok &= Write(root / "texture" / "dds32", Dds());
    ok &= Write(root / "texture" / "dds_dxt1", Dds("DXT1"));
    ok &= Write(root / "texture" / "dds_dxt5", Dds("DXT5"));
    ok &= Write(root / "texture" / "bmp8_rle", Picture(FIF_BMP, 8, BMP_SAVE_RLE));
    ok &= Write(root / "texture" / "tga8", Picture(FIF_TARGA, 8));
    ok &= Write(root / "texture" / "tga24_rle", Picture(FIF_TARGA, 24, TARGA_SAVE_RLE));
    ok &= Write(root / "texture" / "jpeg_grey", Picture(FIF_JPEG, 8));
    // JPEGs of every colour kind, and files that once overflowed a decoder or kept it busy.
    for (const TestSupport::JpegColourCase& jpeg : TestSupport::JpegColourCases()) {
        std::string name = std::string("jpeg kind ") + jpeg.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        ok &= Write(root / "texture" / name, Bytes(jpeg.file.begin(), jpeg.file.end()));
        ok &= Write(root / "picture" / name, Bytes(jpeg.file.begin(), jpeg.file.end()));
    }
    for (const TestSupport::CostlyImage& costly : TestSupport::CostlyImages(false)) {
        ok &= Write(root / "texture" / costly.name, Bytes(costly.bytes.begin(), costly.bytes.end()));
        ok &= Write(root / "picture" / costly.name, Bytes(costly.bytes.begin(), costly.bytes.end()));
    }
    // Files of formats off the list, refused unread; among them ones that once crashed or
    // hung a decoder.
    for (const TestSupport::HostileImage& hostile : TestSupport::HostileImages()) {
        ok &= Write(root / "texture" / hostile.name, Bytes(hostile.bytes.begin(), hostile.bytes.end()));
        ok &= Write(root / "picture" / hostile.name, Bytes(hostile.bytes.begin(), hostile.bytes.end()));
    }
    ok &= Write(root / "texture" / "tiff_grey16", TypedPicture(FIF_TIFF, FIT_UINT16));
    ok &= Write(root / "texture" / "tiff_int16", TypedPicture(FIF_TIFF, FIT_INT16));
    ok &= Write(root / "texture" / "tiff_rgbaf", TypedPicture(FIF_TIFF, FIT_RGBAF));
    ok &= Write(root / "texture" / "pgm16", TypedPicture(FIF_PGMRAW, FIT_UINT16));
    ok &= Write(root / "texture" / "hdr", TypedPicture(FIF_HDR, FIT_RGBF));
    ok &= Write(root / "texture" / "pfm", TypedPicture(FIF_PFM, FIT_RGBF));
    return ok ? 0 : 1;
}
