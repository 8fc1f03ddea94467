#include "app/url_handler_entry.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/temp_dir.hpp"

namespace deskplay::app {
namespace {

namespace fs = std::filesystem;

QProcessEnvironment environmentWith(const QString& home, const QString& dataHome) {
  QProcessEnvironment environment;
  if (!home.isNull()) environment.insert("HOME", home);
  if (!dataHome.isNull()) environment.insert("XDG_DATA_HOME", dataHome);
  return environment;
}

TEST(UrlHandlerEntry, GoesToTheUsersApplicationsFolder) {
  EXPECT_EQ(userApplicationsFolder(environmentWith("/home/ada", "/data")).value(),
            "/data/applications");
  for (const QString& ignored : {QString(""), QString("relative/data"), QString()}) {
    EXPECT_EQ(userApplicationsFolder(environmentWith("/home/ada", ignored)).value(),
              "/home/ada/.local/share/applications");
  }
  EXPECT_FALSE(userApplicationsFolder(environmentWith("home", QString())).ok());
}

TEST(UrlHandlerEntry, RunsTheExecutableWithTheLink) {
  const std::string entry = urlHandlerEntry("/opt/My Apps/Deskplay.app/Contents/MacOS/Deskplay");
  EXPECT_TRUE(entry.starts_with("[Desktop Entry]\n"));
  EXPECT_NE(entry.find("\nMimeType=x-scheme-handler/deskplay;\n"), std::string::npos);
  EXPECT_NE(entry.find("\nExec=\"/opt/My Apps/Deskplay.app/Contents/MacOS/Deskplay\" URL %u\n"),
            std::string::npos)
      << entry;
  EXPECT_NE(urlHandlerEntry("/opt/100%/Deskplay").find("\nExec=/opt/100%%/Deskplay URL %u\n"),
            std::string::npos);
}

TEST(UrlHandlerEntry, InstallingWritesTheEntryAndReplacesAnOldOne) {
  const testing::TempDir root;
  const auto environment = environmentWith(QString::fromStdString(root.path().string()), QString());
  for (const char* executable : {"/old/Deskplay", "/new/Deskplay"}) {
    const auto installed = installUrlHandler(executable, environment);
    ASSERT_TRUE(installed.ok()) << installed.message();
    EXPECT_EQ(installed.value(),
              root.path() / ".local/share/applications/deskplay-url-handler.desktop");
  }
  std::ifstream in(root.path() / ".local/share/applications/deskplay-url-handler.desktop");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), urlHandlerEntry("/new/Deskplay"));
}

}  // namespace
}  // namespace deskplay::app
