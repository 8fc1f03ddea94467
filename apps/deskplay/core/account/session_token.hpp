#pragma once

#include <optional>
#include <string>

#include "platform/keychain.hpp"

namespace deskplay::core {

// The keychain item that holds the room server's session token.
inline constexpr char kSessionTokenService[] = "quillon.deskplay";
inline constexpr char kSessionTokenAccount[] = "room-server-session";

// The stored session token; nothing when there is none, it cannot be read (a locked or
// absent keychain), it is not UTF-8, or it is empty.
std::optional<std::string> deskplaySessionToken(platform::Keychain& keychain);

// Replaces the stored token with `token`. A keychain that refuses is ignored: the token is
// then simply not stored.
void storeDeskplaySessionToken(platform::Keychain& keychain, const std::string& token);

// Deletes every stored token; a keychain that refuses or holds none is ignored.
void deleteDeskplaySessionToken(platform::Keychain& keychain);

}  // namespace deskplay::core
