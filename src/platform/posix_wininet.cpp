// The native build has no Windows internet library: loading it finds nothing.
#include "platform/wininet.h"

namespace kestrune::platform {

InternetLibrary loadInternetLibrary() { return {}; }

}  // namespace kestrune::platform
