// The exception classes of the kit with their parent chain. Every error carries a
// complete user-readable message; ClassName() names the class for tests and reports.
#pragma once
#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "runtime/format.h"

namespace kestrune {

// Root of every error: carries the message.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  Exception(std::string_view fmt, std::initializer_list<FmtArg> args) : message_(Format(fmt, args)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  virtual const char* ClassName() const noexcept { return "Exception"; }
  // Where in a component stream the error arose (the start of the object or property being
  // read), so that a tool can name the line of the text form; -1 when not known.
  int64_t StreamOffset() const noexcept { return streamOffset_; }
  void SetStreamOffset(int64_t offset) noexcept { streamOffset_ = offset; }

 private:
  std::string message_;
  int64_t streamOffset_ = -1;
};

// Translates an English message of the kit; the identity until a translator is installed
// (SetTranslateMessageHook, runtime/seams.h).
std::string TranslateMessage(std::string_view english);

#define KESTRUNE_EXCEPTION(Name, Parent)                                   \
  class Name : public Parent {                                             \
   public:                                                                 \
    using Parent::Parent;                                                  \
    const char* ClassName() const noexcept override { return #Name; }      \
  }

// Silent abort: skips one install object's step without ending the run.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "EAbort"; }
};

// Runtime library errors (streams, lists, components, conversions).
KESTRUNE_EXCEPTION(EStreamError, Exception);
KESTRUNE_EXCEPTION(EReadError, EStreamError);
KESTRUNE_EXCEPTION(EWriteError, EStreamError);
KESTRUNE_EXCEPTION(EFilerError, EStreamError);
KESTRUNE_EXCEPTION(EClassNotFound, EFilerError);
KESTRUNE_EXCEPTION(EFOpenError, EStreamError);
KESTRUNE_EXCEPTION(EFCreateError, EStreamError);
KESTRUNE_EXCEPTION(EParserError, Exception);
KESTRUNE_EXCEPTION(EComponentError, Exception);
KESTRUNE_EXCEPTION(EStringListError, Exception);
KESTRUNE_EXCEPTION(EConvertError, Exception);
KESTRUNE_EXCEPTION(EInvalidOperation, Exception);
KESTRUNE_EXCEPTION(EOSError, Exception);

// The kit's own error tree.
KESTRUNE_EXCEPTION(ECustomKestruneAbnormal, Exception);
KESTRUNE_EXCEPTION(EKestruneAbnormal, ECustomKestruneAbnormal);
KESTRUNE_EXCEPTION(EKstrCompress, EKestruneAbnormal);
class EkcDiskFull : public EKstrCompress {
 public:
  EkcDiskFull() : EKstrCompress("The disk is full") {}
  using EKstrCompress::EKstrCompress;
  const char* ClassName() const noexcept override { return "EkcDiskFull"; }
};
class EkcAborted : public EKstrCompress {
 public:
  EkcAborted() : EKstrCompress("Operation aborted by user") {}
  using EKstrCompress::EKstrCompress;
  const char* ClassName() const noexcept override { return "EkcAborted"; }
};
KESTRUNE_EXCEPTION(EAPIRoutines, EKestruneAbnormal);

// Base of every install-component error: the English text (or format) is translated
// first and then formatted with its arguments.
class IException : public ECustomKestruneAbnormal {
 public:
  explicit IException(std::string_view message) : ECustomKestruneAbnormal(TranslateMessage(message)) {}
  IException(std::string_view fmt, std::initializer_list<FmtArg> args)
      : ECustomKestruneAbnormal(Format(TranslateMessage(fmt), args)) {}
  const char* ClassName() const noexcept override { return "IException"; }
};
KESTRUNE_EXCEPTION(IEInstall, IException);
KESTRUNE_EXCEPTION(IEInstallNetLocNil, IEInstall);
KESTRUNE_EXCEPTION(IEInstallContainer, IException);
KESTRUNE_EXCEPTION(IEFileRelated, IException);
KESTRUNE_EXCEPTION(IEFileRel_NoNetLocation, IEFileRelated);
KESTRUNE_EXCEPTION(IEFileContainer, IException);
KESTRUNE_EXCEPTION(IEfcDuplicateFile, IEFileContainer);
KESTRUNE_EXCEPTION(IENoKestrunePath, IException);
KESTRUNE_EXCEPTION(IECustomInstallFile, IException);
KESTRUNE_EXCEPTION(IECustomInstallFileList, IException);
KESTRUNE_EXCEPTION(IEContainerList, IException);
KESTRUNE_EXCEPTION(IEPathSpecifier, IException);
KESTRUNE_EXCEPTION(IEPathSpecifierList, IException);
KESTRUNE_EXCEPTION(IEInstallBDE, IException);
KESTRUNE_EXCEPTION(IEUninstallEXE, IException);
KESTRUNE_EXCEPTION(IEInstallShellLink, IException);
KESTRUNE_EXCEPTION(IEShellLinkGroup, IException);
KESTRUNE_EXCEPTION(IEInstallShellLinkList, IException);

// The abort family of the installation run.
KESTRUNE_EXCEPTION(EAI, Exception);
class EAIUserAbort : public EAI {
 public:
  EAIUserAbort() : EAI(TranslateMessage("Installation aborted by the user")) {}
  using EAI::EAI;
  const char* ClassName() const noexcept override { return "EAIUserAbort"; }
};
KESTRUNE_EXCEPTION(EAICannotExpandContainerDirMV, EAI);
KESTRUNE_EXCEPTION(EAICannotExpandInstallDirMV, EAI);

// Network location errors and registry write errors.
KESTRUNE_EXCEPTION(ENIL, Exception);
KESTRUNE_EXCEPTION(EIRCannotWriteValue, Exception);

}  // namespace kestrune
