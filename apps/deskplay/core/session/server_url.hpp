#pragma once

#include <string>
#include <string_view>

#include "platform/preferences.hpp"

namespace deskplay::core {

// The hosted room server, used whenever no usable address of the user's own is stored.
inline constexpr std::string_view kDefaultServerUrl = "wss://rooms.deskplay.app";

// The user-defaults key of the user's own room server address.
inline constexpr std::string_view kServerUrlKey = "serverURL";

// The room server every game launch and account call uses: the stored address with spaces
// and tabs trimmed when it is a WebSocket URL ("ws://", "wss://", case-sensitive), otherwise
// the hosted one. Reads the stored value each time, so an uncommitted edit has no effect.
std::string resolvedServerURL(platform::Preferences& preferences);

}  // namespace deskplay::core
