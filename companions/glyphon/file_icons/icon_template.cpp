#include "file_icons/icon_template.hpp"

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>
#include <vector>

#include "common/unique_fd.hpp"
#include "platform/finder_info.hpp"

namespace deskplay::glyphon {

namespace {

struct Attribute {
  std::string name;
  std::vector<char> value;
};

std::error_code lastError() {
  return {errno, std::generic_category()};
}

ssize_t readAttribute(const std::filesystem::path& file, const std::string& name, void* buffer,
                      std::size_t size) {
#ifdef __APPLE__
  return ::getxattr(file.c_str(), name.c_str(), buffer, size, 0, 0);
#else
  return ::getxattr(file.c_str(), name.c_str(), buffer, size);
#endif
}

int writeAttribute(int fd, const Attribute& attribute) {
#ifdef __APPLE__
  return ::fsetxattr(fd, attribute.name.c_str(), attribute.value.data(), attribute.value.size(), 0,
                     0);
#else
  return ::fsetxattr(fd, attribute.name.c_str(), attribute.value.data(), attribute.value.size(), 0);
#endif
}

// The whole attribute: its size first, then exactly that many bytes.
std::error_code readWhole(const std::filesystem::path& file, Attribute& attribute) {
  const ssize_t size = readAttribute(file, attribute.name, nullptr, 0);
  if (size < 0) return lastError();
  attribute.value.resize(static_cast<std::size_t>(size));
  const ssize_t got =
      readAttribute(file, attribute.name, attribute.value.data(), attribute.value.size());
  if (got < 0) return lastError();
  // It changed in between; a shorter value would leave the copy incomplete.
  if (got != size) return std::make_error_code(std::errc::result_out_of_range);
  return {};
}

}  // namespace

std::error_code copyIconTemplate(const std::filesystem::path& from,
                                 const std::filesystem::path& to) {
  std::array<Attribute, 2> attributes{
      Attribute{platform::platformAttributeName(platform::kFinderInfoAttribute), {}},
      Attribute{platform::platformAttributeName(platform::kResourceForkAttribute), {}}};
  for (Attribute& attribute : attributes) {
    if (const std::error_code error = readWhole(from, attribute)) return error;
  }

  UniqueFd destination(::open(to.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644));
  if (!destination.valid()) return lastError();
  for (const Attribute& attribute : attributes) {
    if (writeAttribute(destination.get(), attribute) != 0) {
      const std::error_code error = lastError();
      ::unlink(to.c_str());
      return error;
    }
  }
  return {};
}

}  // namespace deskplay::glyphon
