#pragma once
// The bytes of the profiles file, apart from where they are stored.
//
// Layout, little-endian, no gaps: the 16 bytes "kT.profiles.bin\0", the profile
// count (uint32), the selected profile's id (int16, -1 for none), then one record
// per profile (Profile::Read/Write). Strings are a 32-bit count including the NUL,
// then the bytes and the NUL.
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "game/Logic/Profile.h"

namespace GameCore {

extern const char kProfilesMagic[16];

enum class ProfilesFileStatus {
    Ok,
    // Short header, another magic, count 0: nothing of the file is usable.
    BadHeader,
    // A record ended inside its fixed fields: the records before it were read.
    BadRecord,
};

struct ProfilesFileContents {
    std::vector<std::shared_ptr<Profile>> profiles;
    int16_t selectedId = -1;
    // Bytes left after the last record read. A save writes none, so any are a sign of
    // damage (a count too small, a text whose count runs past the end) and hold
    // something of the player's that a rewrite of the file would drop.
    size_t bytesAfterRecords = 0;
};

// Reads every record the header announces. The loop ends at the first bad record,
// so a huge count in a short file costs no more than the bytes it has.
ProfilesFileStatus DecodeProfilesFile(const void* data, size_t size, ProfilesFileContents& contents);

// The file for `profiles`, each record with its own property field: the n-th text of
// `propertyTexts` (an empty field past its end).
std::vector<unsigned char> EncodeProfilesFile(const std::list<std::shared_ptr<Profile>>& profiles, int16_t selectedId,
                                              const std::vector<std::string>& propertyTexts);
// The file for `profiles` with `propertyText` as every record's property field.
std::vector<unsigned char> EncodeProfilesFile(const std::list<std::shared_ptr<Profile>>& profiles, int16_t selectedId,
                                              const std::string& propertyText);

}  // namespace GameCore
