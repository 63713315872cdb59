// The install objects' view of the shared archive engine.
#include "objects/shared_archive_engine.h"

#include "archive/cmp_TKstrCompress.h"

namespace kestrune {

bool SharedArchiveEngineAborted() { return SharedArchiveEngine().Abort(); }

}  // namespace kestrune
