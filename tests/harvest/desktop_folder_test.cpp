#include "harvest/desktop_folder.h"
#include "harvest_test_support.h"

#include <fstream>
#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct UserDirsCase
{
    const char* line; // the desktop's line in user-dirs.dirs, "$ROOT" for the temporary folder
    const char* folder;
};

TEST(DesktopFolder, FollowsTheUserDirectoriesAndEndsWithTheSeparator)
{
    const UserDirsCase cases[] = {
        {"XDG_DESKTOP_DIR=\"$ROOT/Desktop\"", "$ROOT/Desktop/"},
        {"XDG_DESKTOP_DIR=\"$ROOT/桌面/\"", "$ROOT/桌面/"},
        {"XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"", "$ROOT/Schreibtisch/"},
    };
    for (const UserDirsCase& c : cases) {
        test::TemporaryFolder root;
        auto expand = [&root](std::string text) {
            if (const auto at = text.find("$ROOT"); at != std::string::npos)
                text.replace(at, 5, root.path().string());
            return text;
        };
        std::ofstream(root.path() / "user-dirs.dirs") << expand(c.line) << "\n";
        test::ScopedEnvironment configHome("XDG_CONFIG_HOME", root.path().string());
        test::ScopedEnvironment home("HOME", root.path().string());
        EXPECT_EQ(DesktopFolder(), expand(c.folder)) << c.line;
    }
}

} // namespace
} // namespace vantrel
