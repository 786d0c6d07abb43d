#include "platform/os/WebLink.h"

#include <spawn.h>
#include <strings.h>
#include <sys/wait.h>

#include <cstring>
#include <mutex>
#include <vector>

extern char** environ;

namespace OsPlatform {

namespace {

// Started helpers are reaped on later calls; any left over go to init when the game exits.
std::mutex& ChildrenMutex()
{
    static std::mutex m;
    return m;
}

std::vector<pid_t>& Children()
{
    static std::vector<pid_t> children;
    return children;
}

void ReapFinished(std::vector<pid_t>& children)
{
    for (auto it = children.begin(); it != children.end();) {
        int status = 0;
        if (waitpid(*it, &status, WNOHANG) != 0)
            it = children.erase(it);
        else
            ++it;
    }
}

// xdg-open also opens local files and hands other schemes to whatever program claims them;
// a link from the game may only lead to a web page.
bool IsWebAddress(const std::string& url)
{
    for (const char* scheme : {"http://", "https://"}) {
        const size_t n = std::strlen(scheme);
        if (url.size() > n && strncasecmp(url.c_str(), scheme, n) == 0)
            return true;
    }
    return false;
}

}  // namespace

bool OpenWebLink(const std::string& url)
{
    if (!IsWebAddress(url) || url.find('\0') != std::string::npos)
        return false;
    std::string program = "xdg-open";
    std::string argument = url;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0)
        return false;
    std::lock_guard<std::mutex> lock(ChildrenMutex());
    ReapFinished(Children());
    Children().push_back(pid);
    return true;
}

}  // namespace OsPlatform
