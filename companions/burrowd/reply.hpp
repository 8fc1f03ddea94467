#pragma once

#include <string>

#include "common/result.hpp"
#include "stash_controller.hpp"

namespace deskplay::burrowd {

// Writes {"ok":true,"value":…} as one line to `fd`: keys sorted, no added whitespace, "/"
// escaped, and NEL, U+2028 and U+2029 escaped too, so that no text can split the line. A
// journal's text is escaped and written piece by piece, never copied whole.
Status sendSuccessReply(int fd, const ActionValue& value);

// Writes {"error":"…","ok":false} as one line to `fd`, spelled as the success reply is.
Status sendErrorReply(int fd, const std::string& description);

}  // namespace deskplay::burrowd
