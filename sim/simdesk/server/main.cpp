#include "sim/simdesk/server/simdesk_app.hpp"

int main(int argc, char** argv) { return deskplay::simdesk::server::runSimdesk(argc, argv); }
