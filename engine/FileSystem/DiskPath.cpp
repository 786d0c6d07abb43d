#include "engine/FileSystem/DiskPath.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace EngineCore {

namespace {

bool Exists(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// The entry of folder whose name equals name ignoring ASCII case; the byte-wise
// smallest one when several match, so the choice does not depend on directory order.
bool FindCaseless(const std::string& folder, const std::string& name, std::string& found)
{
    DIR* dir = opendir(folder.empty() ? "/" : folder.c_str());
    if (!dir)
        return false;
    std::vector<std::string> matches;
    while (dirent* entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0)
            matches.emplace_back(entry->d_name);
    }
    closedir(dir);
    if (matches.empty())
        return false;
    found = *std::min_element(matches.begin(), matches.end());
    return true;
}

}  // namespace

std::string ToForwardSlashes(const std::string& path)
{
    std::string result = path;
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

std::string ResolveDiskPath(const std::string& path)
{
    if (path.empty() || Exists(path))
        return path;
    const std::string slashed = ToForwardSlashes(path);
    if (Exists(slashed))
        return slashed;

    const bool absolute = slashed[0] == '/';
    std::string resolved = absolute ? "" : ".";
    std::string result;
    size_t start = absolute ? 1 : 0;
    while (start <= slashed.size()) {
        size_t end = slashed.find('/', start);
        if (end == std::string::npos)
            end = slashed.size();
        const std::string part = slashed.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".")
            continue;
        std::string actual = part;
        if (!Exists(resolved + "/" + part) && part != ".." && !FindCaseless(resolved, part, actual))
            return slashed;
        resolved += "/" + actual;
        result += (result.empty() && !absolute) ? actual : "/" + actual;
    }
    return result.empty() ? slashed : result;
}

}  // namespace EngineCore
