#include "file_icons/file_icon_commands.hpp"

#include "file_icons/base64.hpp"
#include "file_icons/finder_repaint.hpp"
#include "file_icons/icon_template.hpp"

namespace deskplay::glyphon {

CommandAnswer iconGet(const FileIconServices& services, const std::string& path) {
  CommandResult result;
  result.hasCustomIcon = services.workspace.hasCustomIcon(path) == true;
  if (*result.hasCustomIcon) {
    const std::optional<platform::Image> icon = services.workspace.iconForFile(path);
    if (icon && !icon->png.empty()) result.data = encodeBase64(icon->png);
  }
  return CommandAnswer::success(std::move(result));
}

CommandAnswer iconSetPath(const FileIconServices& services, const std::string& path,
                          const std::string& iconPath) {
  const std::optional<platform::Image> image = services.workspace.loadImage(iconPath);
  if (!image) return CommandAnswer::failure("Icon image not found");
  if (!services.workspace.setCustomIcon(path, image)) {
    return CommandAnswer::failure("Failed to set icon from path");
  }
  nudgeFinderRepaint(services.workspace, services.repaintQueue, path);
  return CommandAnswer::success();
}

CommandAnswer iconSetData(const FileIconServices& services, const std::string& path,
                          const std::string& iconData) {
  const std::optional<std::vector<unsigned char>> bytes = decodeBase64(iconData);
  const std::optional<platform::Image> image =
      bytes ? services.workspace.decodeImage(*bytes) : std::nullopt;
  if (!image) return CommandAnswer::failure("Invalid icon data");
  if (!services.workspace.setCustomIcon(path, image)) {
    return CommandAnswer::failure("Failed to set icon from data");
  }
  nudgeFinderRepaint(services.workspace, services.repaintQueue, path);
  return CommandAnswer::success();
}

CommandAnswer iconClear(const FileIconServices& services, const std::string& path) {
  if (!services.workspace.setCustomIcon(path, std::nullopt)) {
    return CommandAnswer::failure("Failed to clear icon");
  }
  return CommandAnswer::success();
}

CommandAnswer templateCopy(const std::string& iconPath, const std::string& path) {
  if (const std::error_code error = copyIconTemplate(iconPath, path)) {
    return CommandAnswer::failure("template_copy: " + error.message());
  }
  return CommandAnswer::success();
}

}  // namespace deskplay::glyphon
