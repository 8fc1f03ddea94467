#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::simdesk::ctl {

// simdeskctl's commands about what applications show: their status items, the open panel,
// distributed notifications and pressing their published elements. Exit statuses as
// runCtl's.
int statusItemsCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                       std::ostream& out, std::ostream& err);
int openPanelCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                     std::ostream& out, std::ostream& err);
int notificationsCommand(const std::vector<std::string>& arguments,
                         protocol::Connection& connection, std::ostream& out, std::ostream& err);
// Clicks the centre of the first enabled element with the title, as `click` would.
int pressCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                 std::ostream& out, std::ostream& err);

}  // namespace deskplay::simdesk::ctl
