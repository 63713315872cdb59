// TPicture: a stored graphic (class name plus the graphic's own data, a BMP for TBitmap).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/persistent.h"

namespace kestrune {

class TPicture : public TPersistent {
  KESTRUNE_CLASS()
 public:
  bool Empty() const { return graphicClass_.empty(); }
  const std::string& GraphicClass() const { return graphicClass_; }
  // For "TBitmap": the BMP file bytes (starting "BM").
  const std::vector<uint8_t>& GraphicData() const;
  void SetGraphic(std::string graphicClass, std::vector<uint8_t> data);
  void Clear();
  int Width() const;
  int Height() const;

  // The stored form: short string class name, then for a bitmap a 4-byte byte count and
  // the BMP file. Raises EReadError "Invalid picture data" for bytes that do not fit.
  void LoadFromStoredData(const std::vector<uint8_t>& bytes);
  std::vector<uint8_t> StoredData() const;

  void Assign(const TPersistent& source) override;
  void DefineProperties(Filer& filer) override;

 private:
  std::string graphicClass_;
  // Shared by the pictures assigned from one another (every page of the wizard shows the
  // engine's theme picture: one copy of its bytes, not one per page). Never changed in
  // place: a new graphic gets a new block.
  std::shared_ptr<const std::vector<uint8_t>> data_;
};

}  // namespace kestrune
