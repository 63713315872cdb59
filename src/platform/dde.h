// A DDE client conversation (DDEML): opened with a service and topic, it executes command
// strings and requests data items as text. Used by the Program Manager client.
#pragma once
#include <memory>
#include <optional>
#include <string>

namespace kestrune::platform {

class DdeConversation {
 public:
  DdeConversation();
  ~DdeConversation();
  DdeConversation(const DdeConversation&) = delete;
  DdeConversation& operator=(const DdeConversation&) = delete;

  // Opens the conversation; false when no server answers (or DDE is not available).
  bool open(const std::string& service, const std::string& topic);
  bool isOpen() const;
  void close();
  // Sends a command string and waits for the server's answer; true when it was accepted.
  bool execute(const std::string& command);
  // The text of a data item; nullopt when the server has none or the request fails.
  std::optional<std::string> request(const std::string& item);

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrune::platform
