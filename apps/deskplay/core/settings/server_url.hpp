#pragma once

#include <string>
#include <string_view>

#include "platform/preferences.hpp"

namespace deskplay::core {

// The hosted room server, used whenever no usable address of the user's own is stored.
inline constexpr std::string_view kDefaultServerUrl = "wss://rooms.deskplay.app";

// The user-defaults key of the user's own room server address.
inline constexpr std::string_view kServerUrlKey = "serverURL";

// `text` without the spaces and tabs at both ends. Line breaks stay: an address typed with
// one is kept as typed and is then no WebSocket URL.
std::string_view trimmedSpacesAndTabs(std::string_view text);

// Whether `url` starts with "ws://" or "wss://" (case-sensitive); nothing else is examined.
bool hasWebSocketScheme(std::string_view url);

// The room server every game launch and account call uses: the stored address with spaces
// and tabs trimmed when it is a WebSocket URL, otherwise the hosted one. Reads the stored
// value each time, so an uncommitted edit has no effect.
std::string resolvedServerURL(platform::Preferences& preferences);

}  // namespace deskplay::core
