#include "platform/hge/ImageDecoder.h"

#include <FreeImage.h>

#include <cstring>
#include <mutex>

namespace hgeplatform {

namespace {
// Once per process, never undone: other parts of the program use FreeImage too.
void InitFreeImage() {
    static std::once_flag once;
    std::call_once(once, [] { FreeImage_Initialise(FALSE); });
}
// The sides a file claims are read from its header before its pixels are: a few bytes can
// claim a picture of many gigabytes. Formats that cannot read only the header pass here
// and are measured once decoded.
bool SidesFit(FREE_IMAGE_FORMAT fif, FIMEMORY* mem, int maxSide) {
    if (!FreeImage_FIFSupportsNoPixels(fif)) return true;
    FIBITMAP* header = FreeImage_LoadFromMemory(fif, mem, FIF_LOAD_NOPIXELS);
    if (!header) return false;
    const unsigned w = FreeImage_GetWidth(header);
    const unsigned h = FreeImage_GetHeight(header);
    FreeImage_Unload(header);
    return w > 0 && h > 0 && w <= unsigned(maxSide) && h <= unsigned(maxSide);
}
}  // namespace

bool DecodeImage(const void* data, uint32_t size, int maxSide, int* width, int* height,
                 std::vector<uint32_t>* pixels) {
    if (!data || size == 0) return false;
    InitFreeImage();
    FIMEMORY* mem = FreeImage_OpenMemory(static_cast<BYTE*>(const_cast<void*>(data)), size);
    if (!mem) return false;
    bool ok = false;
    const FREE_IMAGE_FORMAT fif = FreeImage_GetFileTypeFromMemory(mem, 0);
    if (fif != FIF_UNKNOWN && FreeImage_FIFSupportsReading(fif) && SidesFit(fif, mem, maxSide)) {
        FreeImage_SeekMemory(mem, 0, SEEK_SET);
        FIBITMAP* image = FreeImage_LoadFromMemory(fif, mem, 0);
        FIBITMAP* rgba = image ? FreeImage_ConvertTo32Bits(image) : nullptr;
        if (rgba) {
            const unsigned w = FreeImage_GetWidth(rgba);
            const unsigned h = FreeImage_GetHeight(rgba);
            if (w > 0 && h > 0 && w <= unsigned(maxSide) && h <= unsigned(maxSide)) {
                pixels->assign(size_t(w) * h, 0u);
                // FreeImage keeps rows bottom-up, texels as B, G, R, A bytes.
                for (unsigned y = 0; y < h; ++y)
                    std::memcpy(pixels->data() + size_t(y) * w, FreeImage_GetScanLine(rgba, int(h - 1 - y)),
                                size_t(w) * 4);
                *width = int(w);
                *height = int(h);
                ok = true;
            }
            FreeImage_Unload(rgba);
        }
        if (image) FreeImage_Unload(image);
    }
    FreeImage_CloseMemory(mem);
    return ok;
}

}  // namespace hgeplatform
