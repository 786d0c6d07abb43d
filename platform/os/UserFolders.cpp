#include "platform/os/UserFolders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace OsPlatform {

namespace {

std::string EnvOrEmpty(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// user-dirs.dirs holds shell-style lines: XDG_DOCUMENTS_DIR="$HOME/Documents".
std::string FromUserDirsFile(const std::string& home)
{
    std::string config = EnvOrEmpty("XDG_CONFIG_HOME");
    if (config.empty())
        config = home + "/.config";
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
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
