#include "platform/hge/FilePaths.h"

#include <strings.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace hgeplatform {

namespace fs = std::filesystem;

namespace {

bool IsFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// Walks the components, matching each without regard to case when the exact one is missing.
std::string FindIgnoringCase(const fs::path& start, const fs::path& relative) {
    fs::path current = start;
    for (const fs::path& part : relative) {
        const std::string name = part.string();
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            current /= part;
            continue;
        }
        std::error_code ec;
        if (fs::exists(current / part, ec)) {
            current /= part;
            continue;
        }
        std::vector<std::string> matches;
        fs::directory_iterator it(current.empty() ? fs::path(".") : current, ec), end;
        for (; !ec && it != end; it.increment(ec)) {
            const std::string entry = it->path().filename().string();
            if (strcasecmp(entry.c_str(), name.c_str()) == 0) matches.push_back(entry);
        }
        if (matches.empty()) return std::string();
        // Directory order is not stable: take the first name in sorted order.
        std::sort(matches.begin(), matches.end());
        current /= matches.front();
    }
    return IsFile(current) ? current.string() : std::string();
}

}  // namespace

std::string FindFile(const std::string& name, const std::string& base) {
    if (name.empty()) return std::string();
    std::string clean = name;
    std::replace(clean.begin(), clean.end(), '\\', '/');
    const fs::path p(clean);
    const fs::path full = p.is_absolute() || base.empty() ? p : fs::path(base) / p;
    if (IsFile(full)) return full.string();
    if (p.is_absolute()) return FindIgnoringCase(p.root_path(), p.relative_path());
    return FindIgnoringCase(base.empty() ? fs::path() : fs::path(base), p);
}

std::string ProgramFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

}  // namespace hgeplatform
