// DDE does not exist natively: no server ever answers.
#include "platform/dde.h"

namespace kestrune::platform {

struct DdeConversation::Impl {};

DdeConversation::DdeConversation() = default;
DdeConversation::~DdeConversation() = default;
bool DdeConversation::open(const std::string&, const std::string&) { return false; }
bool DdeConversation::isOpen() const { return false; }
void DdeConversation::close() {}
bool DdeConversation::execute(const std::string&) { return false; }
std::optional<std::string> DdeConversation::request(const std::string&) { return std::nullopt; }

}  // namespace kestrune::platform
