#pragma once
// The single-instance check: one holder per name and documents folder at a time, so one
// per user and game. The lock is a hidden file, locked with flock, in the user's documents
// folder, where the game keeps its log and profiles (with no such folder, in /tmp with the
// user id in the name). The system drops it when the holder exits in any way, so a crash
// leaves nothing behind. A lock file that is not a plain file owned by this user is never
// used (Unavailable): in a shared folder another user could make it first and hold it.
#include <string>

namespace OsPlatform {

class InstanceLock {
public:
    enum class State {
        Held,           // this object is the holder
        HeldElsewhere,  // another holder exists: refused
        Unavailable     // no lock file could be made; nothing is known about other holders
    };

    // Path separators and ".." in `name` are replaced, so the lock stays in its folder.
    explicit InstanceLock(const std::string& name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    State GetState() const { return state_; }
    const std::string& GetPath() const { return path_; }

private:
    int fd_ = -1;
    State state_ = State::Unavailable;
    std::string path_;
};

}  // namespace OsPlatform
