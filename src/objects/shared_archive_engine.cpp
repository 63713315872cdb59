// The one archive engine shared by the whole program.
#include "objects/shared_archive_engine.h"

#if __has_include("archive/cmp_TKstrCompress.h")
#include "archive/cmp_TKstrCompress.h"
#define KESTRUNE_HAVE_ARCHIVE_ENGINE 1
#endif

namespace kestrune {

#ifdef KESTRUNE_HAVE_ARCHIVE_ENGINE
namespace {
TKstrCompress* g_engine = nullptr;
}

TKstrCompress& SharedArchiveEngine() {
  if (!g_engine) g_engine = new TKstrCompress(nullptr);
  return *g_engine;
}

bool SharedArchiveEngineAborted() { return g_engine && g_engine->Abort(); }
#else
bool SharedArchiveEngineAborted() { return false; }
#endif

}  // namespace kestrune
