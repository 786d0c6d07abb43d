// Every file the platform layer opens is closed on exec: a program the game starts (the
// browser, through xdg-open) inherits none of them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/hge/BmpWriter.h"
#include "platform/hge/hge.h"
#include "platform/os/InstanceLock.h"
#include "platform/os/UserFolders.h"
#include "tests/support/EnvGuard.h"
#include "tests/support/InheritedFiles.h"
#include "tests/support/TempFolder.h"

namespace {

std::string Joined(const std::vector<std::string>& paths)
{
    std::string text;
    for (const std::string& path : paths)
        text += path + "\n";
    return text;
}

}  // namespace

TEST(FilesClosedOnExec, NoFileThePlatformLayerOpensIsInherited)
{
    TestSupport::TempFolder folder;
    TestSupport::EnvGuard home("HOME"), documents("XDG_DOCUMENTS_DIR"), config("XDG_CONFIG_HOME");
    folder.WriteFile("config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
    folder.WriteFile("data.bin", "12345");
    setenv("HOME", folder.Path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    unsetenv("XDG_DOCUMENTS_DIR");

    {
        // The watch sees a file opened the usual way.
        TestSupport::InheritedFiles watch;
        std::FILE* plain = std::fopen((folder / "plain.txt").c_str(), "w");
        ASSERT_NE(plain, nullptr);
        std::fclose(plain);
        ASSERT_EQ(Joined(watch.Paths()), folder / "plain.txt" + "\n");
    }

    TestSupport::InheritedFiles watch;
    EXPECT_EQ(OsPlatform::GetDocumentsFolder(), folder / "Docs");  // read from user-dirs.dirs
    {
        const OsPlatform::InstanceLock lock("game");
        EXPECT_EQ(lock.GetState(), OsPlatform::InstanceLock::State::Held);
    }
    HGE* hge = hgeCreate(HGE_VERSION);
    ASSERT_NE(hge, nullptr);
    hge->System_SetState(HGE_LOGFILE, (folder / "game.log").c_str());
    hge->System_Log("%s", "a line");
    DWORD size = 0;
    void* data = hge->Resource_Load((folder / "data.bin").c_str(), &size);
    EXPECT_EQ(size, 5u);
    hge->Resource_Free(data);
    const uint32_t pixels[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    EXPECT_TRUE(hgeplatform::WriteBmp24(folder / "shot.bmp", pixels, 2, 2));
    hge->System_SetState(HGE_LOGFILE, "");
    hge->Release();
    EXPECT_EQ(Joined(watch.Paths()), "");
}
