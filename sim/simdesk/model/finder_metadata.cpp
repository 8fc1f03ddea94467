#include "sim/simdesk/model/finder_metadata.hpp"

#include <plist/plist.h>

#include <cstdint>

#include "common/extended_attributes.hpp"
#include "platform/finder_info.hpp"
#include "plist_files/plist_file.hpp"
#include "plist_files/plist_values.hpp"

namespace deskplay::simdesk {

namespace {

constexpr std::uint16_t kColorMask = 0x000E;
constexpr std::string_view kCommentAttribute = "com.apple.metadata:kMDItemFinderComment";

const std::string& finderInfoName() {
  static const std::string name = platform::platformAttributeName(platform::kFinderInfoAttribute);
  return name;
}

const std::string& resourceForkName() {
  static const std::string name =
      platform::platformAttributeName(platform::kResourceForkAttribute);
  return name;
}

const std::string& commentName() {
  static const std::string name = platform::platformAttributeName(kCommentAttribute);
  return name;
}

Result<platform::FinderInfo> readFinderInfo(const std::filesystem::path& file) {
  auto bytes = readAttribute(file, finderInfoName());
  if (!bytes.ok()) return bytes.error();
  return bytes.value() ? platform::FinderInfo::fromBytes(*bytes.value()) : platform::FinderInfo();
}

Status writeFinderInfo(const std::filesystem::path& file, const platform::FinderInfo& info) {
  if (info.isEmpty()) return removeAttribute(file, finderInfoName());
  return writeAttribute(file, finderInfoName(), info.bytes());
}

// Rewrites the Finder flags, keeping every other byte of FinderInfo.
template <class Change>
Status changeFinderFlags(const std::filesystem::path& file, Change change) {
  auto info = readFinderInfo(file);
  if (!info.ok()) return info.error();
  platform::FinderInfo updated = info.value();
  const std::uint16_t flags = change(updated.flags());
  updated.set(0xFFFF, false);
  updated.set(flags, true);
  return writeFinderInfo(file, updated);
}

}  // namespace

int labelIndexFromFinderFlags(std::uint16_t flags) {
  const int color = (flags & kColorMask) >> 1;
  return color == 0 ? 0 : 8 - color;
}

std::uint16_t finderFlagsWithLabel(std::uint16_t flags, int labelIndex) {
  const int color = labelIndex <= 0 || labelIndex > 7 ? 0 : 8 - labelIndex;
  return static_cast<std::uint16_t>((flags & ~kColorMask) | (color << 1));
}

FinderMetadata readFinderMetadata(const std::filesystem::path& file) {
  FinderMetadata metadata;
  auto info = readFinderInfo(file);
  if (info.ok()) {
    metadata.labelIndex = labelIndexFromFinderFlags(info.value().flags());
    metadata.extensionHidden = info.value().has(platform::FinderInfo::kExtensionHidden);
    if (info.value().has(platform::FinderInfo::kHasCustomIcon)) {
      auto fork = readAttribute(file, resourceForkName());
      if (fork.ok() && fork.value() && !fork.value()->empty()) {
        metadata.customIconPng = std::move(*fork.value());
      }
    }
  }
  auto comment = readAttribute(file, commentName());
  if (comment.ok() && comment.value()) {
    auto document = plist::parsePlist(*comment.value());
    if (document.ok() && plist_get_node_type(document.value().root.get()) == PLIST_STRING) {
      metadata.comment = plist::stringValue(document.value().root.get());
    }
  }
  return metadata;
}

Status writeLabelIndex(const std::filesystem::path& file, int labelIndex) {
  return changeFinderFlags(
      file, [labelIndex](std::uint16_t flags) { return finderFlagsWithLabel(flags, labelIndex); });
}

Status writeExtensionHidden(const std::filesystem::path& file, bool hidden) {
  return changeFinderFlags(file, [hidden](std::uint16_t flags) {
    constexpr std::uint16_t flag = platform::FinderInfo::kExtensionHidden;
    return static_cast<std::uint16_t>(hidden ? flags | flag : flags & ~flag);
  });
}

Status writeComment(const std::filesystem::path& file, const std::string& comment) {
  if (comment.empty()) return removeAttribute(file, commentName());
  const plist::PlistNode node(plist_new_string(comment.c_str()));
  return writeAttribute(file, commentName(),
                        plist::serialisePlist(node.get(), plist::PlistFormat::binary));
}

}  // namespace deskplay::simdesk
