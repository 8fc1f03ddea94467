#include "sim/simdesk/protocol/bundle_reader.hpp"

#include "sim/simdesk/protocol/bundle_writer.hpp"

#include <gtest/gtest.h>

namespace deskplay::simdesk::protocol {
namespace {

using nlohmann::json;

ElementBundle icon(std::uint64_t handle) {
  ElementBundle bundle{handle, 4200100, {}};
  bundle.attributes.emplace("AXRole", std::string("AXImage"));
  bundle.attributes.emplace("AXFilename", std::string("a \"b\".txt"));
  bundle.attributes.emplace("AXURL", platform::AccessibilityUrl{"file:///h/Desktop/a.txt"});
  bundle.attributes.emplace("AXPosition", platform::Point{100, -20.5});
  bundle.attributes.emplace("AXSize", platform::Size{64, 77});
  bundle.attributes.emplace("AXParent", platform::AccessibilityElement{3});
  bundle.attributes.emplace("AXChildren",
                            std::vector<platform::AccessibilityElement>{{handle + 1}});
  bundle.attributes.emplace("AXEnabled", true);
  bundle.attributes.emplace("AXValue", 3.0);
  return bundle;
}

TEST(BundleReaderTest, ReadsWhatTheServerEncodes) {
  const json reply = {{"id", 4},
                      {"ok", true},
                      {"element", encodeBundle(icon(10))},
                      {"ancestors", {encodeBundle(icon(20)), encodeBundle(icon(30))}},
                      {"none", nullptr}};
  BundleReader reader;
  const auto bundles = reader.read(reply.dump(), {"element", "none", "missing", "ancestors"});
  ASSERT_TRUE(bundles.ok()) << bundles.message();
  ASSERT_EQ(bundles.value().size(), 3u);
  for (std::size_t at = 0; at < 3; ++at) {
    const ElementBundle expected = icon(10 * (at + 1));
    EXPECT_EQ(bundles.value()[at].handle, expected.handle);
    EXPECT_EQ(bundles.value()[at].process, expected.process);
    EXPECT_EQ(bundles.value()[at].attributes, expected.attributes);
  }
}

TEST(BundleReaderTest, TheWritersTextIsTheEncodersJson) {
  const ElementBundle bundle = icon(1234567890123ull);
  std::string text;
  BundleWriter writer(text);
  writer.begin(bundle.handle, bundle.process);
  for (const auto& [name, value] : bundle.attributes) writer.attribute(name, value);
  writer.attribute("AXMissing", std::monostate{});
  writer.end();
  EXPECT_EQ(json::parse(text), encodeBundle(bundle));

  std::string odd;
  BundleWriter::appendString(odd, std::string("a\"b\n\xff"));
  EXPECT_EQ(json::parse(odd), "a\"b\n\xef\xbf\xbd");
  std::string numbers;
  BundleWriter::appendNumber(numbers, 0.1);
  numbers += ',';
  BundleWriter::appendNumber(numbers, -1e300 * 1e10);
  EXPECT_EQ(numbers, "0.1,null");
}

TEST(BundleReaderTest, RefusesMalformedReplies) {
  BundleReader reader;
  EXPECT_FALSE(reader.read("{\"children\":[", {"children"}).ok());
  EXPECT_FALSE(reader.read(R"({"children":[{"element":1,"pid":2}]})", {"children"}).ok());
  EXPECT_FALSE(reader.read(R"({"element":{"element":-1,"pid":2,"attributes":{}}})", {"element"}).ok());
  const auto empty = reader.read(R"({"children":[]})", {"children"});
  ASSERT_TRUE(empty.ok());
  EXPECT_TRUE(empty.value().empty());
}

}  // namespace
}  // namespace deskplay::simdesk::protocol
