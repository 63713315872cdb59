// TInstallFile: the install file class that scripts name, with its published properties.
#pragma once
#include "objects/cmp_TCustomInstallFile.h"

namespace kestrune {

class TInstallFile : public TCustomInstallFile {
  KESTRUNE_CLASS()
 public:
  using TCustomInstallFile::TCustomInstallFile;
};

}  // namespace kestrune
