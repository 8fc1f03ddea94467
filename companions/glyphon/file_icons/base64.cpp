#include "file_icons/base64.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

namespace deskplay::glyphon {

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kNotInAlphabet = -1;

constexpr std::array<int, 256> decodingTable() {
  std::array<int, 256> table{};
  table.fill(kNotInAlphabet);
  for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
    table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int>(i);
  }
  return table;
}

constexpr std::array<int, 256> kDecoding = decodingTable();

}  // namespace

std::string encodeBase64(const std::vector<unsigned char>& bytes) {
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t at = 0; at < bytes.size(); at += 3) {
    const std::size_t count = std::min<std::size_t>(3, bytes.size() - at);
    std::uint32_t group = static_cast<std::uint32_t>(bytes[at]) << 16;
    if (count > 1) group |= static_cast<std::uint32_t>(bytes[at + 1]) << 8;
    if (count > 2) group |= bytes[at + 2];
    for (std::size_t i = 0; i < 4; ++i) {
      text.push_back(i <= count ? kAlphabet[(group >> (18 - 6 * i)) & 0x3F] : '=');
    }
  }
  return text;
}

std::optional<std::vector<unsigned char>> decodeBase64(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::size_t padding = 0;
  while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
  const std::string_view digits = text.substr(0, text.size() - padding);

  std::vector<unsigned char> bytes;
  bytes.reserve(digits.size() * 3 / 4);
  std::uint32_t group = 0;
  int bits = 0;
  for (const char c : digits) {
    const int value = kDecoding[static_cast<unsigned char>(c)];
    if (value == kNotInAlphabet) return std::nullopt;
    group = ((group << 6) | static_cast<std::uint32_t>(value)) & 0xFFFFFF;
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes.push_back(static_cast<unsigned char>((group >> bits) & 0xFF));
    }
  }
  return bytes;
}

}  // namespace deskplay::glyphon
