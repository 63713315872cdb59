// Binary component stream writer.
#include "runtime/writer.h"

#include "runtime/encoding.h"
#include "runtime/exceptions.h"

namespace kestrune {

using namespace stream;

void Writer::WriteShortString(const std::string& bytes) {
  if (bytes.size() > 255) throw EWriteError("Name too long for the stream: %s", {bytes.substr(0, 40)});
  out_.push_back(static_cast<uint8_t>(bytes.size()));
  out_.insert(out_.end(), bytes.begin(), bytes.end());
}

void Writer::WriteInt32(int32_t v) {
  for (int i = 0; i < 4; ++i) out_.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}

void Writer::WriteInteger(int64_t v) {
  if (v >= -128 && v <= 127) {
    out_.push_back(vaInt8);
    out_.push_back(static_cast<uint8_t>(v));
  } else if (v >= -32768 && v <= 32767) {
    out_.push_back(vaInt16);
    out_.push_back(static_cast<uint8_t>(v));
    out_.push_back(static_cast<uint8_t>(v >> 8));
  } else {
    out_.push_back(vaInt32);
    WriteInt32(static_cast<int32_t>(v));
  }
}

void Writer::WriteBoolean(bool v) { out_.push_back(v ? vaTrue : vaFalse); }

void Writer::WriteString(const std::string& utf8) { WriteRawString(Utf8ToCp1250(utf8)); }

void Writer::WriteRawString(const std::string& bytes) {
  if (bytes.size() <= 255) {
    out_.push_back(vaString);
    WriteShortString(bytes);
  } else {
    out_.push_back(vaLString);
    WriteInt32(static_cast<int32_t>(bytes.size()));
    out_.insert(out_.end(), bytes.begin(), bytes.end());
  }
}

void Writer::WriteIdent(const std::string& ident) {
  if (SameText(ident, "False")) out_.push_back(vaFalse);
  else if (SameText(ident, "True")) out_.push_back(vaTrue);
  else if (SameText(ident, "nil")) out_.push_back(vaNil);
  else {
    out_.push_back(vaIdent);
    WriteShortString(ident);
  }
}

void Writer::WriteBinary(const std::vector<uint8_t>& bytes) {
  out_.push_back(vaBinary);
  WriteInt32(static_cast<int32_t>(bytes.size()));
  out_.insert(out_.end(), bytes.begin(), bytes.end());
}

void Writer::WriteListBegin() { out_.push_back(vaList); }
void Writer::WriteListEnd() { out_.push_back(vaNull); }

void Writer::WriteRootComponent(const TComponent* root) {
  out_.insert(out_.end(), kSignature, kSignature + 4);
  writeComponent(root, root);
}

void Writer::writeComponent(const TComponent* c, const TComponent* root) {
  WriteShortString(c->ClassName());
  WriteShortString(c->Name());
  writeProperties(c, "");
  out_.push_back(vaNull);
  c->GetChildren([&](TComponent* child) { writeComponent(child, root); }, const_cast<TComponent*>(root));
  out_.push_back(vaNull);
}

void Writer::writeProperties(const TPersistent* obj, const std::string& prefix) {
  for (const PropInfo* p : obj->GetClassInfo().AllProps()) writeProperty(obj, *p, prefix);
  std::string saved = prefix_;
  prefix_ = prefix;
  const_cast<TPersistent*>(obj)->DefineProperties(*this);
  prefix_ = saved;
}

void Writer::writeProperty(const TPersistent* obj, const PropInfo& p, const std::string& prefix) {
  if (p.kind == PropKind::Event) return;
  if (p.stored && !p.stored(*obj)) return;
  std::string path = prefix;
  path += p.name;
  switch (p.kind) {
    case PropKind::Integer: case PropKind::Boolean: case PropKind::Enum: case PropKind::Set: {
      if (!p.setOrd) return;
      int64_t v = p.getOrd(*obj);
      if (!p.alwaysStored && p.ordDefault && *p.ordDefault == v) return;
      WriteShortString(path);
      if (p.kind == PropKind::Integer) {
        auto ident = p.idents ? p.idents->ToIdent(static_cast<int32_t>(v)) : std::nullopt;
        if (ident) WriteIdent(*ident);
        else WriteInteger(v);
      } else if (p.kind == PropKind::Boolean) {
        WriteBoolean(v != 0);
      } else if (p.kind == PropKind::Enum) {
        if (v < 0 || v >= static_cast<int64_t>(p.enumType->values.size()))
          throw EWriteError("Value %d of %s is not a %s", {static_cast<long long>(v), path, p.enumType->name});
        WriteIdent(std::string(p.enumType->values[v]));
      } else {
        out_.push_back(vaSet);
        for (size_t i = 0; i < p.enumType->values.size() && i < 32; ++i)
          if (v & (int64_t{1} << i)) WriteShortString(std::string(p.enumType->values[i]));
        WriteShortString("");
      }
      break;
    }
    case PropKind::String: {
      if (!p.setStr) return;
      std::string v = p.getStr(*obj);
      if (!p.alwaysStored && v == p.strDefault) return;
      WriteShortString(path);
      WriteString(v);
      break;
    }
    case PropKind::Component: {
      TComponent* target = p.getRef(*obj);
      if (!p.setRef || (!target && !p.alwaysStored)) return;
      WriteShortString(path);
      // An always-stored reference that is cleared is written as nil, so that reading it
      // clears a reference the constructor made.
      if (target) WriteIdent(target->Name());
      else out_.push_back(vaNil);
      break;
    }
    case PropKind::Object: case PropKind::Strings: case PropKind::Picture: {
      TPersistent* sub = p.getObj(*obj);
      if (sub) writeProperties(sub, path + ".");
      break;
    }
    case PropKind::Event: break;
  }
}

void Writer::DefineProperty(const std::string& name, const std::function<void(Reader&)>&,
                            const std::function<void(Writer&)>& write, bool hasData) {
  if (!hasData || !write) return;
  WriteShortString(prefix_ + name);
  write(*this);
}

void Writer::DefineBinaryProperty(const std::string& name, const std::function<void(const std::vector<uint8_t>&)>&,
                                  const std::function<std::vector<uint8_t>()>& write, bool hasData) {
  if (!hasData || !write) return;
  WriteShortString(prefix_ + name);
  WriteBinary(write());
}

std::vector<uint8_t> WriteComponentStream(const TComponent* root) {
  Writer w;
  w.WriteRootComponent(root);
  return w.Bytes();
}

}  // namespace kestrune
