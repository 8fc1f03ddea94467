#include "platform/linux/xdg_autostart_login_items.hpp"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "support/temp_dir.hpp"

namespace deskplay::platform {

// Found by argument-dependent lookup, so it lives beside the status type.
static void PrintTo(LoginItems::ServiceStatus status, std::ostream* out) {
  *out << (status == LoginItems::ServiceStatus::enabled ? "enabled" : "notRegistered");
}

namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

constexpr auto kEnabled = LoginItems::ServiceStatus::enabled;
constexpr auto kNotRegistered = LoginItems::ServiceStatus::notRegistered;

class XdgAutostartLoginItemsTest : public ::testing::Test {
 protected:
  TempDir root;
  // The autostart folder does not exist yet, nor does its parent.
  fs::path folder = root / "config" / "autostart";
  fs::path executable = "/opt/Deskplay.app/Contents/MacOS/Deskplay";
  XdgAutostartLoginItems items{executable, folder};

  fs::path entry() const { return folder / "deskplay.desktop"; }
};

TEST_F(XdgAutostartLoginItemsTest, RegisterWritesTheEntryAndUnregisterRemovesIt) {
  EXPECT_EQ(items.status(), kNotRegistered);

  ASSERT_TRUE(items.registerMainApp().ok());
  EXPECT_EQ(items.status(), kEnabled);
  EXPECT_EQ(items.entryPath(), entry());
  EXPECT_EQ(readFile(entry()),
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Version=1.5\n"
            "Name=Deskplay\n"
            "Exec=/opt/Deskplay.app/Contents/MacOS/Deskplay\n"
            "TryExec=/opt/Deskplay.app/Contents/MacOS/Deskplay\n"
            "Terminal=false\n"
            "X-GNOME-Autostart-enabled=true\n");
  // Autostart folders are private to the user; the entry itself is an ordinary file.
  EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(entry()).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                fs::perms::others_read);

  ASSERT_TRUE(items.registerMainApp().ok()) << "registering again rewrites the entry";
  EXPECT_EQ(fs::directory_iterator(folder)->path(), entry()) << "no staging file is left";

  ASSERT_TRUE(items.unregisterMainApp().ok());
  EXPECT_FALSE(fs::exists(entry()));
  EXPECT_EQ(items.status(), kNotRegistered);
}

TEST_F(XdgAutostartLoginItemsTest, UnregisterWithoutAnEntryFails) {
  const Status removed = items.unregisterMainApp();
  ASSERT_FALSE(removed.ok());
  EXPECT_EQ(removed.message(), "remove login item " + entry().string() + ": errno " +
                                   std::to_string(ENOENT) + " (" + std::strerror(ENOENT) + ")");
  EXPECT_EQ(items.status(), kNotRegistered);
}

TEST_F(XdgAutostartLoginItemsTest, AFolderThatCannotBeCreatedFailsTheRegistration) {
  fs::create_directories(folder.parent_path());
  writeFile(folder, "a file where the folder belongs");
  const Status registered = items.registerMainApp();
  ASSERT_FALSE(registered.ok());
  EXPECT_NE(registered.message().find(folder.string()), std::string::npos) << registered.message();
  EXPECT_EQ(items.status(), kNotRegistered);
}

TEST_F(XdgAutostartLoginItemsTest, APathADesktopEntryCannotHoldIsRefused) {
  for (const std::string& program :
       {std::string("/opt/bad\xff/Deskplay"), std::string("/opt/bell\a/Deskplay")}) {
    XdgAutostartLoginItems odd(program, folder);
    const Status registered = odd.registerMainApp();
    EXPECT_FALSE(registered.ok()) << program;
    EXPECT_FALSE(fs::exists(entry())) << program;
  }
}

// Entries the user or another tool left in the folder, and what they read as.
struct EntryCase {
  std::string name;
  std::string text;
  LoginItems::ServiceStatus status;
};

void PrintTo(const EntryCase& entryCase, std::ostream* out) {
  *out << entryCase.name;
}

