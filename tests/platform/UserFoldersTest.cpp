#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/os/UserFolders.h"
#include "tests/support/EnvGuard.h"

namespace fs = std::filesystem;

using TestSupport::EnvGuard;

TEST(UserFolders, DocumentsFolderFollowsXdgAndIsCreated)
{
    EnvGuard home("HOME"), docs("XDG_DOCUMENTS_DIR"), config("XDG_CONFIG_HOME");
    const fs::path root = fs::temp_directory_path() / ("docs-test-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root);
    setenv("HOME", root.c_str(), 1);
    unsetenv("XDG_DOCUMENTS_DIR");
    unsetenv("XDG_CONFIG_HOME");

    // No user-dirs file: $HOME/Documents, created.
    EXPECT_EQ((root / "Documents").string(), OsPlatform::GetDocumentsFolder());
    EXPECT_TRUE(fs::is_directory(root / "Documents"));

    // The user-dirs file names another folder under $HOME.
    fs::create_directories(root / ".config");
    std::ofstream(root / ".config/user-dirs.dirs") << "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    EXPECT_EQ((root / "Dokumente").string(), OsPlatform::GetDocumentsFolder());
    EXPECT_TRUE(fs::is_directory(root / "Dokumente"));

    // A relative folder from the environment would land in the working folder: ignored,
    // like a relative one in the file.
    const fs::path working = fs::current_path();
    fs::current_path(root);
    setenv("XDG_DOCUMENTS_DIR", "relative-docs", 1);
    EXPECT_EQ((root / "Dokumente").string(), OsPlatform::GetDocumentsFolder());
    EXPECT_FALSE(fs::exists(root / "relative-docs"));
    fs::current_path(working);

    // The environment wins over the file.
    setenv("XDG_DOCUMENTS_DIR", (root / "env-docs").c_str(), 1);
    EXPECT_EQ((root / "env-docs").string(), OsPlatform::GetDocumentsFolder());

    fs::remove_all(root);
}
