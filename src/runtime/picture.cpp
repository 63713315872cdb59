// TPicture: stored graphic data.
#include "runtime/picture.h"

#include <cstring>

#include "runtime/exceptions.h"
#include "runtime/published.h"

namespace kestrune {

const ClassInfo& TPicture::classInfo() {
  static const ClassInfo info{"TPicture", &TPersistent::classInfo(), nullptr, {}};
  return info;
}

void TPicture::SetGraphic(std::string graphicClass, std::vector<uint8_t> data) {
  graphicClass_ = std::move(graphicClass);
  data_ = data.empty() ? nullptr : std::make_shared<const std::vector<uint8_t>>(std::move(data));
}

const std::vector<uint8_t>& TPicture::GraphicData() const {
  static const std::vector<uint8_t> none;
  return data_ ? *data_ : none;
}

void TPicture::Clear() {
  graphicClass_.clear();
  data_.reset();
}

static int32_t le32(const std::vector<uint8_t>& d, size_t at) {
  if (at + 4 > d.size()) return 0;
  return static_cast<int32_t>(d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (static_cast<uint32_t>(d[at + 3]) << 24));
}

int TPicture::Width() const {
  const std::vector<uint8_t>& d = GraphicData();
  return d.size() >= 26 && d[0] == 'B' && d[1] == 'M' ? le32(d, 18) : 0;
}

int TPicture::Height() const {
  const std::vector<uint8_t>& d = GraphicData();
  if (d.size() < 26 || d[0] != 'B' || d[1] != 'M') return 0;
  int32_t h = le32(d, 22);
  return h < 0 ? -h : h;
}

void TPicture::LoadFromStoredData(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) {
    Clear();
    return;
  }
  size_t n = bytes[0];
  if (1 + n > bytes.size()) throw EReadError("Invalid picture data");
  std::string cls(bytes.begin() + 1, bytes.begin() + 1 + n);
  std::vector<uint8_t> rest(bytes.begin() + 1 + n, bytes.end());
  if (SameText(cls, "TBitmap")) {
    if (rest.size() < 4) throw EReadError("Invalid picture data");
    uint32_t count = static_cast<uint32_t>(le32(rest, 0));
    if (count != rest.size() - 4) throw EReadError("Invalid picture data");
    rest.erase(rest.begin(), rest.begin() + 4);
    if (!rest.empty() && (rest.size() < 2 || rest[0] != 'B' || rest[1] != 'M')) throw EReadError("Invalid picture data");
  }
  SetGraphic(std::move(cls), std::move(rest));
}

std::vector<uint8_t> TPicture::StoredData() const {
  std::vector<uint8_t> out;
  if (Empty()) return out;
  const std::vector<uint8_t>& data = GraphicData();
  out.reserve(1 + graphicClass_.size() + 4 + data.size());
  out.push_back(static_cast<uint8_t>(graphicClass_.size()));
  out.insert(out.end(), graphicClass_.begin(), graphicClass_.end());
  if (SameText(graphicClass_, "TBitmap")) {
    uint32_t n = static_cast<uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(n >> (8 * i)));
  }
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

void TPicture::Assign(const TPersistent& source) {
  if (const TPicture* other = As<TPicture>(&source)) {
    graphicClass_ = other->graphicClass_;
    data_ = other->data_;
    return;
  }
  TPersistent::Assign(source);
}

void TPicture::DefineProperties(Filer& filer) {
  filer.DefineBinaryProperty(
      "Data", [this](const std::vector<uint8_t>& bytes) { LoadFromStoredData(bytes); },
      [this]() { return StoredData(); }, !Empty());
}

}  // namespace kestrune
