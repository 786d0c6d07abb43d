#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/FileSystem/DeflatePacker.h"
#include "engine/FileSystem/InputDataStream.h"
#include "engine/FileSystem/OutputDataStream.h"

using namespace EngineCore;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes BytesOf(const OutputDataStream& out)
{
    return Bytes(out.GetData(), out.GetData() + out.GetSize());
}

}  // namespace

TEST(DataStream, EveryTypeHasItsGoldenBytesAndReadsBack)
{
    OutputDataStream out;
    out << static_cast<unsigned char>(0xAB) << static_cast<signed char>(-2) << u"ab" << "abc"
        << static_cast<unsigned short>(0x1234) << static_cast<short>(-2) << 0x01020304u << -1 << 1.0
        << 1.0f << true << false;
    const Bytes expected = {
        0xAB,                                                  // unsigned char
        0xFE,                                                  // signed char
        0x06, 0, 0, 0, 0x61, 0, 0x62, 0, 0, 0,                 // wide "ab"
        0x04, 0, 0, 0, 0x61, 0x62, 0x63, 0,                    // "abc"
        0x34, 0x12,                                            // unsigned short
        0xFE, 0xFF,                                            // short
        0x04, 0x03, 0x02, 0x01,                                // unsigned int
        0xFF, 0xFF, 0xFF, 0xFF,                                // int
        0, 0, 0, 0, 0, 0, 0xF0, 0x3F,                          // double
        0, 0, 0x80, 0x3F,                                      // float
        0x01, 0x00,                                            // bools
    };
    ASSERT_EQ(expected, BytesOf(out));

    InputDataStream in(out.GetData(), out.GetSize());
    unsigned char uc = 0;
    signed char sc = 0;
    std::u16string wide;
    std::string text;
    unsigned short us = 0;
    short s = 0;
    unsigned int ui = 0;
    int i = 0;
    double d = 0;
    float f = 0;
    bool b1 = false, b2 = true;
    EXPECT_TRUE(in >> uc);
    EXPECT_TRUE(in >> sc);
    EXPECT_TRUE(in >> wide);
    EXPECT_TRUE(in >> text);
    EXPECT_TRUE(in >> us);
    EXPECT_TRUE(in >> s);
    EXPECT_TRUE(in >> ui);
    EXPECT_TRUE(in >> i);
    EXPECT_TRUE(in >> d);
    EXPECT_TRUE(in >> f);
    EXPECT_TRUE(in >> b1);
    EXPECT_TRUE(in >> b2);
    EXPECT_EQ(0xAB, uc);
    EXPECT_EQ(-2, sc);
    EXPECT_EQ(u"ab", wide);
    EXPECT_EQ("abc", text);
    EXPECT_EQ(0x1234, us);
    EXPECT_EQ(-2, s);
    EXPECT_EQ(0x01020304u, ui);
    EXPECT_EQ(-1, i);
    EXPECT_EQ(1.0, d);
    EXPECT_EQ(1.0f, f);
    EXPECT_TRUE(b1);
    EXPECT_FALSE(b2);
    EXPECT_EQ(out.GetSize(), in.GetPosition());
    EXPECT_FALSE(in >> uc);
}

TEST(DataStream, NullAndEmptyTextsWriteAnEmptyString)
{
    OutputDataStream out;
    out << static_cast<const char*>(nullptr) << "" << static_cast<const char16_t*>(nullptr);
    EXPECT_EQ((Bytes{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0}), BytesOf(out));
}

