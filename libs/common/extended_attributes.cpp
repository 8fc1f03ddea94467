#include "common/extended_attributes.hpp"

#include <sys/xattr.h>

#include <cerrno>
#include <functional>

#include "common/system_error.hpp"

namespace deskplay {

namespace {

#ifdef __APPLE__
constexpr int kNoSuchAttribute = ENOATTR;
#else
constexpr int kNoSuchAttribute = ENODATA;
#endif

// getxattr and fgetxattr differ only in their first argument; so does the rest.
using SizedRead = std::function<ssize_t(void* buffer, std::size_t size)>;

Result<std::optional<std::string>> readWhole(const SizedRead& read, const std::string& label) {
  // The value may change between asking its size and reading it; ERANGE says it grew.
  for (int attempt = 0; attempt < 8; ++attempt) {
    const ssize_t size = read(nullptr, 0);
    if (size < 0) {
      if (errno == kNoSuchAttribute) return std::optional<std::string>();
      return Error{errnoMessage(label, errno)};
    }
    std::string value(static_cast<std::size_t>(size), '\0');
    const ssize_t got = read(value.data(), value.size());
    if (got >= 0) {
      value.resize(static_cast<std::size_t>(got));
      return std::optional<std::string>(std::move(value));
    }
    if (errno == kNoSuchAttribute) return std::optional<std::string>();
    if (errno != ERANGE) return Error{errnoMessage(label, errno)};
  }
  return Error{errnoMessage(label, ERANGE)};
}

}  // namespace

Result<std::optional<std::string>> readAttribute(const std::filesystem::path& file,
                                                 std::string_view name) {
  const std::string attribute(name);
  return readWhole(
      [&](void* buffer, std::size_t size) {
#ifdef __APPLE__
        return ::getxattr(file.c_str(), attribute.c_str(), buffer, size, 0, 0);
#else
        return ::getxattr(file.c_str(), attribute.c_str(), buffer, size);
#endif
      },
      "read attribute " + attribute + " of " + file.string());
}

Result<std::optional<std::string>> readAttribute(int fd, std::string_view name) {
  const std::string attribute(name);
  return readWhole(
      [&](void* buffer, std::size_t size) {
#ifdef __APPLE__
        return ::fgetxattr(fd, attribute.c_str(), buffer, size, 0, 0);
#else
        return ::fgetxattr(fd, attribute.c_str(), buffer, size);
#endif
      },
      "read attribute " + attribute);
}

Status writeAttribute(const std::filesystem::path& file, std::string_view name,
                      std::string_view value) {
  const std::string attribute(name);
#ifdef __APPLE__
  const int written = ::setxattr(file.c_str(), attribute.c_str(), value.data(), value.size(), 0, 0);
#else
  const int written = ::setxattr(file.c_str(), attribute.c_str(), value.data(), value.size(), 0);
#endif
  return checked(written, "write attribute " + attribute + " of " + file.string());
}

Status writeAttribute(int fd, std::string_view name, std::string_view value) {
  const std::string attribute(name);
#ifdef __APPLE__
  const int written = ::fsetxattr(fd, attribute.c_str(), value.data(), value.size(), 0, 0);
#else
  const int written = ::fsetxattr(fd, attribute.c_str(), value.data(), value.size(), 0);
#endif
  return checked(written, "write attribute " + attribute);
}

Status removeAttribute(const std::filesystem::path& file, std::string_view name) {
  const std::string attribute(name);
#ifdef __APPLE__
  const int removed = ::removexattr(file.c_str(), attribute.c_str(), 0);
#else
  const int removed = ::removexattr(file.c_str(), attribute.c_str());
#endif
  if (removed != 0 && errno == kNoSuchAttribute) return Status::success();
  return checked(removed, "remove attribute " + attribute + " of " + file.string());
}

}  // namespace deskplay
