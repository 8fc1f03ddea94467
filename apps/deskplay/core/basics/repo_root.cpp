#include "core/basics/repo_root.hpp"

#include <system_error>

#include "core/basics/app_paths.hpp"

namespace deskplay::core {

namespace {

constexpr int kAncestorsSearched = 8;

}  // namespace

std::optional<std::filesystem::path> findRepoRoot(const std::filesystem::path& bundle) {
  std::error_code error;
  std::filesystem::path candidate = std::filesystem::absolute(bundle, error).lexically_normal();
  if (error) return std::nullopt;
  // "a/b/" names the same folder as "a/b"; its parent is "a".
  if (!candidate.has_filename()) candidate = candidate.parent_path();
  for (int step = 0; step < kAncestorsSearched; ++step) {
    candidate = candidate.parent_path();
    if (std::filesystem::exists(candidate / kCheckoutMarker, error)) return candidate;
  }
  return std::nullopt;
}

}  // namespace deskplay::core