TEST(DataStream, ShortReadFailsAndLeavesTargetAndPosition)
{
    const unsigned char data[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    struct Case {
        int available;  // bytes after the position
        int width;
    } cases[] = {{0, 1}, {1, 2}, {3, 4}, {7, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        InputDataStream in(data, 4 + c.available);
        in.Seek(4);
        bool ok = true;
        switch (c.width) {
        case 1: { unsigned char v = 0x5A; ok = in >> v; EXPECT_EQ(0x5A, v); break; }
        case 2: { short v = 0x5A; ok = in >> v; EXPECT_EQ(0x5A, v); break; }
        case 4: { float v = 2.5f; ok = in >> v; EXPECT_EQ(2.5f, v); int w = 7; EXPECT_FALSE(in >> w); EXPECT_EQ(7, w); break; }
        case 8: { double v = 2.5; ok = in >> v; EXPECT_EQ(2.5, v); break; }
        }
        EXPECT_FALSE(ok);
        EXPECT_EQ(4, in.GetPosition());
    }
}

TEST(DataStream, RawReadOfZeroAtEndSucceedsAndPastEndCopiesNothing)
{
    const unsigned char data[3] = {1, 2, 3};
    InputDataStream in(data, 3);
    unsigned char target[4] = {9, 9, 9, 9};
    EXPECT_TRUE(in.Read(target, 2));
    EXPECT_FALSE(in.Read(target, 2));
    EXPECT_EQ(2, in.GetPosition());
    EXPECT_EQ(9, target[2]);
    EXPECT_TRUE(in.Read(target, 1));
    EXPECT_TRUE(in.Read(target, 0));
    EXPECT_FALSE(in.Read(target, -1));
    EXPECT_EQ(3, in.GetPosition());
}

TEST(DataStream, StringCountsAreCheckedAndTextEndsAtFirstNul)
{
    struct Case {
        const char* what;
        Bytes bytes;
        bool ok;
        std::string text;
        int position;
    } cases[] = {
        {"text ends before the count", {10, 0, 0, 0, 'a', 'b', 'c', 0, 'x', 'y', 'z', 0, 0, 0, 0xEE}, true, "abc", 14},
        {"no NUL inside the body", {3, 0, 0, 0, 'a', 'b', 'c', 'd'}, true, "abc", 7},
        {"count 0", {0, 0, 0, 0, 'a'}, true, "", 4},
        {"negative count", {0xFF, 0xFF, 0xFF, 0xFF, 'a', 0}, false, "keep", 0},
        {"count past the end", {5, 0, 0, 0, 'a', 'b', 0}, false, "keep", 0},
        {"huge count", {0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}, false, "keep", 0},
        {"count cut short", {4, 0, 0}, false, "keep", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InputDataStream in(c.bytes.data(), static_cast<int>(c.bytes.size()));
        std::string text = "keep";
        EXPECT_EQ(c.ok, in >> text);
        EXPECT_EQ(c.text, text);
        EXPECT_EQ(c.position, in.GetPosition());
    }
}

TEST(DataStream, WideStringCountsAreCheckedAndOddCountsSkipTheHalfUnit)
{
    struct Case {
        const char* what;
        Bytes bytes;
        bool ok;
        std::u16string text;
        int position;
    } cases[] = {
        {"plain", {6, 0, 0, 0, 'a', 0, 0x3B, 0x04, 0, 0}, true, u"a\u043B", 10},
        {"odd count", {5, 0, 0, 0, 'a', 0, 'b', 0, 'X', 0xEE}, true, u"ab", 9},
        {"embedded NUL", {8, 0, 0, 0, 'a', 0, 0, 0, 'b', 0, 0, 0}, true, u"a", 12},
        {"count 0", {0, 0, 0, 0}, true, u"", 4},
        {"count past the end", {8, 0, 0, 0, 'a', 0}, false, u"keep", 0},
        {"negative count", {0xFE, 0xFF, 0xFF, 0xFF, 'a', 0}, false, u"keep", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InputDataStream in(c.bytes.data(), static_cast<int>(c.bytes.size()));
        std::u16string text = u"keep";
        EXPECT_EQ(c.ok, in >> text);
        EXPECT_EQ(c.text, text);
        EXPECT_EQ(c.position, in.GetPosition());
    }
}

TEST(DataStream, CopiesShareTheBufferWithTheirOwnPosition)
{
    const unsigned char data[4] = {1, 2, 3, 4};
    InputDataStream a(data, 4);
    unsigned char v = 0;
    a >> v;
    InputDataStream b = a;
    b >> v;
    EXPECT_EQ(2, v);
    EXPECT_EQ(1, a.GetPosition());
    EXPECT_EQ(2, b.GetPosition());
    b.Clear();
    EXPECT_FALSE(b >> v);
    EXPECT_EQ(0, b.GetSize());
}

TEST(DataStream, OutputGrowsByDoublingPastTheNeededSize)
{
    struct Case {
        std::vector<int> appends;
        int capacity;
    } cases[] = {
        {{4096}, 4096},
        {{4096, 1}, 8192},
        {{5000}, 8192},
        {{8192}, 16384},
        {{0}, 4096},
    };
    for (const Case& c : cases) {
        OutputDataStream out;
        int total = 0;
        for (int n : c.appends) {
            const std::vector<unsigned char> bytes(static_cast<size_t>(n), 0x11);
            out.Write(bytes.data(), n);
            total += n;
        }
        EXPECT_EQ(c.capacity, out.GetCapacity());
        EXPECT_EQ(total, out.GetSize());
    }

    OutputDataStream out;
    const std::vector<unsigned char> bytes(5000, 0x22);
    out.Write(bytes.data(), 5000);
    out.Clear();
    EXPECT_EQ(0, out.GetSize());
    EXPECT_EQ(8192, out.GetCapacity());
    out << 7;
    EXPECT_EQ((Bytes{7, 0, 0, 0}), BytesOf(out));
}

TEST(DataStream, GrowthKeepsTheBytesWrittenBefore)
{
    OutputDataStream out;
    for (int i = 0; i < 3000; ++i)
        out << i;
    InputDataStream in(out.GetData(), out.GetSize());
    for (int i = 0; i < 3000; ++i) {
        int v = -1;
        ASSERT_TRUE(in >> v);
        ASSERT_EQ(i, v);
    }
}

TEST(DeflatePacker, InflatesOnlyToExactlyTheRecordedSize)
{
    const std::string text(10000, 'q');
    uLongf length = compressBound(text.size());
    Bytes packed(length);
    ASSERT_EQ(Z_OK, compress(packed.data(), &length, reinterpret_cast<const Bytef*>(text.data()), text.size()));
    packed.resize(length);

    std::unique_ptr<unsigned char[]> exact(DeflatePacker::Decompress(packed.data(), length, 10000));
    ASSERT_TRUE(exact);
    EXPECT_EQ(0, std::memcmp(exact.get(), text.data(), text.size()));

    Bytes corrupt = packed;
    corrupt[corrupt.size() / 2] ^= 0xFF;
    corrupt[2] ^= 0x55;
    struct Case {
        const char* what;
        const Bytes* data;
        uint32_t fullSize;
    } refused[] = {
        {"expected size too small", &packed, 9999},
        {"expected size too large (short output)", &packed, 10001},
        {"corrupt data", &corrupt, 10000},
        {"more than zlib can expand to", &packed, 0xFFFFFFFFu},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(nullptr, DeflatePacker::Decompress(c.data->data(), static_cast<uint32_t>(c.data->size()), c.fullSize));
    }
}

TEST(DeflatePacker, CompressRoundTripsTinyAndEmptyInputs)
{
    for (uint32_t n : {0u, 1u, 5u, 10u, 1000u}) {
        SCOPED_TRACE(n);
        std::string text;
        for (uint32_t i = 0; i < n; ++i)
            text.push_back(static_cast<char>('a' + i * 7 % 26));
        uint32_t size = n;
        std::unique_ptr<unsigned char[]> packed(DeflatePacker::Compress(text.data(), size));
        ASSERT_TRUE(packed);
        std::unique_ptr<unsigned char[]> back(DeflatePacker::Decompress(packed.get(), size, n));
        ASSERT_TRUE(back);
        EXPECT_EQ(text, std::string(reinterpret_cast<const char*>(back.get()), n));
    }
}
