// File progress report (EventIDs 1008-1010, 1015, 1016 and component call -998).
#pragma once
#include <cstdint>
#include <string>

#include "archive/cmp_TFileHeaders.h"
#include "objects/parameters.h"

namespace kestrune {

class TFileStatusParameter : public TPersistent {
  KESTRUNE_CLASS()
 public:
  int32_t BytesDone = 0;
  int32_t FilePercentDone = 0;
  std::string FileName;
  TlzhFileStats Status{};  // copy of the archive engine's status record
  int32_t TotalBytesDone = 0;
  int32_t TotalPercentDone = 0;
};

}  // namespace kestrune
