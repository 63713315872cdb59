// Binary component stream reader.
#include "runtime/reader.h"

#include <cstring>

#include "runtime/encoding.h"
#include "runtime/exceptions.h"
#include "runtime/writer.h"

namespace kestrune {

using namespace stream;

Reader::Reader(const uint8_t* data, size_t size, const ClassRegistry& registry)
    : data_(data), size_(size), registry_(registry) {}

void Reader::fail(const std::string& what) const {
  throw EReadError("Invalid stream format: %s at offset %d", {what, static_cast<long long>(pos_)});
}

namespace {

// "Invalid property value" with the value met and the ones the enumeration has.
std::string invalidValueName(const std::string& value, const EnumType& type) {
  std::string valid;
  for (std::string_view v : type.values) (valid += valid.empty() ? "" : ", ") += v;
  return Format("Invalid property value %s (%s is one of: %s)", {PrintableText(value), type.name, valid});
}

}  // namespace

void Reader::propertyError(const std::string& what) const {
  throw EReadError("Error reading %s.%s: %s", {objectName_, propName_, what});
}

const uint8_t* Reader::take(size_t n) {
  if (n > size_ - pos_) fail("unexpected end of stream");
  const uint8_t* p = data_ + pos_;
  pos_ += n;
  return p;
}

uint8_t Reader::readByte() { return *take(1); }

int32_t Reader::readInt32() {
  const uint8_t* p = take(4);
  return static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

std::string Reader::readShortString() {
  size_t n = readByte();
  const uint8_t* p = take(n);
  return std::string(reinterpret_cast<const char*>(p), n);
}

ValueTag Reader::NextValue() {
  if (pos_ >= size_) fail("unexpected end of stream");
  return static_cast<ValueTag>(data_[pos_]);
}

ValueTag Reader::ReadValue() { return static_cast<ValueTag>(readByte()); }

int32_t Reader::ReadInteger() {
  switch (ReadValue()) {
    case vaInt8: return static_cast<int8_t>(readByte());
    case vaInt16: {
      const uint8_t* p = take(2);
      return static_cast<int16_t>(p[0] | (p[1] << 8));
    }
    case vaInt32: return readInt32();
    default: propertyError("Invalid property value");
  }
}

bool Reader::ReadBoolean() {
  ValueTag t = ReadValue();
  if (t == vaTrue) return true;
  if (t == vaFalse) return false;
  if (t == vaIdent) {
    std::string id = readShortString();
    if (SameText(id, "True")) return true;
    if (SameText(id, "False")) return false;
  }
  propertyError("Invalid property value");
}

std::string Reader::ReadString() {
  ValueTag t = ReadValue();
  if (t == vaString) return Cp1250ToUtf8(readShortString());
  if (t == vaLString) {
    int32_t n = readInt32();
    if (n < 0) fail("negative string length");
    const uint8_t* p = take(static_cast<size_t>(n));
    return Cp1250ToUtf8(std::string_view(reinterpret_cast<const char*>(p), static_cast<size_t>(n)));
  }
  propertyError("Invalid property value");
}

std::string Reader::ReadIdent() {
  ValueTag t = ReadValue();
  switch (t) {
    case vaIdent: return readShortString();
    case vaFalse: return "False";
    case vaTrue: return "True";
    case vaNil: return "nil";
    default: propertyError("Invalid property value");
  }
}

std::vector<uint8_t> Reader::ReadBinary() {
  if (ReadValue() != vaBinary) propertyError("Invalid property value");
  int32_t n = readInt32();
  if (n < 0) fail("negative binary length");
  const uint8_t* p = take(static_cast<size_t>(n));
  return std::vector<uint8_t>(p, p + n);
}

void Reader::ReadListBegin() {
  if (ReadValue() != vaList) propertyError("Invalid property value");
}

bool Reader::EndOfList() { return NextValue() == vaNull; }

void Reader::ReadListEnd() {
  if (ReadValue() != vaNull) fail("list not ended");
}

void Reader::SkipValue() { skipValue(0); }

void Reader::skipValue(int depth) {
  if (depth > kMaxDepth) fail("values nested too deeply");
  switch (ReadValue()) {
    case vaNull: case vaFalse: case vaTrue: case vaNil: break;
    case vaList:
      while (NextValue() != vaNull) skipValue(depth + 1);
      ReadValue();
      break;
    case vaInt8: take(1); break;
    case vaInt16: take(2); break;
    case vaInt32: take(4); break;
    case vaExtended: take(10); break;
    case vaString: case vaIdent: readShortString(); break;
    case vaBinary: case vaLString: {
      int32_t n = readInt32();
      if (n < 0) fail("negative length");
      take(static_cast<size_t>(n));
      break;
    }
    case vaSet:
      while (!readShortString().empty()) {
      }
      break;
    default: fail("unknown value tag");
  }
}

void Reader::ReadRootComponent(TComponent* root) {
  if (size_ < 4 || std::memcmp(data_, kSignature, 4) != 0) throw EReadError("Invalid stream format");
  // Offsets are kept in 32 bits (see Fixup).
  if (size_ > UINT32_MAX) throw EReadError("Stream too large");
  pos_ = 4;
  fixups_.clear();
  loaded_.clear();
  try {
    readObject(root, nullptr, true, 0);
    // Resolve references in the order they were met.
    for (const Fixup& f : fixups_) {
      objectName_ = f.where->Name().empty() ? std::string(f.where->ClassName()) : f.where->Name();
      propName_ = f.prop->name;
      pos_ = f.nameAt;
      const std::string name = ReadIdent();
      TComponent* target = root->FindComponent(name);
      if (!target && SameText(root->Name(), name)) target = root;
      try {
        if (!target) propertyError(Format("no component named %s", {name}));
        if (f.prop->RefClass() && !target->InheritsFrom(*f.prop->RefClass()))
          propertyError(Format("Invalid property value (%s is a %s, not a %s)",
                               {name, target->ClassName(), f.prop->RefClass()->name}));
        f.prop->setRef(*f.instance, target);
      } catch (Exception& e) {
        if (e.StreamOffset() < 0) e.SetStreamOffset(static_cast<int64_t>(f.at));
        throw;
      }
    }
  } catch (...) {
    for (TComponent* c : loaded_) c->SetLoading(false);
    throw;
  }
  std::vector<TComponent*> loaded = std::move(loaded_);
  for (TComponent* c : loaded) c->Loaded();
}

void Reader::readObject(TComponent* root, TComponent* parent, bool isRoot, int depth) {
  if (depth > kMaxDepth) fail("objects nested too deeply");
  const size_t objectAt = pos_;
  uint8_t first = NextValue();
  if ((first & kFilerFlagsMask) == kFilerFlagsMask) {
    uint8_t flags = readByte() & 0x0F;
    if (flags & ffChildPos) ReadInteger();
  }
  std::string className = readShortString();
  std::string name = readShortString();
  TComponent* instance = root;
  if (!isRoot) {
    const ClassInfo* info = registry_.Find(className);
    if (!info || !info->factory) {
      EClassNotFound error("Class %s not found", {className});
      error.SetStreamOffset(static_cast<int64_t>(objectAt));
      throw error;
    }
    instance = info->factory(root);
    instance->SetLoading(true);
    loaded_.push_back(instance);
    objectName_ = name;
    propName_ = "Name";
    try {
      instance->SetName(name);
    } catch (const EComponentError& e) {
      propertyAt_ = objectAt;
      propertyError(e.Message());
    }
    root->SetNamedField(name, instance);
    if (parent && parent != root && instance->HasParent()) instance->SetParentComponent(parent);
    else if (instance->HasParent()) instance->SetParentComponent(root);
  } else {
    if (instance->Name().empty() && !name.empty()) {
      // A second form of the same class under the same owner (a form made at start and
      // one a dialog makes later) takes the stored name with "_1", "_2", ... added.
      std::string unique = name;
      for (int n = 1; instance->Owner() && instance->Owner()->FindComponent(unique); ++n)
        unique = name + "_" + std::to_string(n);
      instance->SetName(unique);
    }
    instance->SetLoading(true);
    loaded_.push_back(instance);
  }
  while (NextValue() != vaNull) {
    objectName_ = instance->Name().empty() ? className : instance->Name();
    current_ = instance;
    try {
      readProperty(instance);
    } catch (Exception& e) {
      // A setter's own error, too, is placed at its property.
      if (e.StreamOffset() < 0) e.SetStreamOffset(static_cast<int64_t>(propertyAt_));
      throw;
    }
  }
  ReadValue();
  while (NextValue() != vaNull) readObject(root, instance, false, depth + 1);
  ReadValue();
}

void Reader::readProperty(TPersistent* instance) {
  size_t at = pos_;
  propertyAt_ = at;
  std::string path = readShortString();
  if (path.empty()) {
    pos_ = at;
    fail("empty property name");
  }
  propName_ = path;
  TPersistent* target = instance;
  size_t start = 0;
  for (;;) {
    size_t dot = path.find('.', start);
    std::string part = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    if (dot == std::string::npos) {
      const PropInfo* p = target->GetClassInfo().FindProp(part);
      if (p && p->kind != PropKind::Event && !p->IsReadOnly()) {
        readPropValue(target, *p);
        return;
      }
      // Values the class stores under names of its own.
      propName_ = path;
      definedName_ = part;
      defined_ = false;
      target->DefineProperties(*this);
      if (!defined_) propertyError("Property does not exist");
      return;
    }
    const PropInfo* p = target->GetClassInfo().FindProp(part);
    if (!p || !p->getObj) propertyError("Invalid property path");
    TPersistent* sub = p->getObj(*target);
    if (!sub) propertyError("Invalid property path");
    target = sub;
    start = dot + 1;
  }
}

void Reader::DefineProperty(const std::string& name, const std::function<void(Reader&)>& read,
                            const std::function<void(Writer&)>&, bool) {
  if (defined_ || !SameText(name, definedName_) || !read) return;
  defined_ = true;
  read(*this);
}

void Reader::DefineBinaryProperty(const std::string& name, const std::function<void(const std::vector<uint8_t>&)>& read,
                                  const std::function<std::vector<uint8_t>()>&, bool) {
  if (defined_ || !SameText(name, definedName_) || !read) return;
  defined_ = true;
  std::vector<uint8_t> bytes = ReadBinary();
  try {
    read(bytes);
  } catch (const EReadError& e) {
    propertyError(e.Message());
  }
}

void Reader::readPropValue(TPersistent* instance, const PropInfo& p) {
  switch (p.kind) {
    case PropKind::Integer: {
      if (NextValue() == vaIdent) {
        std::string id = ReadIdent();
        std::optional<int32_t> v = p.idents ? p.idents->ToInt(id) : std::nullopt;
        if (!v) propertyError("Invalid property value");
        p.setOrd(*instance, *v);
      } else {
        p.setOrd(*instance, ReadInteger());
      }
      break;
    }
    case PropKind::Boolean: p.setOrd(*instance, ReadBoolean() ? 1 : 0); break;
    case PropKind::Enum: {
      if (NextValue() != vaIdent && NextValue() != vaTrue && NextValue() != vaFalse) propertyError("Invalid property value");
      const std::string value = ReadIdent();
      int index = p.enumType->IndexOf(value);
      if (index < 0) propertyError(invalidValueName(value, *p.enumType));
      p.setOrd(*instance, index);
      break;
    }
    case PropKind::Set: {
      if (ReadValue() != vaSet) propertyError("Invalid property value");
      uint32_t bits = 0;
      for (;;) {
        std::string element = readShortString();
        if (element.empty()) break;
        int index = p.enumType->IndexOf(element);
        if (index < 0 || index >= 32) propertyError(invalidValueName(element, *p.enumType));
        bits |= 1u << index;
      }
      p.setOrd(*instance, bits);
      break;
    }
    case PropKind::String: {
      ValueTag t = NextValue();
      if (t != vaString && t != vaLString) propertyError("Invalid property value");
      p.setStr(*instance, ReadString());
      break;
    }
    case PropKind::Component: {
      ValueTag t = NextValue();
      if (t == vaNil) {
        ReadValue();
        p.setRef(*instance, nullptr);
        break;
      }
      if (t != vaIdent) propertyError("Invalid property value");
      fixups_.push_back({instance, &p, current_, static_cast<uint32_t>(pos_), static_cast<uint32_t>(propertyAt_)});
      ReadIdent();
      break;
    }
    default: propertyError("Invalid property value");
  }
}

void ReadComponentStream(std::span<const uint8_t> bytes, TComponent* root, const ClassRegistry& registry) {
  Reader reader(bytes.data(), bytes.size(), registry);
  reader.ReadRootComponent(root);
}

}  // namespace kestrune
