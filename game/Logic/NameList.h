#pragma once
// Look-ups in the ordered name lists of the character's inventory and spell book; the
// callers hold their own lock.
#include <algorithm>
#include <string>
#include <vector>

namespace GameCore {

// The position of `name`, or -1 when it is not there or null.
inline int IndexOfName(const std::vector<std::string>& names, const char* name)
{
    if (!name)
        return -1;
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

// The name at `index`; null outside the list.
inline const char* NameAt(const std::vector<std::string>& names, int index)
{
    if (index < 0 || index >= static_cast<int>(names.size()))
        return nullptr;
    return names[index].c_str();
}

}  // namespace GameCore
