#include "platform/hge/DisplayMapping.h"

#include <algorithm>
#include <cmath>

namespace hgeplatform {

DisplayMapping ComputeDisplayMapping(bool windowed, bool stretch, int gameWidth, int gameHeight,
                                     int windowWidth, int windowHeight) {
    DisplayMapping m;
    m.width = gameWidth > 0 ? gameWidth : 0;
    m.height = gameHeight > 0 ? gameHeight : 0;
    if (windowed || gameWidth <= 0 || gameHeight <= 0 || windowWidth <= 0 || windowHeight <= 0)
        return m;

    const float sx = float(windowWidth) / float(gameWidth);
    const float sy = float(windowHeight) / float(gameHeight);
    if (stretch) {
        m.hscale = sx;
        m.vscale = sy;
        m.width = windowWidth;
        m.height = windowHeight;
        return m;
    }
    const float s = std::min(sx, sy);
    const float barX = (float(windowWidth) - float(gameWidth) * s) * 0.5f;
    const float barY = (float(windowHeight) - float(gameHeight) * s) * 0.5f;
    m.hscale = m.vscale = s;
    m.hoffset = -barX / s;
    m.voffset = -barY / s;
    m.x = int(std::lround(barX));
    m.y = int(std::lround(barY));
    m.width = int(std::lround(float(gameWidth) * s));
    m.height = int(std::lround(float(gameHeight) * s));
    return m;
}

}  // namespace hgeplatform
