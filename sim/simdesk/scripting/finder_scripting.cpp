#include "sim/simdesk/scripting/finder_scripting.hpp"

#include <algorithm>
#include <cmath>
#include <system_error>
#include <vector>

#include "applescript/coercion.hpp"
#include "sim/simdesk/model/item_order.hpp"
#include "sim/simdesk/scripting/specifier_steps.hpp"

namespace deskplay::simdesk {

namespace as = applescript;
using as::ObjectSpecifier;
using as::ScriptFailure;
using as::SpecifierStep;
using as::Value;

namespace {

constexpr std::string_view itemClasses[] = {"item", "file", "document file", "folder", "container"};

bool isItemClass(std::string_view term) {
  return std::find(std::begin(itemClasses), std::end(itemClasses), term) != std::end(itemClasses);
}

bool isWindowClass(std::string_view term) {
  return term == "window" || term == "Finder window";
}

bool classFits(std::string_view term, const DesktopItem& item) {
  if (term == "file" || term == "document file") return !item.isFolder();
  if (term == "folder" || term == "container") return item.isFolder();
  return true;
}

std::string_view classOf(const DesktopItem& item) {
  switch (item.kind) {
    case ItemKind::folder:
      return "folder";
    case ItemKind::file:
      return "document file";
    case ItemKind::symbolicLink:
      return "item";
  }
  return "item";
}

as::ScriptFailure eventFailed() {
  return {as::errors::eventFailed, "AppleEvent handler failed.", std::nullopt};
}

std::vector<const DesktopItem*> itemsInNameOrder(Finder& finder, std::string_view term) {
  std::vector<const DesktopItem*> items;
  for (const auto& [id, item] : finder.items()) {
    if (classFits(term, item)) items.push_back(&item);
  }
  std::sort(items.begin(), items.end(), [](const DesktopItem* a, const DesktopItem* b) {
    return finderNameLess(a->name, b->name);
  });
  return items;
}

ObjectSpecifier desktopElement(std::string_view term, const std::string& name) {
  return ObjectSpecifier{"Finder",
                         std::nullopt,
                         {{SpecifierStep::Form::property, "desktop", {}, 0, nullptr, {}},
                          {SpecifierStep::Form::name, term, name, 0, nullptr, {}}}};
}

Value point(platform::Point position) {
  return Value(as::List{Value(static_cast<std::int64_t>(std::lround(position.x))),
                        Value(static_cast<std::int64_t>(std::lround(position.y)))});
}

}  // namespace

Result<FinderScripting::Target, ScriptFailure> FinderScripting::resolve(
    const ObjectSpecifier& object, std::size_t steps) {
  Target target;
  if (object.base) {
    target.kind = Target::Kind::item;
    target.path = object.base->posixPath;
  }
  for (std::size_t i = 0; i < steps; ++i) {
    const SpecifierStep& step = object.steps[i];
    if (step.form != SpecifierStep::Form::property) {
      auto found = element(target, object, i);
      if (!found.ok()) return found;
      target = std::move(found).value();
      continue;
    }
    using Kind = Target::Kind;
    if (target.kind == Kind::application && step.term == "desktop") {
      target.kind = Kind::desktop;
    } else if (target.kind == Kind::application && step.term == "startup disk") {
      target.kind = Kind::startupDisk;
    } else if (target.kind == Kind::desktop &&
               (step.term == "container window" || step.term == "window")) {
      target.kind = Kind::desktopWindow;
    } else if (target.kind == Kind::desktopWindow && step.term == "icon view options") {
      target.kind = Kind::iconViewOptions;
    } else {
      return as::cantGet(prefixOf(object, i + 1));
    }
  }
  return target;
}

Result<FinderScripting::Target, ScriptFailure> FinderScripting::element(
    const Target& container, const ObjectSpecifier& object, std::size_t step) {
  const SpecifierStep& element = object.steps[step];
  const bool onDesktop =
      container.kind == Target::Kind::desktop || container.kind == Target::Kind::application;
  if (onDesktop && isItemClass(element.term)) {
    const DesktopItem* item = nullptr;
    if (element.form == SpecifierStep::Form::name) {
      item = finder_.itemNamed(element.name);
      if (item != nullptr && !classFits(element.term, *item)) item = nullptr;
    } else if (element.form == SpecifierStep::Form::index) {
      const auto items = itemsInNameOrder(finder_, element.term);
      const auto count = static_cast<std::int64_t>(items.size());
      const std::int64_t at = element.index > 0 ? element.index - 1 : count + element.index;
      if (element.index != 0 && at >= 0 && at < count) item = items[static_cast<std::size_t>(at)];
    }
    if (item == nullptr) return as::cantGet(prefixOf(object, step + 1));
    return Target{Target::Kind::item, item->path, 0};
  }
  if (container.kind == Target::Kind::application && isWindowClass(element.term)) {
    const auto& windows = finder_.windows();
    const auto count = static_cast<std::int64_t>(windows.size());
    if (element.form == SpecifierStep::Form::index) {
      const std::int64_t at = element.index > 0 ? element.index - 1 : count + element.index;
      if (element.index != 0 && at >= 0 && at < count) {
        return Target{Target::Kind::window, {}, static_cast<std::size_t>(at)};
      }
    } else if (element.form == SpecifierStep::Form::name) {
      for (std::size_t i = 0; i < windows.size(); ++i) {
        if (windows[i].target.filename() == element.name)
          return Target{Target::Kind::window, {}, i};
      }
    }
  }
  if (container.kind == Target::Kind::application && element.term == "disk" &&
      element.form == SpecifierStep::Form::name && element.name == as::startupDiskName) {
    return Target{Target::Kind::startupDisk, {}, 0};
  }
  return as::cantGet(prefixOf(object, step + 1));
}

Result<Value, ScriptFailure> FinderScripting::elements(const Target& container,
                                                       const ObjectSpecifier& object) {
  const SpecifierStep& every = object.steps.back();
  as::List found;
  const bool onDesktop =
      container.kind == Target::Kind::desktop || container.kind == Target::Kind::application;
  if (onDesktop && isItemClass(every.term)) {
    for (const DesktopItem* item : itemsInNameOrder(finder_, every.term)) {
      found.emplace_back(
          desktopElement(every.term == "item" ? classOf(*item) : every.term, item->name));
    }
    return Value(std::move(found));
  }
  if (container.kind == Target::Kind::application && isWindowClass(every.term)) {
    for (std::size_t i = 0; i < finder_.windows().size(); ++i) {
      found.emplace_back(ObjectSpecifier{"Finder",
                                         std::nullopt,
                                         {{SpecifierStep::Form::index,
                                           "Finder window",
                                           {},
                                           static_cast<std::int64_t>(i + 1),
                                           nullptr,
                                           {}}}});
    }
    return Value(std::move(found));
  }
  return as::cantGet(object);
}

Result<Value, ScriptFailure> FinderScripting::get(const ObjectSpecifier& object) {
  if (!finder_.isRunning()) return as::applicationNotRunning();
  if (const auto every = innerEveryStep(object)) {
    return forEachElement(
        object, *every, [this](const ObjectSpecifier& list) { return get(list); },
        [this](const ObjectSpecifier& each) { return get(each); });
  }
  if (object.steps.empty()) return as::cantGet(object);
  const SpecifierStep& last = object.steps.back();
  auto container = resolve(object, object.steps.size() - 1);
  if (!container.ok()) return std::move(container).error();
  switch (last.form) {
    case SpecifierStep::Form::property:
      return property(container.value(), object);
    case SpecifierStep::Form::every:
      return elements(container.value(), object);
    default:
      break;
  }
  auto found = element(container.value(), object, object.steps.size() - 1);
  if (!found.ok()) return std::move(found).error();
  if (found.value().kind == Target::Kind::item) {
    const DesktopItem* item = finder_.itemAtPath(found.value().path);
    if (item != nullptr) return Value(desktopElement(classOf(*item), item->name));
  }
  return Value(object);
}

Result<Value, ScriptFailure> FinderScripting::property(const Target& target,
                                                       const ObjectSpecifier& object) {
  const std::string_view term = object.steps.back().term;
  using Kind = Target::Kind;
  switch (target.kind) {
    case Kind::application:
      if (term == "name") return Value("Finder");
      if (term == "visible") return Value(true);
      break;
    case Kind::desktop:
      if (term == "name") return Value("Desktop");
      if (term == "container window" || term == "window") return Value(object);
      break;
    case Kind::startupDisk:
      if (term == "name") return Value(std::string(as::startupDiskName));
      break;
    case Kind::desktopWindow:
      if (term == "icon view options") return Value(object);
      break;
    case Kind::iconViewOptions: {
      const IconViewOptions& options = finder_.iconViewOptions();
      if (term == "icon size") return Value(options.iconSize);
      if (term == "text size") return Value(options.textSize);
      if (term == "shows item info") return Value(options.showsItemInfo);
      if (term == "shows icon preview") return Value(options.showsIconPreview);
      if (term == "label position") {
        return Value(options.labelPosition == LabelPosition::right
                         ? as::Constant{"right", "lrgt"}
                         : as::Constant{"bottom", "lbot"});
      }
      if (term == "arrangement") {
        static const std::pair<std::string_view, std::string_view> codes[] = {
            {"not arranged", "narr"},
            {"snap to grid", "grda"},
            {"arranged by name", "nam "},
            {"arranged by modification date", "mdat"},
            {"arranged by creation date", "cdat"},
            {"arranged by size", "ptsz"},
            {"arranged by kind", "kind"},
            {"arranged by label", "labi"}};
        const std::string_view name = arrangementConstant(options.arrangement);
        for (const auto& [known, code] : codes) {
          if (known == name) return Value(as::Constant{known, code});
        }
      }
      break;
    }
    case Kind::item: {
      const DesktopItem* item = finder_.itemAtPath(target.path);
      if (term == "desktop position" || term == "position") {
        if (item != nullptr) return point(item->position);
        break;
      }
      if (term == "name") return Value(target.path.filename().string());
      if (term == "displayed name") {
        return Value(item != nullptr ? item->displayName() : target.path.filename().string());
      }
      if (term == "name extension") {
        const std::string extension = target.path.extension().string();
        return Value(extension.empty() ? extension : extension.substr(1));
      }
      if (term == "kind" && item != nullptr) return Value(item->kindName());
      if (term == "label index") {
        if (auto label = finder_.labelIndexOf(target.path); label.ok()) return Value(label.value());
        break;
      }
      if (term == "comment") {
        if (auto comment = finder_.commentOf(target.path); comment.ok()) {
          return Value(comment.value());
        }
        break;
      }
      if (term == "extension hidden") {
        if (auto hidden = finder_.extensionHiddenOf(target.path); hidden.ok()) {
          return Value(hidden.value());
        }
        break;
      }
      break;
    }
    case Kind::window:
      if (term == "name" && target.window < finder_.windows().size()) {
        return Value(finder_.windows()[target.window].target.filename().string());
      }
      break;
  }
  return as::cantGet(object);
}

Result<Value, ScriptFailure> FinderScripting::set(const ObjectSpecifier& object,
                                                  const Value& value) {
  if (!finder_.isRunning()) return as::applicationNotRunning();
  if (const auto every = innerEveryStep(object)) {
    return forEachElement(
        object, *every, [this](const ObjectSpecifier& list) { return get(list); },
        [this, &value](const ObjectSpecifier& each) { return set(each, value); });
  }
  if (object.steps.empty() || object.steps.back().form != SpecifierStep::Form::property) {
    return as::cantSet(object, value);
  }
  auto target = resolve(object, object.steps.size() - 1);
  if (!target.ok()) return std::move(target).error();
  return setProperty(target.value(), object, value);
}

Result<Value, ScriptFailure> FinderScripting::setProperty(const Target& target,
                                                          const ObjectSpecifier& object,
                                                          const Value& value) {
  if (target.kind == Target::Kind::iconViewOptions) return setOption(object, value);
  if (target.kind == Target::Kind::item) return setItemProperty(target, object, value);
  return as::cantSet(object, value);
}

Result<Value, ScriptFailure> FinderScripting::setOption(const ObjectSpecifier& object,
                                                        const Value& value) {
  const std::string_view term = object.steps.back().term;
  if (term == "icon size" || term == "text size") {
    auto size = integerParameter(value);
    if (!size.ok()) return std::move(size).error();
    if (term == "icon size") {
      finder_.setIconSize(size.value());
    } else {
      finder_.setTextSize(size.value());
    }
    return value;
  }
  if (term == "shows item info" || term == "shows icon preview") {
    auto shows = booleanParameter(value);
    if (!shows.ok()) return std::move(shows).error();
    if (term == "shows item info") {
      finder_.setShowsItemInfo(shows.value());
    } else {
      finder_.setShowsIconPreview(shows.value());
    }
    return value;
  }
  const auto* constant = value.as<as::Constant>();
  if (term == "label position") {
    if (constant != nullptr && (constant->name == "bottom" || constant->name == "right")) {
      finder_.setLabelPosition(constant->name == "right" ? LabelPosition::right
                                                         : LabelPosition::bottom);
      return value;
    }
    return as::cantMake(value, "constant");
  }
  if (term == "arrangement") {
    const auto arrangement =
        constant != nullptr ? arrangementFromConstant(constant->name) : std::nullopt;
    if (!arrangement) return as::cantMake(value, "constant");
    finder_.setArrangement(*arrangement);
    return value;
  }
  return as::cantSet(object, value);
}

Result<Value, ScriptFailure> FinderScripting::setItemProperty(const Target& target,
                                                              const ObjectSpecifier& object,
                                                              const Value& value) {
  const std::string_view term = object.steps.back().term;
  if (term == "desktop position" || term == "position") {
    const auto* list = value.as<as::List>();
    std::optional<Value> x;
    std::optional<Value> y;
    if (list != nullptr && list->size() == 2) {
      x = as::numberOf((*list)[0]);
      y = as::numberOf((*list)[1]);
    }
    if (!x || !y || (*list)[0].is<bool>() || (*list)[1].is<bool>()) {
      return as::cantMake(value, "point");
    }
    if (finder_.itemAtPath(target.path) == nullptr) return as::cantGet(object);
    const auto real = [](const Value& number) {
      if (const auto* integer = number.as<std::int64_t>()) return static_cast<double>(*integer);
      return std::get<double>(number.data);
    };
    if (!finder_.setDesktopPosition(target.path, {real(*x), real(*y)}).ok()) return eventFailed();
    return value;
  }
  if (term == "label index") {
    auto label = integerParameter(value);
    if (!label.ok()) return std::move(label).error();
    if (label.value() < 0 || label.value() > 7) return as::cantSet(object, value);
    if (!finder_.setLabelIndex(target.path, static_cast<int>(label.value())).ok()) {
      return eventFailed();
    }
    return value;
  }
  if (term == "comment") {
    const auto text = as::textOf(value);
    if (!text) return as::cantMake(value, "text");
    if (!finder_.setComment(target.path, *text).ok()) return eventFailed();
    return value;
  }
  if (term == "extension hidden") {
    auto hidden = booleanParameter(value);
    if (!hidden.ok()) return std::move(hidden).error();
    if (!finder_.setExtensionHidden(target.path, hidden.value()).ok()) return eventFailed();
    return value;
  }
  return as::cantSet(object, value);
}

Result<std::optional<Value>, ScriptFailure> FinderScripting::perform(
    as::Command command, const ObjectSpecifier* directObject) {
  using Answer = Result<std::optional<Value>, ScriptFailure>;
  if (command == as::Command::activate) {
    finder_.launch();
    return Answer(std::nullopt);
  }
  if (!finder_.isRunning()) return as::applicationNotRunning();
  if (command == as::Command::quit) {
    if (!finder_.quit(AfterQuit::stayQuit).ok()) return as::applicationNotRunning();
    return Answer(std::nullopt);
  }
  if (directObject == nullptr) return as::notUnderstood("application \"Finder\"", command);
  switch (command) {
    case as::Command::count: {
      auto found = get(*directObject);
      if (!found.ok()) return std::move(found).error();
      const auto* list = found.value().as<as::List>();
      return Answer(Value(static_cast<std::int64_t>(list != nullptr ? list->size() : 1)));
    }
    case as::Command::exists: {
      auto found = get(*directObject);
      if (found.ok()) return Answer(Value(true));
      if (found.error().number == as::errors::noSuchObject) return Answer(Value(false));
      return std::move(found).error();
    }
    case as::Command::close: {
      const bool windows = !directObject->steps.empty() && !directObject->base &&
                           isWindowClass(directObject->steps.back().term) &&
                           directObject->steps.size() == 1;
      if (!windows) return as::notUnderstood(as::sourceText(*directObject), command);
      if (directObject->steps.back().form != SpecifierStep::Form::every) {
        auto window = resolve(*directObject, 1);
        if (!window.ok()) return std::move(window).error();
        // The model closes Finder's windows all at once only.
        if (finder_.windows().size() != 1) return eventFailed();
      }
      finder_.closeAllWindows();
      return Answer(std::nullopt);
    }
    case as::Command::update: {
      auto target = resolve(*directObject, directObject->steps.size());
      if (!target.ok()) return std::move(target).error();
      if (target.value().kind == Target::Kind::item) {
        finder_.noteFileSystemChanged(target.value().path);
      }
      return Answer(std::nullopt);
    }
    default:
      break;
  }
  return as::notUnderstood(as::sourceText(*directObject), command);
}

}  // namespace deskplay::simdesk
