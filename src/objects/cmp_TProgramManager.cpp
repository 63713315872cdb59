// The Program Manager client: macros sent over the "PROGMAN" DDE conversation, and the
// group's item lines read back and split into fields.
#include "objects/cmp_TProgramManager.h"

#include "platform/dde.h"
#include "runtime/format.h"

namespace kestrune {

EAIPMCannotOpenGroup::EAIPMCannotOpenGroup(const std::string& group)
    : EAIPMError(Format(TranslateMessage("The TProgramManager object was unable to open the following program group: %s"),
                        {group})),
      GroupName(group) {}

EAIPMCannotCreateGroup::EAIPMCannotCreateGroup(const std::string& group)
    : EAIPMError(Format(TranslateMessage("The TProgramManager object was unable to create the following program group: %s"),
                        {group})),
      GroupName(group) {}

// The item name is joined into the text before formatting, as the message always had it.
EAIPMCannotAddItem::EAIPMCannotAddItem(const std::string& group, const std::string& item, const std::string& command)
    : EAIPMError(Format(TranslateMessage("The TProgramManager object was unable to add the following program item: " + item +
                                         " to the following group: %s. The arguments passed to " + " Program Manager were: %s"),
                        {group, command})),
      GroupName(group),
      ItemName(item),
      Command(command) {}

EAIPMCannotReplaceItem::EAIPMCannotReplaceItem(const std::string& group, const std::string& item)
    : EAIPMError(Format(TranslateMessage(std::string("The TProgramManager object was unable to replace the following program item: %s") +
                                         " to the following group: %s"),
                        {item, group})),
      GroupName(group),
      ItemName(item) {}

const ClassInfo& TProgramManager::classInfo() {
  static const ClassInfo info{"TProgramManager", &TComponent::classInfo(), nullptr, {}};
  return info;
}

TProgramManager::TProgramManager(TComponent* owner, std::string service)
    : TComponent(owner),
      service_(std::move(service)),
      conversation_(std::make_unique<platform::DdeConversation>()),
      lines_(std::make_unique<TStringList>()) {}

TProgramManager::~TProgramManager() {
  lines_.reset();
  if (connected_) conversation_->close();
}

void TProgramManager::Connect() {
  if (connected_) return;
  connected_ = conversation_->open(service_, service_);
  if (!connected_) throw EAIPMCannotOpen();
}

void TProgramManager::SelectGroup(const std::string& name) {
  Connect();
  // A copy: the callers that reread the current group pass currentGroup_ itself.
  const std::string group = name;
  currentGroup_.clear();
  lines_->Clear();
  if (std::optional<std::string> text = conversation_->request(group); text && !text->empty()) {
    SetGroupText(*text);
    currentGroup_ = group;
  }
}

void TProgramManager::SetGroupText(const std::string& text) { lines_->SetText(text); }

int TProgramManager::ItemCount() const { return lines_->Count() >= 2 ? lines_->Count() - 1 : 0; }

std::string TProgramManager::ItemField(int index, int field) const {
  if (index <= 0 || index > lines_->Count() - 1 || field < 1) return {};
  const std::string& line = lines_->Strings(index);
  size_t start = 0;
  for (int n = 1; n < field; ++n) {
    size_t comma = line.find(',', start);
    if (comma == std::string::npos) return {};
    start = comma + 1;
  }
  size_t end = line.find(',', start);
  return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

namespace {
// One leading quote (only when the value is longer than one character) and one trailing.
std::string unquote(std::string value) {
  if (value.size() > 1 && value.front() == '"') value.erase(0, 1);
  if (!value.empty() && value.back() == '"') value.pop_back();
  return value;
}
}  // namespace

std::string TProgramManager::ItemName(int index) const { return unquote(ItemField(index, 1)); }
std::string TProgramManager::ItemCommandLine(int index) const { return unquote(ItemField(index, 2)); }

int TProgramManager::FindItem(const std::string& name) const {
  for (int i = 1; i <= ItemCount(); ++i)
    if (ItemName(i) == name) return i;
  return -1;
}

void TProgramManager::CreateGroup(const std::string& name) {
  Connect();
  if (name.empty()) return;
  if (!conversation_->execute("[CreateGroup(\"" + name + "\")]")) throw EAIPMCannotCreateGroup(name);
  SelectGroup(name);
}

void TProgramManager::showCurrentGroup() {
  if (!conversation_->execute("[ShowGroup(" + currentGroup_ + "," + "8)]")) throw EAIPMCannotOpenGroup(currentGroup_);
}

void TProgramManager::AddItem(const std::string& commandLine, const std::string& itemName, const std::string& hotKey,
                              const std::string& defaultDir, int iconIndex, const std::string& iconPath) {
  Connect();
  if (currentGroup_.empty()) return;
  showCurrentGroup();
  const std::string command = "[AddItem(" + commandLine + "," + itemName + "," + iconPath + "," + std::to_string(iconIndex) +
                              ",,," + defaultDir + "," + hotKey + ")]";
  if (!conversation_->execute(command)) throw EAIPMCannotAddItem(currentGroup_, itemName, command);
  SelectGroup(currentGroup_);
}

void TProgramManager::ReplaceItem(const std::string& name) {
  Connect();
  if (currentGroup_.empty()) return;
  showCurrentGroup();
  if (!conversation_->execute("[ReplaceItem(\"" + name + "\")]")) throw EAIPMCannotReplaceItem(currentGroup_, name);
  SelectGroup(currentGroup_);
}

TProgramManager& ProgramManager() {
  static TProgramManager manager(nullptr);
  return manager;
}

}  // namespace kestrune
