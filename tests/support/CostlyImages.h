#pragma once
// Small image files of accepted formats that once made a decoder write past its buffer or
// work for minutes: JPEGs of 2 and 5 to 10 components (libjpeg writes more bytes a pixel
// than FreeImage's reader allocated), progressive JPEGs of thousands of scans that walk
// every block of a large picture each, and a 120-byte run-length BMP of 16384 x 4096 that
// a walk over every pixel cannot finish. At full size they are the files first reported;
// the seed sizes fit the fuzzers' input limit and their pictures the fuzzers' side limit.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace TestSupport {

struct CostlyImage {
    std::string name;
    std::vector<uint8_t> bytes;
    // Within every bound (the BMP; the seed of 400 scans over a 1024 x 1024 picture):
    // decoded, not refused.
    bool decodes = false;
};

namespace costly {

using Bytes = std::vector<uint8_t>;

inline void Be16(Bytes& out, unsigned v)
{
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

inline Bytes Segment(unsigned marker, const Bytes& body)
{
    Bytes out = {0xFF, uint8_t(marker)};
    Be16(out, unsigned(body.size()) + 2);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// One quantisation table and the least Huffman tables: DC code "0" for category 0; AC
// code "00" for an end of block, "01" for an end-of-band run of 2^14 + 14 more bits.
inline Bytes Jpeg(unsigned width, unsigned height, unsigned components, const std::vector<Bytes>& scans,
                  bool progressive, int adobeTransform = -1)
{
    Bytes j = {0xFF, 0xD8};
    auto add = [&j](const Bytes& b) { j.insert(j.end(), b.begin(), b.end()); };
    if (adobeTransform >= 0)
        add(Segment(0xEE, {'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, uint8_t(adobeTransform)}));
    Bytes dqt(65, 1);
    dqt[0] = 0;
    add(Segment(0xDB, dqt));
    Bytes sof = {8};
    Be16(sof, height);
    Be16(sof, width);
    sof.push_back(uint8_t(components));
    for (unsigned i = 0; i < components; ++i)
        sof.insert(sof.end(), {uint8_t(i + 1), 0x11, 0});
    add(Segment(progressive ? 0xC2 : 0xC0, sof));
    Bytes dht = {0x00, 1};
    dht.insert(dht.end(), 15, 0);
    dht.insert(dht.end(), {0x00, 0x10, 0, 2});
    dht.insert(dht.end(), 14, 0);
    dht.insert(dht.end(), {0x00, 0xE0});
    add(Segment(0xC4, dht));
    for (const Bytes& scan : scans)
        add(scan);
    add({0xFF, 0xD9});
    return j;
}

inline Bytes Scan(const std::vector<unsigned>& components, unsigned first, unsigned last, const Bytes& data)
{
    Bytes body = {uint8_t(components.size())};
    for (unsigned c : components)
        body.insert(body.end(), {uint8_t(c), 0});
    body.insert(body.end(), {uint8_t(first), uint8_t(last), 0});
    Bytes out = Segment(0xDA, body);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// DC values of zero for every block of one component.
inline Bytes DcScan(unsigned blocks) { return Scan({1}, 0, 0, Bytes(blocks / 8, 0)); }

// First AC scan of component 1 whose blocks (a multiple of 2^14) are all ends of band.
inline Bytes AcScan(unsigned blocks)
{
    Bytes data;
    unsigned acc = 0, bits = 0;
    for (unsigned run = 0; run < blocks / 16384; ++run) {
        acc = acc << 16 | 0x4000u;  // "01", then 14 zero bits
        for (bits += 16; bits >= 8; bits -= 8)
            data.push_back(uint8_t(acc >> (bits - 8)));
    }
    return Scan({1}, 1, 63, data);
}

inline Bytes ScansOfGrey(unsigned side, unsigned scans)
{
    const unsigned blocks = side / 8 * (side / 8);
    std::vector<Bytes> all(scans, AcScan(blocks));
    all[0] = DcScan(blocks);
    return Jpeg(side, side, 1, all, true);
}

// A BMP of 16-colour run-length data that ends at once.
inline Bytes WideRunLengthBmp()
{
    Bytes b = {'B', 'M', 120, 0, 0, 0, 0, 0, 0, 0, 118, 0, 0, 0, 40, 0, 0, 0, 0, 0x40, 0, 0, 0, 0x10, 0, 0,
               1, 0, 4, 0, 2, 0, 0, 0, 2, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (unsigned i = 0; i < 16; ++i)
        b.insert(b.end(), {uint8_t(i), uint8_t(i * 7), uint8_t(i * 13), 0});
    b.insert(b.end(), {0, 1});
    return b;
}

}  // namespace costly

// Every file at full size (the largest 821 KB), or at seed size (each under 8 KB).
inline std::vector<CostlyImage> CostlyImages(bool fullSize)
{
    using costly::Jpeg;
    using costly::Scan;
    std::vector<CostlyImage> out;
    const costly::Bytes emptyScan = Scan({1}, 1, 63, {});
    out.push_back({"jpeg_5comp_8x8_progressive", Jpeg(8, 8, 5, {emptyScan}, true)});
    for (unsigned components : {2u, 6u, 7u, 8u, 9u})
        out.push_back({"jpeg_" + std::to_string(components) + "comp_8x8_progressive",
                       Jpeg(8, 8, components, {emptyScan}, true)});
    out.push_back({"jpeg_10_components_progressive", Jpeg(16384, 4096, 10, {emptyScan}, true)});
    if (fullSize) {
        out.push_back({"jpeg_cmyk_empty_scans", Jpeg(4096, 4096, 4, std::vector<costly::Bytes>(3000, emptyScan), true, 0)});
        out.push_back({"jpeg_progressive_500_scans", costly::ScansOfGrey(8192, 500)});
        out.push_back({"jpeg_progressive_5000_scans", costly::ScansOfGrey(8192, 5000)});
    } else {
        out.push_back({"jpeg_cmyk_empty_scans", Jpeg(2048, 2048, 4, std::vector<costly::Bytes>(600, emptyScan), true, 0)});
        out.push_back({"jpeg_progressive_400_scans", costly::ScansOfGrey(1024, 400), true});
    }
    out.push_back({"bmp_rle4_wide_tiny", costly::WideRunLengthBmp(), true});
    return out;
}

// The full-size files, then the seeds that differ from them.
inline std::vector<CostlyImage> CostlyImagesOfBothSizes()
{
    std::vector<CostlyImage> all = CostlyImages(true);
    const size_t full = all.size();
    for (CostlyImage& seed : CostlyImages(false)) {
        bool same = false;
        for (size_t i = 0; i < full; ++i)
            same = same || all[i].bytes == seed.bytes;
        if (!same)
            all.push_back(std::move(seed));
    }
    return all;
}

}  // namespace TestSupport
