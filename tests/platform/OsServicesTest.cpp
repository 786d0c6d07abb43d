#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/os/InstanceLock.h"
#include "platform/os/MessageBox.h"
#include "platform/os/WebLink.h"
#include "tests/support/EnvGuard.h"

namespace fs = std::filesystem;
using OsPlatform::InstanceLock;
using TestSupport::EnvGuard;

namespace {

struct TempDir {
    explicit TempDir(const std::string& tag)
        : path(fs::temp_directory_path() / (tag + "-" + std::to_string(getpid())))
    {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
    fs::path path;
};

std::string ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(MessageBox, WithoutDisplayTheTextGoesToStderrAndTheQuestionCountsAsYes)
{
    EnvGuard display("DISPLAY"), wayland("WAYLAND_DISPLAY");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");

    testing::internal::CaptureStderr();
    OsPlatform::ShowMessage("Fatal error", "Please restart your application. 100% %s", OsPlatform::MessageIcon::Error);
    const bool yes = OsPlatform::AskYesNo("Information", "You really want to quit?");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(yes);
    EXPECT_NE(std::string::npos, err.find("Fatal error: Please restart your application. 100% %s\n"));
    EXPECT_NE(std::string::npos, err.find("Information: You really want to quit?\n"));
}

TEST(MessageBox, HookAnswersInPlaceOfTheUser)
{
    std::string seen;
    for (bool answer : {false, true}) {
        OsPlatform::SetMessageBoxHook([&seen, answer](const std::string& caption, const std::string& text) {
            seen = caption + "|" + text;
            return answer;
        });
        EXPECT_EQ(answer, OsPlatform::AskYesNo("Information", "You really want to quit?"));
        EXPECT_EQ("Information|You really want to quit?", seen);
    }
    testing::internal::CaptureStderr();
    OsPlatform::ShowMessage("Warning", "Game already is started!", OsPlatform::MessageIcon::Warning);
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    EXPECT_EQ("Warning|Game already is started!", seen);
    OsPlatform::SetMessageBoxHook(nullptr);
}

TEST(InstanceLock, ASecondHolderIsRefusedUntilTheFirstLetsGo)
{
    EnvGuard documents("XDG_DOCUMENTS_DIR");
    TempDir dir("instance-lock");
    setenv("XDG_DOCUMENTS_DIR", dir.path.c_str(), 1);

    auto first = std::make_unique<InstanceLock>("game");
    EXPECT_EQ(InstanceLock::State::Held, first->GetState());
    EXPECT_EQ((dir.path / ".game.lock").string(), first->GetPath());
    EXPECT_EQ(InstanceLock::State::HeldElsewhere, InstanceLock("game").GetState());
    EXPECT_EQ(InstanceLock::State::Held, InstanceLock("other").GetState());

    // Another process is refused too.
    const pid_t child = fork();
    if (child == 0)
        _exit(InstanceLock("game").GetState() == InstanceLock::State::HeldElsewhere ? 0 : 1);
    int status = -1;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    first.reset();
    EXPECT_EQ(InstanceLock::State::Held, InstanceLock("game").GetState());

    // A name cannot lead out of the folder.
    const InstanceLock sneaky("../../etc/x");
    EXPECT_EQ(InstanceLock::State::Held, sneaky.GetState());
    EXPECT_EQ(dir.path, fs::path(sneaky.GetPath()).parent_path());
}

// Two runs of one user's game would write the same log and profiles: they meet the same
// lock whatever runtime folder each was started with, or none.
TEST(InstanceLock, RunsWithOneHomeShareTheLockWhateverTheirRuntimeFolder)
{
    EnvGuard home("HOME"), documents("XDG_DOCUMENTS_DIR"), config("XDG_CONFIG_HOME"), runtime("XDG_RUNTIME_DIR");
    TempDir dir("instance-lock-home");
    fs::create_directories(dir.path / "home");
    fs::create_directories(dir.path / "run1");
    fs::create_directories(dir.path / "run2");
    setenv("HOME", (dir.path / "home").c_str(), 1);
    unsetenv("XDG_DOCUMENTS_DIR");
    unsetenv("XDG_CONFIG_HOME");
    setenv("XDG_RUNTIME_DIR", (dir.path / "run1").c_str(), 1);
    const InstanceLock first("game");
    ASSERT_EQ(InstanceLock::State::Held, first.GetState());
    EXPECT_EQ(dir.path / "home/Documents", fs::path(first.GetPath()).parent_path());

    const std::string others[] = {(dir.path / "run2").string(), std::string(), (dir.path / "missing").string()};
    for (const std::string& other : others) {
        SCOPED_TRACE("XDG_RUNTIME_DIR=" + other);
        const pid_t child = fork();
        if (child == 0) {
            if (other.empty())
                unsetenv("XDG_RUNTIME_DIR");
            else
                setenv("XDG_RUNTIME_DIR", other.c_str(), 1);
            _exit(InstanceLock("game").GetState() == InstanceLock::State::HeldElsewhere ? 0 : 1);
        }
        int status = -1;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
}

// In a shared folder another user can make the lock file first and hold it: only a plain
// file of our own is used.
TEST(InstanceLock, ALockFileThatIsNotOursIsNeverUsed)
{
    EnvGuard documents("XDG_DOCUMENTS_DIR");
    TempDir dir("instance-lock-foreign");
    setenv("XDG_DOCUMENTS_DIR", dir.path.c_str(), 1);
    const std::string fifo = (dir.path / ".fifo.lock").string();
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    EXPECT_EQ(InstanceLock::State::Unavailable, InstanceLock("fifo").GetState());

    if (geteuid() != 0)
        GTEST_SKIP() << "a file of another user needs root to make";
    const struct {
        const char* name;
        bool heldByTheOtherUser;
    } rows[] = {
        {"idle", false},
        {"held", true},
    };
    for (const auto& row : rows) {
        const std::string path = (dir.path / ("." + std::string(row.name) + ".lock")).string();
        const int planted = open(path.c_str(), O_RDWR | O_CREAT, 0666);
        ASSERT_GE(planted, 0);
        ASSERT_EQ(0, fchown(planted, 65534, 65534));
        if (row.heldByTheOtherUser) {
            ASSERT_EQ(0, flock(planted, LOCK_EX | LOCK_NB));
        }
        EXPECT_EQ(InstanceLock::State::Unavailable, InstanceLock(row.name).GetState()) << row.name;
        close(planted);
    }
}

TEST(WebLink, XdgOpenGetsTheLinkAsOneArgumentWithoutAShell)
{
    EnvGuard path("PATH"), out("WEBLINK_OUT");
    TempDir dir("web-link");
    const fs::path script = dir.path / "xdg-open";
    std::ofstream(script) << "#!/bin/sh\n"
                             "{ echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$WEBLINK_OUT.tmp\"\n"
                             "mv \"$WEBLINK_OUT.tmp\" \"$WEBLINK_OUT\"\n";
    fs::permissions(script, fs::perms::owner_all);
    setenv("PATH", (dir.path.string() + ":/usr/bin:/bin").c_str(), 1);

    const std::string pwned = (dir.path / "pwned").string();
    const std::string links[] = {
        "https://example.org/survey?a=1&b=2",
        "HTTP://Example.org/",
        "http://x/$(touch " + pwned + ");touch " + pwned + " `touch " + pwned + "` 'q' \"d\" | >" + pwned,
    };
    int n = 0;
    for (const std::string& link : links) {
        SCOPED_TRACE(link);
        const fs::path result = dir.path / ("out" + std::to_string(n++));
        setenv("WEBLINK_OUT", result.c_str(), 1);
        ASSERT_TRUE(OsPlatform::OpenWebLink(link));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!fs::exists(result) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ("1\n" + link + "\n", ReadFile(result));
    }
    EXPECT_FALSE(fs::exists(pwned));

    // Refused before anything starts: no link, an option in disguise, an embedded NUL, and
    // anything but a web page (local files, other programs' schemes, a bare scheme).
    const std::string refused[] = {
        std::string(), "--help", std::string("http://a\0b", 10), "/etc/passwd", "file:///etc/passwd",
        "steam://run/1", "javascript:alert(1)", "www.example.org", " https://example.org/", "https://",
    };
    for (const std::string& bad : refused) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(OsPlatform::OpenWebLink(bad));
    }

    // No xdg-open to be found.
    setenv("PATH", (dir.path / "empty").c_str(), 1);
    EXPECT_FALSE(OsPlatform::OpenWebLink("https://example.org/"));
}
