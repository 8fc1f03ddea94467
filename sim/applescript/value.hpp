#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace deskplay::applescript {

namespace ast {
struct Node;
}

// The name of the disk that HFS paths start with; simdesk's startup disk carries it.
inline constexpr std::string_view startupDiskName = "Macintosh HD";

struct MissingValue {
  friend bool operator==(const MissingValue&, const MissingValue&) = default;
};

// An enumerated constant of an application's dictionary ("snap to grid", 'grda').
struct Constant {
  std::string_view name;
  std::string_view code;
  friend bool operator==(const Constant& a, const Constant& b) { return a.code == b.code; }
};

// `POSIX file "…"` (a file, which need not exist) or an alias (which must).
struct FileRef {
  enum class Kind { file, alias };
  Kind kind = Kind::file;
  std::string posixPath;
  friend bool operator==(const FileRef&, const FileRef&) = default;
};

struct ApplicationRef {
  std::string name;
  friend bool operator==(const ApplicationRef&, const ApplicationRef&) = default;
};

// One step of an object specifier, outermost first: `desktop`, then `item "a"`, then
// `desktop position`. Terms are the dictionaries' canonical names (static storage).
struct SpecifierStep {
  enum class Form { property, name, index, every };
  Form form = Form::property;
  std::string_view term;
  std::string name;
  std::int64_t index = 0;
  // A `whose` test over the elements of an `every` step; the evaluator resolves it before any
  // application sees the specifier.
  const ast::Node* filter = nullptr;
  std::string_view filterText;

  friend bool operator==(const SpecifierStep& a, const SpecifierStep& b) {
    return a.form == b.form && a.term == b.term && a.name == b.name && a.index == b.index &&
           a.filter == b.filter;
  }
};

// A reference to an application object: from the application (or from a file, as in
// `desktop position of alias "…"`) through its steps.
struct ObjectSpecifier {
  std::string application;
  std::optional<FileRef> base;
  std::vector<SpecifierStep> steps;

  ObjectSpecifier with(SpecifierStep step) const;
  friend bool operator==(const ObjectSpecifier&, const ObjectSpecifier&) = default;
};

struct Value;
using List = std::vector<Value>;

// A script value: what literals, coercions and applications give.
struct Value {
  std::variant<MissingValue, bool, std::int64_t, double, std::string, List, Constant, FileRef,
               ObjectSpecifier, ApplicationRef>
      data;

  Value() = default;
  Value(MissingValue v) : data(v) {}
  Value(bool v) : data(v) {}
  Value(std::int64_t v) : data(v) {}
  Value(int v) : data(std::int64_t{v}) {}
  Value(double v) : data(v) {}
  Value(std::string v) : data(std::move(v)) {}
  Value(const char* v) : data(std::string(v)) {}
  Value(List v) : data(std::move(v)) {}
  Value(Constant v) : data(v) {}
  Value(FileRef v) : data(std::move(v)) {}
  Value(ObjectSpecifier v) : data(std::move(v)) {}
  Value(ApplicationRef v) : data(std::move(v)) {}

  template <class T>
  bool is() const {
    return std::holds_alternative<T>(data);
  }
  template <class T>
  const T* as() const {
    return std::get_if<T>(&data);
  }

  friend bool operator==(const Value&, const Value&) = default;
};

// "Macintosh HD:Users:me:Desktop:a.txt" for "/Users/me/Desktop/a.txt" (a slash inside a name
// becomes a colon and the other way round, as the file system shows names in each form).
std::string hfsPath(std::string_view posixPath);

// The value as AppleScript writes it in results and error messages: `{1, "a"}`,
// `item "a" of desktop`, `file "Macintosh HD:…"`.
std::string sourceText(const Value& value);
std::string sourceText(const ObjectSpecifier& specifier);
// A text in AppleScript's literal form: quotes and backslashes escaped.
std::string quoted(std::string_view text);
// AppleScript's rendering of a real: "1.5", "2.0", "1.0E+4".
std::string realText(double value);

}  // namespace deskplay::applescript
