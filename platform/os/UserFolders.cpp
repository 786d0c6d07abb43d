#include "platform/os/UserFolders.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace OsPlatform {

namespace {

std::string EnvOrEmpty(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// Closed on exec, like every file the program opens (std::ifstream cannot be). Only the
// first 64 KiB count: the file is a few lines, and an endless one must not fill memory.
std::vector<std::string> ReadLines(const std::string& path)
{
    constexpr size_t kMaxBytes = 64 * 1024;
    std::vector<std::string> lines;
    std::FILE* file = std::fopen(path.c_str(), "re");
    if (!file)
        return lines;
    std::string line;
    int c;
    for (size_t n = 0; n < kMaxBytes && (c = std::fgetc(file)) != EOF; ++n) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += char(c);
        }
    }
    if (!line.empty())
        lines.push_back(line);
    std::fclose(file);
    return lines;
}

// user-dirs.dirs holds shell-style lines: XDG_DOCUMENTS_DIR="$HOME/Documents".
std::string FromUserDirsFile(const std::string& home)
{
    std::string config = EnvOrEmpty("XDG_CONFIG_HOME");
    if (config.empty())
        config = home + "/.config";
    const std::string key = "XDG_DOCUMENTS_DIR=";
    for (const std::string& line : ReadLines(config + "/user-dirs.dirs")) {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0)
            value = home + value.substr(5);
        if (!value.empty() && value.front() == '/')
            return value;
    }
    return std::string();
}

}  // namespace

std::string GetDocumentsFolder()
{
    const std::string home = EnvOrEmpty("HOME");
    std::string folder = EnvOrEmpty("XDG_DOCUMENTS_DIR");
    // A relative folder would be made relative to whatever the working folder is:
    // ignored, as in the user-dirs file.
    if (!folder.empty() && folder.front() != '/')
        folder.clear();
    if (folder.empty() && !home.empty())
        folder = FromUserDirsFile(home);
    if (folder.empty() && !home.empty())
        folder = home + "/Documents";
    if (folder.empty())
        return std::string();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec))
        return std::string();
    return folder;
}

}  // namespace OsPlatform
