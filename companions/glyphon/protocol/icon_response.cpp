#include "protocol/icon_response.hpp"

#include <nlohmann/json.hpp>

#include "common/json_line.hpp"

namespace deskplay::glyphon {

namespace {

nlohmann::ordered_json resultJson(const CommandResult& result) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  if (result.hasCustomIcon) object["hasCustomIcon"] = *result.hasCustomIcon;
  if (result.data) object["data"] = *result.data;
  if (result.desktopLabelsVisible) object["desktopLabelsVisible"] = *result.desktopLabelsVisible;
  if (result.gridSpacing) object["gridSpacing"] = *result.gridSpacing;
  if (result.iconSize) object["iconSize"] = *result.iconSize;
  if (result.gridArrangement) object["gridArrangement"] = *result.gridArrangement;
  return object;
}

}  // namespace

std::optional<std::string> iconResponseLine(const std::string& id, const CommandAnswer& answer) {
  nlohmann::ordered_json response = nlohmann::ordered_json::object();
  response["id"] = id;
  response["ok"] = answer.ok;
  if (answer.result) response["result"] = resultJson(*answer.result);
  if (answer.error) response["error"] = *answer.error;
  std::string line = "ICON:";
  if (!appendJson(line, response, JsonStyle{}).ok()) return std::nullopt;
  return line;
}

void sendIconResponse(OutputLines& output, const std::string& id, const CommandAnswer& answer) {
  if (const std::optional<std::string> line = iconResponseLine(id, answer)) {
    output.writeLine(*line, OutputLines::Flush::now);
  }
}

}  // namespace deskplay::glyphon
