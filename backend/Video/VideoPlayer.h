#pragma once
// One video file: its bytes, the decoder reading them and the texture that receives the
// frames. The texture is exactly the picture's size and starts transparent black. The
// file's bytes are read once into HGE's buffer, which the decoders share (those made by
// Reset too, so a restart reads no file) and which goes back to HGE with the last of them.

#include <memory>

#include "platform/hge/hge.h"

namespace MobrixCore {

class VideoDecoder;

class VideoPlayer {
public:
    VideoPlayer();
    ~VideoPlayer();
    VideoPlayer(const VideoPlayer&) = delete;
    VideoPlayer& operator=(const VideoPlayer&) = delete;

    // Closes any open video first; the file is read by HGE's own file access, not through
    // the virtual file system. False leaves the player closed.
    bool Open(const char* path);
    // Starts the current video again from its first page; the texture keeps its picture.
    bool Reset();
    void Close();
    // One packet into the texture; false at the end of the data or without a video.
    bool Step();
    bool HasData() const;

    // The texture's surface size; 0 when closed.
    float GetWidth() const { return _width; }
    float GetHeight() const { return _height; }
    float GetFramePeriod() const;
    HTEXTURE GetTexture() const { return _texture; }

private:
    HGE* _hge;
    std::unique_ptr<VideoDecoder> _decoder;
    HTEXTURE _texture = 0;
    float _width = 0.0f;
    float _height = 0.0f;
};

}  // namespace MobrixCore
