#include "sim/simdesk/ctl/tree_text.hpp"

#include <cmath>
#include <cstdio>

namespace deskplay::simdesk::ctl {

namespace {

std::string number(double value) {
  char text[32];
  if (std::trunc(value) == value && std::fabs(value) < 1e15) {
    std::snprintf(text, sizeof(text), "%.0f", value);
  } else {
    std::snprintf(text, sizeof(text), "%g", value);
  }
  return text;
}

void appendTree(std::string& out, const nlohmann::json& node, int depth) {
  out.append(static_cast<std::size_t>(depth) * 2, ' ');
  out += elementLine(node);
  out += '\n';
  const auto children = node.find("children");
  if (children == node.end() || !children->is_array()) return;
  for (const auto& child : *children) appendTree(out, child, depth + 1);
}

}  // namespace

std::string elementLine(const nlohmann::json& bundle) {
  const nlohmann::json attributes = bundle.value("attributes", nlohmann::json::object());
  std::string line = attributes.value("AXRole", std::string("?"));
  for (const char* key : {"AXFilename", "AXTitle", "AXValue"}) {
    const nlohmann::json value = attributes.value(key, nlohmann::json());
    if (value.is_string()) {
      line += " " + value.dump();
      break;
    }
  }
  const nlohmann::json position = attributes.value("AXPosition", nlohmann::json());
  if (position.is_object()) {
    line +=
        " at (" + number(position.value("x", 0.0)) + ", " + number(position.value("y", 0.0)) + ")";
  }
  const nlohmann::json size = attributes.value("AXSize", nlohmann::json());
  if (size.is_object()) {
    line += " size " + number(size.value("width", 0.0)) + "x" + number(size.value("height", 0.0));
  }
  char handle[32];
  std::snprintf(handle, sizeof(handle), " #0x%llx",
                static_cast<unsigned long long>(bundle.value("element", std::uint64_t{0})));
  return line + handle;
}

std::string treeText(const nlohmann::json& tree) {
  std::string out;
  if (tree.is_object()) appendTree(out, tree, 0);
  return out;
}

}  // namespace deskplay::simdesk::ctl
