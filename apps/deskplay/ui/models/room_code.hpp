#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace deskplay::ui {

// The words room codes are made of: one of each list, then a number from 10 to 99.
inline constexpr std::array<std::string_view, 10> kRoomCodeFirstWords = {
    "swift", "neon", "hyper", "pixel", "turbo", "lunar", "vivid", "atomic", "cosmic", "bolt"};
inline constexpr std::array<std::string_view, 10> kRoomCodeSecondWords = {
    "falcon", "comet", "tiger", "vortex", "echo", "raptor", "delta", "nova", "pulse", "grid"};

// A number drawn uniformly from 0 to bound - 1; bound is at least 1.
using UniformDraw = std::function<std::uint32_t(std::uint32_t bound)>;

// A uniform draw from the system's secure random source (getrandom), without modulo bias;
// bound is at least 1.
std::uint32_t secureUniform(std::uint32_t bound);

// A fresh room code such as "neon-comet-42": three draws joined with "-".
std::string generateRoomCode(const UniformDraw& draw = secureUniform);

}  // namespace deskplay::ui
