// The compiled layouts (binary component streams) of the kit's forms, made at build time
// from their text forms in src/resources.
#pragma once
#include <cstdint>
#include <vector>

namespace kestrune::dialogs::layouts {

const std::vector<uint8_t>& TBaseFormContainer();
const std::vector<uint8_t>& TWelcomeForm();
const std::vector<uint8_t>& TLicenseForm();
const std::vector<uint8_t>& TCopyFileForm();
const std::vector<uint8_t>& TFileGroupSelectForm();
const std::vector<uint8_t>& TGoodInstallForm();
const std::vector<uint8_t>& TBadInstallForm();
const std::vector<uint8_t>& TInstallStatusForm();

}  // namespace kestrune::dialogs::layouts
