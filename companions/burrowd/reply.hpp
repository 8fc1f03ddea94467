#pragma once

#include <string>

#include "common/result.hpp"
#include "stash_controller.hpp"

namespace deskplay::burrowd {

// {"ok":true,"value":…} as one line: keys sorted, no added whitespace, "/" escaped.
Result<std::string> successReply(Json value);

// {"error":"…","ok":false} as one line, spelled as the success reply is.
Result<std::string> errorReply(const std::string& description);

}  // namespace deskplay::burrowd
