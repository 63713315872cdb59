// Message translation used by the kit's exceptions.
#include "runtime/exceptions.h"

#include "runtime/seams.h"

namespace kestrune {

std::string TranslateMessage(std::string_view english) { return CallTranslateMessageHook(english); }

}  // namespace kestrune
