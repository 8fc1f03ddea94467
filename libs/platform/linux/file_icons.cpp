#include "platform/linux/file_icons.hpp"

#include "common/extended_attributes.hpp"
#include "platform/finder_info.hpp"

namespace deskplay::platform {

namespace {

const std::string& finderInfoName() {
  static const std::string name = platformAttributeName(kFinderInfoAttribute);
  return name;
}

const std::string& resourceForkName() {
  static const std::string name = platformAttributeName(kResourceForkAttribute);
  return name;
}

Result<FinderInfo> readFinderInfo(const std::filesystem::path& file) {
  auto bytes = readAttribute(file, finderInfoName());
  if (!bytes.ok()) return bytes.error();
  return bytes.value() ? FinderInfo::fromBytes(*bytes.value()) : FinderInfo();
}

}  // namespace

std::optional<bool> readHasCustomIcon(const std::filesystem::path& file) {
  auto info = readFinderInfo(file);
  if (!info.ok()) return std::nullopt;
  return info.value().has(FinderInfo::kHasCustomIcon);
}

std::optional<std::string> readCustomIconPng(const std::filesystem::path& file) {
  if (readHasCustomIcon(file) != true) return std::nullopt;
  auto fork = readAttribute(file, resourceForkName());
  if (!fork.ok() || !fork.value() || fork.value()->empty()) return std::nullopt;
  return *fork.value();
}

Status writeCustomIcon(const std::filesystem::path& file, const std::string& png) {
  if (Status written = writeAttribute(file, resourceForkName(), png); !written.ok()) {
    return written;
  }
  return setFinderFlag(file, FinderInfo::kHasCustomIcon, true);
}

Status clearCustomIcon(const std::filesystem::path& file) {
  if (Status cleared = setFinderFlag(file, FinderInfo::kHasCustomIcon, false); !cleared.ok()) {
    return cleared;
  }
  return removeAttribute(file, resourceForkName());
}

Status setFinderFlag(const std::filesystem::path& file, std::uint16_t flag, bool on) {
  auto info = readFinderInfo(file);
  if (!info.ok()) return info.error();
  info.value().set(flag, on);
  if (info.value().isEmpty()) return removeAttribute(file, finderInfoName());
  return writeAttribute(file, finderInfoName(), info.value().bytes());
}

}  // namespace deskplay::platform
