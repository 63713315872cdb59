// The install object tree of a loaded script as tab-separated lines.
#include "script_tree.h"

#include <functional>

#include "engine/MainForm.h"
#include "objects/cmp_TFileContainer.h"
#include "objects/engine_seam.h"
#include "runtime/encoding.h"
#include "runtime/exceptions.h"

namespace kestrune::tools {

namespace {

// A value that cannot be computed shows its error instead.
std::string guarded(const std::function<std::string()>& f) {
  try {
    return f();
  } catch (const std::exception& e) {
    return std::string("error: ") + e.what();
  }
}

void printObject(const TInstallContainer& o, int depth, std::ostream& out) {
  // Names and paths come from the script: escaped, so that they cannot break the columns
  // or reach the terminal as control sequences.
  out << std::string(2 * depth, ' ') << PrintableText(o.Name()) << '\t' << o.ClassName() << '\t'
      << guarded([&] { return std::to_string(o.RegisteredType()); }) << '\t' << o.Order() << '\t'
      << (o.IsIncluded() ? "included" : "excluded") << '\t' << PrintableText(guarded([&] { return o.GetDestDir(); }));
  if (const auto* f = As<TFileRelated>(&o))
    out << '\t' << PrintableText(guarded([&] { return f->GetArchiveFile(); }));
  out << '\n';
  for (const TInstallContainer* h : o.HelperList()) printObject(*h, depth + 1, out);
}

}  // namespace

void PrintTree(const engine::TfrmMain& form, std::ostream& out) {
  // The engine first, then any other object without container, in stream order.
  std::vector<const TInstallContainer*> roots;
  if (IInstallEngine* engine = CurrentEngine()) roots.push_back(engine->EngineContainer());
  for (int i = 0; i < form.ComponentCount(); ++i) {
    const auto* c = As<TInstallContainer>(form.Components(i));
    if (c && !c->ContainerRef() && (roots.empty() || c != roots.front())) roots.push_back(c);
  }
  for (const TInstallContainer* r : roots) printObject(*r, 0, out);
}

}  // namespace kestrune::tools
