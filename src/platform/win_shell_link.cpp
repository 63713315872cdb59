// The shell's link object (CLSID_ShellLink) behind .lnk files. The W interfaces carry the texts, so names outside the ANSI code page stay
// whole.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/shell_link.h"
#include "platform/text.h"
#include "platform/win_system_library.h"

namespace kestrune::platform {

namespace {

// Releases a COM interface pointer when it goes.
template <class I>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  I* operator->() const { return p_; }
  I* get() const { return p_; }
  void** out() { return reinterpret_cast<void**>(&p_); }

 private:
  I* p_ = nullptr;
};

void check(const char* call, HRESULT hr) {
  if (FAILED(hr)) throw ComError(call, static_cast<unsigned long>(hr));
}

// MAX_PATH characters at most, as the persist-file interface expects of a file name.
std::wstring linkFileName(const std::string& linkFile) {
  std::wstring name = Widen(linkFile);
  if (name.size() >= MAX_PATH) throw ComError("IPersistFile::Save", static_cast<unsigned long>(E_INVALIDARG));
  return name;
}

void createLink(ComPtr<IShellLinkW>& link) {
  HRESULT hr = KESTRUNE_SYSTEM_CALL("ole32.dll", CoCreateInstance)(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.out());
  if (FAILED(hr)) throw ComCreateError("CoCreateInstance", static_cast<unsigned long>(hr));
}

}  // namespace

long initializeCom() { return KESTRUNE_SYSTEM_CALL("ole32.dll", CoInitialize)(nullptr); }

void saveShellLink(const ShellLinkData& data, const std::string& linkFile) {
  ComPtr<IShellLinkW> link;
  createLink(link);
  check("IShellLink::SetPath", link->SetPath(Widen(data.path).c_str()));
  check("IShellLink::SetHotkey", link->SetHotkey(data.hotKey));
  check("IShellLink::SetArguments", link->SetArguments(Widen(data.arguments).c_str()));
  check("IShellLink::SetWorkingDirectory", link->SetWorkingDirectory(Widen(data.workingDirectory).c_str()));
  ComPtr<IPersistFile> file;
  check("QueryInterface(IPersistFile)", link->QueryInterface(IID_IPersistFile, file.out()));
  check("IPersistFile::Save", file->Save(linkFileName(linkFile).c_str(), TRUE));
}

ShellLinkData loadShellLink(const std::string& linkFile) {
  ComPtr<IShellLinkW> link;
  createLink(link);
  ComPtr<IPersistFile> file;
  check("QueryInterface(IPersistFile)", link->QueryInterface(IID_IPersistFile, file.out()));
  check("IPersistFile::Load", file->Load(Widen(linkFile).c_str(), STGM_READ));
  ShellLinkData data;
  wchar_t buffer[1024];
  check("IShellLink::GetPath", link->GetPath(buffer, 1024, nullptr, SLGP_RAWPATH));
  data.path = Narrow(buffer);
  check("IShellLink::GetArguments", link->GetArguments(buffer, 1024));
  data.arguments = Narrow(buffer);
  check("IShellLink::GetWorkingDirectory", link->GetWorkingDirectory(buffer, 1024));
  data.workingDirectory = Narrow(buffer);
  WORD hotKey = 0;
  check("IShellLink::GetHotkey", link->GetHotkey(&hotKey));
  data.hotKey = hotKey;
  return data;
}

std::string systemMessage(long code) {
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string result;
  if (n && text) result = Narrow(std::wstring_view(text, n));
  if (text) LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' ')) result.pop_back();
  return result;
}

}  // namespace kestrune::platform