class ExistingEntry : public XdgAutostartLoginItemsTest,
                      public ::testing::WithParamInterface<EntryCase> {};

TEST_P(ExistingEntry, ReadsAsItsFlagsSay) {
  fs::create_directories(folder);
  writeFile(entry(), GetParam().text);
  EXPECT_EQ(items.status(), GetParam().status);
}

constexpr const char* kHead = "[Desktop Entry]\nType=Application\nName=Deskplay\nExec=/x\n";

INSTANTIATE_TEST_SUITE_P(
    Flags, ExistingEntry,
    ::testing::Values(
        EntryCase{"Plain", kHead, kEnabled},
        EntryCase{"Hidden", std::string(kHead) + "Hidden=true\n", kNotRegistered},
        EntryCase{"HiddenAsOne", std::string(kHead) + "Hidden=1\n", kNotRegistered},
        EntryCase{"NotHidden", std::string(kHead) + "Hidden=false\n", kEnabled},
        EntryCase{"GnomeDisabled", std::string(kHead) + "X-GNOME-Autostart-enabled=false\n",
                  kNotRegistered},
        EntryCase{"GnomeDisabledWithBlanksAndCrLf",
                  std::string(kHead) + "X-GNOME-Autostart-enabled = false \r\n", kNotRegistered},
        EntryCase{"GnomeReEnabledLater",
                  std::string(kHead) +
                      "X-GNOME-Autostart-enabled=false\nX-GNOME-Autostart-enabled=true\n",
                  kEnabled},
        EntryCase{"HiddenInAnotherGroupOnly",
                  std::string(kHead) + "[Desktop Action Stop]\nHidden=true\n", kEnabled},
        EntryCase{"CommentedOutHidden", std::string(kHead) + "# Hidden=true\n", kEnabled},
        EntryCase{"LocalisedHiddenIsNotHidden", std::string(kHead) + "Hidden[de]=true\n", kEnabled},
        EntryCase{"NoMainGroup", "Type=Application\nExec=/x\n", kNotRegistered},
        EntryCase{"Empty", "", kNotRegistered}),
    [](const ::testing::TestParamInfo<EntryCase>& param) { return param.param.name; });

TEST_F(XdgAutostartLoginItemsTest, AFolderInPlaceOfTheEntryIsNoRegistration) {
  fs::create_directories(entry());
  EXPECT_EQ(items.status(), kNotRegistered);
}

TEST_F(XdgAutostartLoginItemsTest, RegisterReplacesADisabledEntryAndUnregisterRemovesOne) {
  fs::create_directories(folder);
  writeFile(entry(), std::string(kHead) + "Hidden=true\n");
  ASSERT_TRUE(items.registerMainApp().ok());
  EXPECT_EQ(items.status(), kEnabled);

  writeFile(entry(), std::string(kHead) + "Hidden=true\n");
  EXPECT_TRUE(items.unregisterMainApp().ok());
  EXPECT_FALSE(fs::exists(entry()));
}

// The autostart folder on a volume that turns read-only: as root, permission bits would not
// stop a write, so a read-only mount stands in for a folder the user cannot write.
class ReadOnlyAutostartFolder : public XdgAutostartLoginItemsTest {
 protected:
  void SetUp() override {
    fs::create_directories(folder);
    if (::geteuid() != 0) {
      readOnly = [this] { fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec); };
      return;
    }
    if (::mount("deskplay-test", folder.c_str(), "tmpfs", 0, "size=64k") != 0) {
      GTEST_SKIP() << "cannot mount a test volume: " << std::strerror(errno);
    }
    mounted = true;
    readOnly = [this] {
      ASSERT_EQ(::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
          << std::strerror(errno);
    };
  }
  void TearDown() override {
    if (mounted) ::umount2(folder.c_str(), MNT_DETACH);
  }

  std::function<void()> readOnly;
  bool mounted = false;
};

TEST_F(ReadOnlyAutostartFolder, ARegistrationThatCannotBeWrittenLeavesNoEntry) {
  readOnly();
  EXPECT_FALSE(items.registerMainApp().ok());
  EXPECT_EQ(items.status(), kNotRegistered);
}

