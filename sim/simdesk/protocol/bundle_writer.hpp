#pragma once

#include <string>
#include <string_view>

#include "platform/accessibility.hpp"

namespace deskplay::simdesk::protocol {

// Writes element bundles as JSON text directly, in the shapes encodeAttribute and
// encodeBundle give: a children reply for a full desktop holds thousands of them, and
// building a general JSON tree first costs more than the whole walk may take.
class BundleWriter {
 public:
  explicit BundleWriter(std::string& out) : out_(out) {}

  // Opens a bundle: {"element":handle,"pid":owner,"attributes":{
  void begin(std::uint64_t handle, platform::ProcessId process);
  // One attribute; a missing value writes nothing.
  void attribute(std::string_view name, const platform::AttributeValue& value);
  // Closes the bundle.
  void end();

  // Text as a JSON string literal; bytes that are no UTF-8 are replaced, as file names may
  // hold them.
  static void appendString(std::string& out, std::string_view text);
  static void appendNumber(std::string& out, double number);

 private:
  std::string& out_;
  bool firstAttribute_ = true;
};

}  // namespace deskplay::simdesk::protocol
