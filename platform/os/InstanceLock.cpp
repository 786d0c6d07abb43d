#include "platform/os/InstanceLock.h"

#include "platform/os/UserFolders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace OsPlatform {

namespace {

std::string SafeName(const std::string& name)
{
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == '/' || c == '\\') {
            out += '_';
        } else if (c == '.' && i + 1 < name.size() && name[i + 1] == '.') {
            out += "__";
            ++i;
        } else {
            out += c;
        }
    }
    return out.empty() ? std::string("instance") : out;
}

}  // namespace

InstanceLock::InstanceLock(const std::string& name)
{
    // The lock sits beside what it guards, the game's log and profiles in the user's
    // documents folder: two runs that would write the same files meet the same lock,
    // whatever session or runtime folder each was started from.
    const std::string folder = GetDocumentsFolder();
    if (!folder.empty())
        path_ = folder + "/." + SafeName(name) + ".lock";
    else
        path_ = "/tmp/" + SafeName(name) + "-" + std::to_string(getuid()) + ".lock";

    // Close-on-exec: a program started by the game (a browser) must not keep the lock alive.
    // No-follow: in a shared folder a planted link must not redirect the file.
    fd_ = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0)
        return;
    // In a shared folder another user can make the file first and hold its lock for
    // ever: only a plain file of our own counts.
    struct stat st{};
    if (fstat(fd_, &st) != 0 || st.st_uid != getuid() || !S_ISREG(st.st_mode)) {
        close(fd_);
        fd_ = -1;
        return;
    }
    int rc;
    do {
        rc = flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        state_ = State::Held;
        return;
    }
    state_ = errno == EWOULDBLOCK ? State::HeldElsewhere : State::Unavailable;
    close(fd_);
    fd_ = -1;
}

InstanceLock::~InstanceLock()
{
    // The file stays: removing it would let a third process lock a new file while a second
    // still holds the old one.
    if (fd_ >= 0)
        close(fd_);
}

}  // namespace OsPlatform
