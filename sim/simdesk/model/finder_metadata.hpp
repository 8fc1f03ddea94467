#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "common/result.hpp"

namespace deskplay::simdesk {

// What Finder reads from a file's attributes: the label and the custom-icon and
// hidden-extension flags from FinderInfo, the custom icon's PNG from the resource fork, and
// the comment from its kMDItemFinderComment attribute (a binary plist string, as Spotlight
// keeps it).
struct FinderMetadata {
  int labelIndex = 0;
  bool extensionHidden = false;
  std::optional<std::string> customIconPng;
  std::string comment;
};

// Unreadable attributes read as absent.
FinderMetadata readFinderMetadata(const std::filesystem::path& file);

// FinderInfo keeps the label as the colour bits (1–3) of the Finder flags, numbered the
// other way round from the label index: colour 7 is label 1 (orange), colour 1 label 7
// (gray).
int labelIndexFromFinderFlags(std::uint16_t flags);
std::uint16_t finderFlagsWithLabel(std::uint16_t flags, int labelIndex);

// Each write keeps the rest of FinderInfo; an all-zero FinderInfo is removed.
Status writeLabelIndex(const std::filesystem::path& file, int labelIndex);
Status writeExtensionHidden(const std::filesystem::path& file, bool hidden);
// An empty comment removes the attribute.
Status writeComment(const std::filesystem::path& file, const std::string& comment);

}  // namespace deskplay::simdesk
