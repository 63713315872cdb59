// Reads a binary component stream into a root component: creates the components it names,
// sets their properties through their setters, resolves references by name after the
// last object and calls Loaded in read order.
#pragma once
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "runtime/component.h"
#include "runtime/stream_format.h"

namespace kestrune {

class Reader : public Filer {
 public:
  Reader(const uint8_t* data, size_t size, const ClassRegistry& registry = ClassRegistry::Global());
  explicit Reader(const std::vector<uint8_t>& bytes, const ClassRegistry& registry = ClassRegistry::Global())
      : Reader(bytes.data(), bytes.size(), registry) {}

  // Reads the whole stream into root (already constructed). Errors: EReadError
  // "Invalid stream format" (signature, structure, truncation), EClassNotFound
  // "Class %s not found", and property errors naming object and property (an unknown
  // enumeration value with the valid ones). Errors of an object or property carry its
  // offset in the stream (Exception::StreamOffset).
  void ReadRootComponent(TComponent* root);

  // Value-level reading, used by classes that store values under their own names.
  stream::ValueTag NextValue();
  stream::ValueTag ReadValue();
  int32_t ReadInteger();
  bool ReadBoolean();
  std::string ReadString();  // UTF-8
  std::string ReadIdent();
  std::vector<uint8_t> ReadBinary();
  void ReadListBegin();
  bool EndOfList();
  void ReadListEnd();
  void SkipValue();
  size_t Position() const { return pos_; }

  void DefineProperty(const std::string& name, const std::function<void(Reader&)>& read,
                      const std::function<void(Writer&)>& write, bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const std::function<void(const std::vector<uint8_t>&)>& read,
                            const std::function<std::vector<uint8_t>()>& write, bool hasData) override;

 private:
  // A reference to resolve once every component is read: 20 bytes on Win32, as a script
  // of thousands of files has several per file (the name is read again from the stream).
  struct Fixup {
    TPersistent* instance;
    const PropInfo* prop;
    const TComponent* where;  // the component whose property it is (its name for messages)
    uint32_t nameAt;          // offset of the referenced name's value in the stream
    uint32_t at;              // offset of the property in the stream
  };

  [[noreturn]] void fail(const std::string& what) const;
  [[noreturn]] void propertyError(const std::string& what) const;
  uint8_t readByte();
  const uint8_t* take(size_t n);
  int32_t readInt32();
  std::string readShortString();  // raw bytes
  void readObject(TComponent* root, TComponent* parent, bool isRoot, int depth);
  void readProperty(TPersistent* instance);
  void readPropValue(TPersistent* instance, const PropInfo& prop);
  void skipValue(int depth);

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  const ClassRegistry& registry_;
  std::deque<Fixup> fixups_;  // no copy of the whole list as it grows
  const TComponent* current_ = nullptr;  // the component whose properties are being read
  std::vector<TComponent*> loaded_;
  // Context for messages and for defined properties.
  std::string objectName_;
  std::string propName_;
  std::string definedName_;
  bool defined_ = false;
  size_t propertyAt_ = 0;  // offset of the property being read, for errors
};

// Reads a stream into root (see Reader::ReadRootComponent).
void ReadComponentStream(std::span<const uint8_t> bytes, TComponent* root,
                         const ClassRegistry& registry = ClassRegistry::Global());

}  // namespace kestrune
