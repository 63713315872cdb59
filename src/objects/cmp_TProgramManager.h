// TProgramManager: a client of Program Manager's DDE command interface. It creates and
// shows program groups, reads a group's item lines, and adds and replaces items.
#pragma once
#include <memory>
#include <string>

#include "runtime/component.h"
#include "runtime/exceptions.h"
#include "runtime/strings.h"

namespace kestrune {

namespace platform {
class DdeConversation;
}

// Program Manager's errors have a base of their own, apart from the run's abort family.
namespace progman {
KESTRUNE_EXCEPTION(EAI, Exception);
}
class EAIPMError : public progman::EAI {
 public:
  EAIPMError() : EAI(TranslateMessage("The TProgramManager object was unable to communicate with Program Manager")) {}
  using progman::EAI::EAI;
  const char* ClassName() const noexcept override { return "EAIPMError"; }
};
class EAIPMCannotOpen : public EAIPMError {
 public:
  EAIPMCannotOpen()
      : EAIPMError(TranslateMessage("The TProgramManager object was unable to establish a link with Program Manager")) {}
  const char* ClassName() const noexcept override { return "EAIPMCannotOpen"; }
};
class EAIPMCannotOpenGroup : public EAIPMError {
 public:
  explicit EAIPMCannotOpenGroup(const std::string& group);
  const char* ClassName() const noexcept override { return "EAIPMCannotOpenGroup"; }
  std::string GroupName;
};
class EAIPMCannotCreateGroup : public EAIPMError {
 public:
  explicit EAIPMCannotCreateGroup(const std::string& group);
  const char* ClassName() const noexcept override { return "EAIPMCannotCreateGroup"; }
  std::string GroupName;
};
class EAIPMCannotAddItem : public EAIPMError {
 public:
  EAIPMCannotAddItem(const std::string& group, const std::string& item, const std::string& command);
  const char* ClassName() const noexcept override { return "EAIPMCannotAddItem"; }
  std::string GroupName, ItemName, Command;
};
class EAIPMCannotReplaceItem : public EAIPMError {
 public:
  EAIPMCannotReplaceItem(const std::string& group, const std::string& item);
  const char* ClassName() const noexcept override { return "EAIPMCannotReplaceItem"; }
  std::string GroupName, ItemName;
};

class TProgramManager : public TComponent {
  KESTRUNE_CLASS()
 public:
  // The service and topic are "PROGMAN"; another name reaches a server standing in for it.
  explicit TProgramManager(TComponent* owner, std::string service = "PROGMAN");
  ~TProgramManager() override;

  // Opens the link unless it is open; raises EAIPMCannotOpen.
  void Connect();
  bool Connected() const { return connected_; }
  // Reads the group's lines and makes it the current group; a group the server does not
  // return leaves no current group (not an error).
  void SelectGroup(const std::string& name);
  const std::string& CurrentGroup() const { return currentGroup_; }
  const TStringList& GroupLines() const { return *lines_; }
  // Lines come from outside: each is split at every comma, without quote handling.
  void SetGroupText(const std::string& text);

  int ItemCount() const;
  // Field (1-based) of item line index (1-based); empty for an index outside the lines or
  // a line with fewer fields.
  std::string ItemField(int index, int field) const;
  std::string ItemName(int index) const;
  std::string ItemCommandLine(int index) const;
  std::string ItemDefaultDir(int index) const { return ItemField(index, 3); }
  std::string ItemIconPath(int index) const { return ItemField(index, 4); }
  std::string ItemXPos(int index) const { return ItemField(index, 5); }
  std::string ItemYPos(int index) const { return ItemField(index, 6); }
  std::string ItemIconIndex(int index) const { return ItemField(index, 7); }
  std::string ItemHotKey(int index) const { return ItemField(index, 8); }
  // 1-based index of the first item named exactly so; -1 when none.
  int FindItem(const std::string& name) const;

  void CreateGroup(const std::string& name);
  void AddItem(const std::string& commandLine, const std::string& itemName, const std::string& hotKey,
               const std::string& defaultDir, int iconIndex, const std::string& iconPath);
  void ReplaceItem(const std::string& name);

 private:
  void showCurrentGroup();

  std::string service_;
  bool connected_ = false;
  std::unique_ptr<platform::DdeConversation> conversation_;
  std::string currentGroup_;
  std::unique_ptr<TStringList> lines_;
};

// The process-wide client, made on first use.
TProgramManager& ProgramManager();

}  // namespace kestrune
