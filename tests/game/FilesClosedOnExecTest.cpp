// A picture the game reads or writes on disk is opened closed on exec: a program the game
// starts (the browser, through xdg-open) inherits no handle on it.
#include <gtest/gtest.h>

#include <string>

#include "game/FreeImageLibEx/Picture.h"
#include "tests/support/InheritedFiles.h"
#include "tests/support/TempFolder.h"

TEST(FilesClosedOnExec, APictureSavedAndLoadedOnDiskIsNeverInherited)
{
    TestSupport::TempFolder folder;
    const std::string path = folder / "picture.png";
    TestSupport::InheritedFiles watch;
    FreeImageLibEx::Picture picture;
    ASSERT_TRUE(picture.Create(3, 2, 32));
    ASSERT_TRUE(picture.Save(path.c_str(), FIF_UNKNOWN));  // the format from the name
    FreeImageLibEx::Picture again;
    ASSERT_TRUE(again.Load(path.c_str(), FIF_UNKNOWN));
    int width = 0, height = 0, bitsPerPixel = 0;
    ASSERT_TRUE(again.GetInfo(width, height, bitsPerPixel));
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    EXPECT_TRUE(watch.Paths().empty()) << watch.Paths().front();
}
