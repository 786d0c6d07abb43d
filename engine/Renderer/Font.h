#pragma once
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "engine/Resources/Resource.h"

namespace EngineCore {

// A bitmap font: a texture, the characters it covers (8-bit or wide) and one glyph
// record per character, glyph i belonging to the character at position i.
//
// Sharing between threads: a font is a named resource, so the loading screen (main
// thread) draws text in the same font object that the state being entered (loader
// thread) may be setting up at that moment. Lookups never change the font: they read
// an immutable table (character maps, glyphs, line height, texture) published as a
// whole through a shared pointer. Every change is made on the set-up side under a
// lock and published as a new table: at once for the character set and the texture;
// glyph edits made record by record (Reserve, SetInfo) on the next lookup, under that
// lock, so loading a table of n glyphs costs one rebuild. A lookup sees the font as
// it was before or after a change, never half of one.
class Font : public Resource {
public:
    struct CharInfo {
        uint16_t index = 0;  // the glyph's own position in the table
        uint16_t x = 0;      // rectangle in the texture, in texels
        uint16_t y = 0;
        uint16_t width = 0;  // also the advance
        uint16_t height = 0;
        int16_t offset = 0;  // vertical offset in pixels; positive moves down
    };

    Font();
    ~Font() override;

    bool IsValid() const override;

    virtual void SetAscii(const char* text);
    virtual void SetUnicode(const char16_t* text);
    virtual void SetTexture(const std::shared_ptr<Resource>& texture);

    std::string GetAscii() const;
    std::u16string GetUnicode() const;
    bool IsUnicodeCharset() const;
    // A copy: the set-up side may replace the texture while another thread draws.
    std::shared_ptr<Resource> GetTexture() const;

    // False for a character the font does not cover, a glyph index past the table, or
    // a lookup of the other width than the font's character set.
    bool GetCharacterInfo(char c, CharInfo& out) const;
    bool GetCharacterInfo(char16_t c, CharInfo& out) const;
    // The largest glyph height + |offset| over the characters of the set.
    float GetHeight() const;

private:
    struct Table;

public:
    // The font as published at one moment, for lookups that belong together (a layout):
    // the table is taken once instead of at every lookup, and a change made meanwhile
    // shows from the next snapshot on.
    class Snapshot {
    public:
        bool GetCharacterInfo(char c, CharInfo& out) const;
        float GetHeight() const;
        const std::shared_ptr<Resource>& GetTexture() const;

    private:
        friend class Font;
        explicit Snapshot(std::shared_ptr<const Table> table) : _table(std::move(table)) {}
        std::shared_ptr<const Table> _table;
    };
    Snapshot GetSnapshot() const;

protected:
    void Init() override;
    // Drops the texture.
    void Release() override;

    // The glyph table becomes `count` zeroed records.
    void Reserve(unsigned count);
    // False when `index` is not below the table size.
    bool SetInfo(uint16_t index, uint16_t x, uint16_t y, uint16_t width, uint16_t height, int16_t offset);
    bool GetInfo(uint16_t index, CharInfo& out) const;

private:
    // The table lookups read; rebuilt first when glyph edits are pending.
    std::shared_ptr<const Table> Published() const;
    // Builds and publishes the table from the set-up data; `_setupLock` is held.
    void PublishLocked() const;

    // The set-up data, guarded by `_setupLock`; lookups never read it.
    mutable std::mutex _setupLock;
    bool _unicode = false;
    std::shared_ptr<Resource> _texture;
    std::string _ascii;
    std::u16string _unicodeChars;
    std::vector<CharInfo> _glyphs;

    // Set by glyph edits that are not published yet.
    mutable std::atomic<bool> _stale{false};
    // Read and replaced only through std::atomic_load / std::atomic_store.
    mutable std::shared_ptr<const Table> _published;
};

}  // namespace EngineCore
