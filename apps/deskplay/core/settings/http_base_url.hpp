#pragma once

#include <QUrl>
#include <string_view>

#include "common/result.hpp"
#include "platform/preferences.hpp"

namespace deskplay::core {

// What an account call reports when the room server address gives no usable HTTP address.
inline constexpr char kInvalidServerAddressMessage[] = "The room server URL isn't a valid address.";

// The HTTP root of the room server at `serverUrl`: every "wss://" becomes "https://", then
// every "ws://" becomes "http://" (anywhere in the text, not only at the start), and the path
// is dropped; query and fragment stay. An address that does not parse, or names no host,
// is an error with kInvalidServerAddressMessage.
Result<QUrl> httpBaseURL(std::string_view serverUrl);

// The same for resolvedServerURL(), derived anew on each call.
Result<QUrl> httpBaseURL(platform::Preferences& preferences);

// `endpoint` ("api/me") directly below the root `base`.
QUrl endpointURL(const QUrl& base, std::string_view endpoint);

}  // namespace deskplay::core