TEST_F(ReadOnlyAutostartFolder, ARegistrationThatCannotBeWrittenKeepsADisabledEntry) {
  const std::string disabled = std::string(kHead) + "Hidden=true\n";
  writeFile(entry(), disabled);
  readOnly();
  EXPECT_FALSE(items.registerMainApp().ok());
  EXPECT_EQ(items.status(), kNotRegistered);
  EXPECT_EQ(readFile(entry()), disabled);
}

TEST_F(ReadOnlyAutostartFolder, AnEntryThatCannotBeRemovedStaysRegistered) {
  ASSERT_TRUE(items.registerMainApp().ok());
  readOnly();
  EXPECT_FALSE(items.unregisterMainApp().ok());
  EXPECT_EQ(items.status(), kEnabled);
}

// How an executable path is written into Exec: the session undoes the string escapes, then
// the quoting, then the field codes, and must arrive at the path again.
struct ExecCase {
  std::string name;
  std::string program;
  std::string exec;
};

void PrintTo(const ExecCase& execCase, std::ostream* out) {
  *out << execCase.name;
}

class DesktopEntryExec : public ::testing::TestWithParam<ExecCase> {};

TEST_P(DesktopEntryExec, QuotesAndEscapesWhatTheSessionWouldReadOtherwise) {
  EXPECT_EQ(desktopEntryExec(GetParam().program), GetParam().exec);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DesktopEntryExec,
    ::testing::Values(ExecCase{"Plain", "/usr/bin/deskplay", "/usr/bin/deskplay"},
                      ExecCase{"NonAsciiNeedsNothing", "/opt/Spiele/Deskplay\xc3\xa9",
                               "/opt/Spiele/Deskplay\xc3\xa9"},
                      ExecCase{"Space", "/opt/My Apps/Deskplay", R"("/opt/My Apps/Deskplay")"},
                      ExecCase{"DoubleQuote", R"(/opt/a"b)", R"("/opt/a\\"b")"},
                      ExecCase{"SingleQuote", "/opt/it's", R"("/opt/it's")"},
                      ExecCase{"Dollar", "/opt/$HOME/app", R"("/opt/\\$HOME/app")"},
                      ExecCase{"Backtick", "/opt/a`b", R"("/opt/a\\`b")"},
                      ExecCase{"Backslash", R"(/opt/a\b)", R"("/opt/a\\\\b")"},
                      ExecCase{"PercentOnly", "/opt/100%/app", "/opt/100%%/app"},
                      ExecCase{"PercentInQuotes", "/opt/100% sure/app", R"("/opt/100%% sure/app")"},
                      ExecCase{"Tilde", "/opt/~app", R"("/opt/~app")"},
                      ExecCase{"ShellCharacters", "/opt/a;b|c&d<e>f*g?h#i(j)",
                               R"x("/opt/a;b|c&d<e>f*g?h#i(j)")x"},
                      ExecCase{"Tab", "/opt/a\tb", R"("/opt/a\tb")"},
                      ExecCase{"Newline", "/opt/a\nb", R"("/opt/a\nb")"}),
    [](const ::testing::TestParamInfo<ExecCase>& param) { return param.param.name; });

TEST(AutostartFolder, FollowsTheBaseDirectoryRules) {
  EXPECT_EQ(autostartFolder("/x/config", "/home/u").value(), fs::path("/x/config/autostart"));
  EXPECT_EQ(autostartFolder(nullptr, "/home/u").value(), fs::path("/home/u/.config/autostart"));
  EXPECT_EQ(autostartFolder("", "/home/u").value(), fs::path("/home/u/.config/autostart"));
  EXPECT_EQ(autostartFolder("relative/config", "/home/u").value(),
            fs::path("/home/u/.config/autostart"));
  EXPECT_FALSE(autostartFolder(nullptr, nullptr).ok());
  EXPECT_FALSE(autostartFolder("", "relative/home").ok());
}

}  // namespace
}  // namespace deskplay::platform
