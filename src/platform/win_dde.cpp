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
  // The requests' own client instance (see request).
  DWORD requestInstance = 0;
  std::string service, topic;
};

DdeConversation::DdeConversation() : impl_(std::make_unique<Impl>()) {}

DdeConversation::~DdeConversation() {
  close();
  if (impl_->instance) DdeUninitialize(impl_->instance);
  if (impl_->requestInstance) DdeUninitialize(impl_->requestInstance);
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
  impl_->service = service;
  impl_->topic = topic;
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
  // Each request runs in a conversation of its own: Wine's DDEML server follows the data
  // of a request with a stray positive acknowledgement, which the next transaction of the
  // same conversation would take for its own answer. Ending the conversation drops it.
  // Wine allows one conversation per client instance and server, hence a second instance.
  if (!impl_->requestInstance &&
      DdeInitializeW(&impl_->requestInstance, clientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
    impl_->requestInstance = 0;
    return std::nullopt;
  }
  const DWORD instance = impl_->requestInstance;
  StringHandle s(instance, impl_->service), t(instance, impl_->topic), i(instance, item);
  HCONV conversation = DdeConnect(instance, s.get(), t.get(), nullptr);
  if (!conversation) return std::nullopt;
  DWORD result = 0;
  HDDEDATA data = DdeClientTransaction(nullptr, 0, conversation, i.get(), CF_TEXT, XTYP_REQUEST, kTimeoutMs, &result);
  std::string text;
  if (data) {
    DWORD size = 0;
    if (const BYTE* bytes = DdeAccessData(data, &size)) {
      text.assign(reinterpret_cast<const char*>(bytes), size);
      DdeUnaccessData(data);
    }
    DdeFreeDataHandle(data);
  }
  DdeDisconnect(conversation);
  if (!data) return std::nullopt;
  // The text ends at its terminating zero; the block may be longer.
  if (size_t end = text.find('\0'); end != std::string::npos) text.resize(end);
  return FromAnsi(text);
}

}  // namespace kestrune::platform
