#pragma once

#include <simdjson.h>

#include <initializer_list>
#include <string_view>
#include <vector>

#include "common/result.hpp"
#include "sim/simdesk/protocol/wire_types.hpp"

namespace deskplay::simdesk::protocol {

// Reads the element bundles out of an accessibility reply line. A walk of the desktop brings
// thousands of them in one reply, so this reads with simdjson rather than building a
// general JSON tree first. Keep one reader: its buffers are reused.
class BundleReader {
 public:
  // For each key in order: the bundle under it, or every bundle of the list under it; null
  // and missing keys give none. An error when the line or a bundle is malformed.
  Result<std::vector<ElementBundle>> read(std::string_view line,
                                          std::initializer_list<std::string_view> keys);

 private:
  simdjson::dom::parser parser_;
};

}  // namespace deskplay::simdesk::protocol
