#pragma once

// The real Glyphon binary in a simdesk session of the test's own: starting it, speaking its
// line protocol, and reading simdesk's state and Glyphon's log.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "simdesk_session.hpp"
#include "support/child_process.hpp"
#include "support/eventually.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::testing {

class Glyphon : public ::testing::Test {
 protected:
  using Json = nlohmann::json;

  void SetUp() override { ASSERT_TRUE(session.start(simdeskArguments())); }

  virtual std::vector<std::string> simdeskArguments() const { return {}; }

  // More variables for the next start.
  std::vector<std::string> extraEnvironment;

  std::vector<std::string> environment() const {
    std::vector<std::string> variables = session.environment();
    variables.push_back("DESKPLAY_SIM_TOOLS=" + simToolsFolder().string());
    variables.push_back("FRONDEL_LOG_FILE=" + logFile.string());
    variables.push_back("XDG_CONFIG_HOME=" + (session.home() / ".config").string());
    variables.insert(variables.end(), extraEnvironment.begin(), extraEnvironment.end());
    return variables;
  }

  // Starts Glyphon and returns its two start-up lines.
  std::vector<std::string> start() {
    glyphon = std::make_unique<ChildProcess>(std::vector<std::string>{GLYPHON_PATH}, environment());
    return {glyphon->readLine().value_or("<none>"), glyphon->readLine().value_or("<none>")};
  }

  void startServing() {
    const std::vector<std::string> lines = start();
    ASSERT_EQ(lines[0], "READY");
    ASSERT_EQ(lines[1].rfind("METRICS:", 0), 0u) << lines[1];
  }

  // Sends `line` and returns the next output line.
  std::string send(const std::string& line) {
    glyphon->writeLine(line);
    return glyphon->readLine().value_or("<none>");
  }

  // The JSON of an "ICON:" line; null when the line is no answer.
  static Json answerOf(const std::string& line) {
    if (line.rfind("ICON:", 0) != 0) return nullptr;
    return Json::parse(line.substr(5), nullptr, false);
  }

  Json ask(const std::string& line) {
    const std::string output = send(line);
    const Json answer = answerOf(output);
    EXPECT_FALSE(answer.is_null()) << line << " gave " << output;
    return answer;
  }

  // The answer to `line`, past the script failures it reports on the way.
  Json askPastScriptErrors(const std::string& line) {
    std::string output = send(line);
    while (output.rfind("FINDER_SCRIPT_ERROR:", 0) == 0) {
      output = glyphon->readLine().value_or("<none>");
    }
    const Json answer = answerOf(output);
    EXPECT_FALSE(answer.is_null()) << line << " gave " << output;
    return answer;
  }

  // Sends `line`, then a command that is always answered: the next output line must be that
  // answer, so `line` printed nothing.
  void expectSilence(const std::string& line) {
    glyphon->writeLine(line);
    EXPECT_EQ(send(R"({"id":"after","type":"nope"})"),
              R"(ICON:{"id":"after","ok":false,"error":"Unknown command type: nope"})")
        << "after " << line;
  }

  Json finderState() const { return session.state(); }
  Json desktopItem(const std::string& name) const { return session.desktopItem(name); }

  // The desktop item `name` once Finder has placed it; null when it never appears.
  Json placedItem(const std::string& name) const {
    Json item;
    if (eventually([&] {
          item = desktopItem(name);
          return !item.is_null();
        })) {
      return item;
    }
    ADD_FAILURE() << name << " never appeared on the desktop: " << finderState()["finder"].dump();
    return nullptr;
  }

  std::vector<std::string> logLines() const {
    std::vector<std::string> lines;
    if (!std::filesystem::exists(logFile)) return lines;
    const std::string text = readFile(logFile);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
      lines.push_back(text.substr(start, end - start));
    }
    return lines;
  }

  SimdeskSession session;
  TempDir logs;
  std::filesystem::path logFile = logs / "frondel.log";
  std::unique_ptr<ChildProcess> glyphon;
};

}  // namespace deskplay::testing
