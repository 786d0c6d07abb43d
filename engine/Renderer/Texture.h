#pragma once
#include <cstdint>
#include <vector>

#include "engine/Resources/Resource.h"

namespace EngineCore {

// The abstract image resource. The engine keeps its size and a locked flag; the
// back-end loads the image and implements locking. Locked pixels are 32-bit ARGB
// (alpha in bits 24-31, blue in 0-7), stored row after row, `width` per row.
class Texture : public Resource {
public:
    Texture();
    Texture(const Texture& other);
    Texture& operator=(const Texture& other);
    ~Texture() override;

    bool IsValid() const override;

    // Base bodies only keep the locked flag; the back-end hands out the pixels.
    virtual void Unlock();
    virtual bool Lock(unsigned x, unsigned y, unsigned width, unsigned height, bool readOnly, uint32_t*& pixels);
    virtual bool DirectAccess(unsigned char* data);

    unsigned GetWidth() const { return _width; }
    unsigned GetHeight() const { return _height; }
    bool IsLocked() const { return _locked; }

    // Blurs the colour (never the alpha) of the top min(rows, height) rows in
    // place with a separable 13-tap Gaussian (sigma 2), `passes` times. False when
    // the texture cannot be locked. Rows below are neither read nor written.
    // Results do not depend on the number of threads.
    bool MakeBlur(unsigned passes, unsigned rows);

protected:
    void SetSize(unsigned width, unsigned height);

private:
    // One line of `count` pixels into `out` (4 * count bytes, read as pixels).
    void BlurRow(const uint32_t* const pixels, int count, std::vector<unsigned char>& out);
    // out[0..12] := centre - 6 + j clamped to 0..count - 1.
    void GetKernelIndeces(int centre, int count, std::vector<int>& out);

    bool _locked = false;
    unsigned _width = 0;
    unsigned _height = 0;
};

}  // namespace EngineCore
