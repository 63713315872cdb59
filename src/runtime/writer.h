// Writes a root component and its children as a binary component stream: properties at
// their declared default are left out, the smallest integer tag is chosen.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/component.h"
#include "runtime/stream_format.h"

namespace kestrune {

class Writer : public Filer {
 public:
  void WriteRootComponent(const TComponent* root);
  const std::vector<uint8_t>& Bytes() const { return out_; }

  // Value-level writing (also used by classes that store values under their own names).
  void WriteInteger(int64_t value);
  void WriteBoolean(bool value);
  void WriteString(const std::string& utf8);  // raises EConvertError for text Windows-1250 cannot hold
  void WriteRawString(const std::string& bytes);
  void WriteIdent(const std::string& ident);
  void WriteBinary(const std::vector<uint8_t>& bytes);
  void WriteListBegin();
  void WriteListEnd();
  void WriteShortString(const std::string& bytes);  // no tag
  void WriteByte(uint8_t b) { out_.push_back(b); }
  void WriteInt32(int32_t v);

  void DefineProperty(const std::string& name, const std::function<void(Reader&)>& read,
                      const std::function<void(Writer&)>& write, bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const std::function<void(const std::vector<uint8_t>&)>& read,
                            const std::function<std::vector<uint8_t>()>& write, bool hasData) override;

 private:
  void writeComponent(const TComponent* c, const TComponent* root);
  void writeProperties(const TPersistent* obj, const std::string& prefix);
  void writeProperty(const TPersistent* obj, const PropInfo& p, const std::string& prefix);

  std::vector<uint8_t> out_;
  std::string prefix_;
};

std::vector<uint8_t> WriteComponentStream(const TComponent* root);

}  // namespace kestrune
