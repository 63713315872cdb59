// DDE client conversations through DDEML. The DDEML callback only answers 0: a client
// needs no notifications, and nothing may unwind through DDEML's frames.
#include <windows.h>
#include <ddeml.h>

#include <string>

#include "platform/dde.h"
#include "platform/text.h"

namespace kestrune::platform {

namespace {

constexpr DWORD kTimeoutMs = 10000;

HDDEDATA CALLBACK clientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) noexcept { return nullptr; }

// A DDEML string handle, freed when it goes.
class StringHandle {
 public:
  StringHandle(DWORD instance, const std::string& text)
      : instance_(instance), hsz_(DdeCreateStringHandleW(instance, Widen(text).c_str(), CP_WINUNICODE)) {}
  ~StringHandle() {
    if (hsz_) DdeFreeStringHandle(instance_, hsz_);
  }
  HSZ get() const { return hsz_; }

 private:
  DWORD instance_;
  HSZ hsz_;
};

}  // namespace

struct DdeConversation::Impl {
  DWORD instance = 0;
  HCONV conversation = nullptr;
};

DdeConversation::DdeConversation() : impl_(std::make_unique<Impl>()) {}

DdeConversation::~DdeConversation() {
  close();
  if (impl_->instance) DdeUninitialize(impl_->instance);
}

bool DdeConversation::open(const std::string& service, const std::string& topic) {
  if (impl_->conversation) return true;
  if (!impl_->instance &&
      DdeInitializeW(&impl_->instance, clientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
    impl_->instance = 0;
    return false;
  }
  StringHandle s(impl_->instance, service), t(impl_->instance, topic);
  impl_->conversation = DdeConnect(impl_->instance, s.get(), t.get(), nullptr);
  return impl_->conversation != nullptr;
}

bool DdeConversation::isOpen() const { return impl_->conversation != nullptr; }

void DdeConversation::close() {
  if (impl_->conversation) DdeDisconnect(impl_->conversation);
  impl_->conversation = nullptr;
}

bool DdeConversation::execute(const std::string& command) {
  if (!impl_->conversation) return false;
  std::wstring text = Widen(command);
  DWORD result = 0;
  HDDEDATA answer = DdeClientTransaction(reinterpret_cast<BYTE*>(text.data()),
                                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)), impl_->conversation,
                                         nullptr, 0, XTYP_EXECUTE, kTimeoutMs, &result);
  if (!answer) return false;
  if (answer != reinterpret_cast<HDDEDATA>(TRUE)) DdeFreeDataHandle(answer);
  // The server's answer is in the acknowledgement flags: Wine's DDEML returns TRUE for a
  // refused command too.
  return (result & DDE_FACK) != 0;
}

std::optional<std::string> DdeConversation::request(const std::string& item) {
  if (!impl_->conversation) return std::nullopt;
  StringHandle i(impl_->instance, item);
  DWORD result = 0;
  HDDEDATA data = DdeClientTransaction(nullptr, 0, impl_->conversation, i.get(), CF_TEXT, XTYP_REQUEST, kTimeoutMs, &result);
  if (!data) return std::nullopt;
  DWORD size = 0;
  const BYTE* bytes = DdeAccessData(data, &size);
  std::string text;
  if (bytes) {
    text.assign(reinterpret_cast<const char*>(bytes), size);
    DdeUnaccessData(data);
  }
  DdeFreeDataHandle(data);
  // The text ends at its terminating zero; the block may be longer.
  if (size_t end = text.find('\0'); end != std::string::npos) text.resize(end);
  return FromAnsi(text);
}

}  // namespace kestrune::platform
