// Owners of many components: names found through the owner's index as they change, and
// freeing all components with each removal told to the owner and the linked ones only.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "runtime/exceptions.h"
#include "runtime/name_index.h"
#include "runtime/published.h"
#include "runtime/rare_function.h"
#include "runtime/shared_text.h"

namespace kestrune {
namespace {

// Counts the notifications it is sent and keeps one FreeNotification link.
class TCounted : public TComponent {
 public:
  using TComponent::TComponent;
  ~TCounted() override {
    // The linked component went first (made later, freed earlier): its link must be gone.
    if (link) ++dangling;
  }
  void SetLink(TCounted* target) {
    link = target;
    if (target) target->FreeNotification(this);
  }
  void Notification(TComponent* component, TOperation operation) override {
    ++calls;
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == link) link = nullptr;
  }
  TCounted* link = nullptr;
  static inline long calls = 0;
  static inline int dangling = 0;
};

}  // namespace

TEST(ComponentTest, ManyComponentsAreFoundByNameAndFreedInLinearTime) {
  constexpr int n = 3000;
  auto* root = new TComponent(nullptr);
  std::vector<TCounted*> items;
  for (int i = 0; i < n; ++i) {
    items.push_back(new TCounted(root));
    items.back()->SetName("Item" + std::to_string(i));
  }
  // Each links to the next one, and every one to the first (which then has n links).
  for (int i = 0; i + 1 < n; ++i) items[i]->SetLink(items[i + 1]);
  for (int i = 1; i < n; ++i) items[0]->FreeNotification(items[i]);

  EXPECT_EQ(root->FindComponent("ITEM2999"), items[n - 1]);
  items[5]->SetName("Renamed");
  EXPECT_EQ(root->FindComponent("renamed"), items[5]);
  EXPECT_EQ(root->FindComponent("Item5"), nullptr);
  EXPECT_THROW(items[6]->SetName("RENAMED"), EComponentError);
  TCounted loose(nullptr);
  EXPECT_THROW(loose.SetName("x y"), EComponentError);
  items[7]->SetLink(nullptr);  // it goes before the one it links to
  delete items[7];
  EXPECT_EQ(root->FindComponent("Item7"), nullptr);
  EXPECT_EQ(items[6]->link, nullptr);  // told by its link
  auto* late = new TCounted(nullptr);
  late->SetName("Item7");
  root->InsertComponent(late);
  EXPECT_EQ(root->FindComponent("item7"), late);
  loose.SetName("Item8");
  EXPECT_THROW(root->InsertComponent(&loose), EComponentError);

  // Made one by one, freed all at once: a few notifications per component, not one for
  // every other component, and no link left to a freed one.
  TCounted::calls = 0;
  delete root;
  EXPECT_LT(TCounted::calls, 4L * n);
  EXPECT_EQ(TCounted::dangling, 0);
}

// The index against a plain reference through adds, removals (which leave marks behind)
// and growth, with few hashes so that values share them; and its folding of names.
TEST(ComponentTest, NameIndexKeepsWhatAReferenceKeeps) {
  NameIndex index;
  std::map<uint32_t, std::multiset<NameIndex::Value>> reference;
  std::mt19937 random(7);
  NameIndex::Value next = 1;
  for (int step = 0; step < 20000; ++step) {
    const uint32_t hash = random() % 97 * 0x10001u;
    auto& values = reference[hash];
    if (random() % 3 != 0 || values.empty()) {
      index.Add(hash, next);
      values.insert(next++);
    } else {
      const NameIndex::Value gone = *values.begin();
      ASSERT_TRUE(index.Remove(hash, gone));
      values.erase(values.begin());
      EXPECT_FALSE(index.Remove(hash, gone));
    }
  }
  size_t count = 0;
  for (const auto& [hash, values] : reference) {
    std::multiset<NameIndex::Value> found;
    index.Any(hash, [&](NameIndex::Value v) { return found.insert(v), false; });
    EXPECT_EQ(found, values) << hash;
    count += values.size();
  }
  EXPECT_EQ(index.Count(), count);
  EXPECT_EQ(NameIndex::Hash("Setup.EXE"), NameIndex::Hash("setup.exe"));
  EXPECT_TRUE(NameIndex::SameName("Setup.EXE", "sETUP.exe"));
  EXPECT_FALSE(NameIndex::SameName("setup.exe", "setup.ex"));
  // Equal texts are one copy.
  SharedText a(std::string("C:\\Src\\files")), b(std::string_view("C:\\Src\\files"));
  EXPECT_EQ(&a.str(), &b.str());
  b = "other";
  EXPECT_EQ(a.str(), "C:\\Src\\files");
  EXPECT_TRUE(SharedText().empty());
}

}  // namespace kestrune

namespace kestrune {
namespace {

// The one-pointer event field: set, copied, called, cleared as a std::function would be.
TEST(RareFunctionTest, BehavesAsTheFunctionItHolds) {
  static_assert(sizeof(RareFunction<int(int)>) == sizeof(void*));
  RareFunction<int(int)> f;
  EXPECT_FALSE(f);
  EXPECT_THROW(f(1), std::bad_function_call);
  int calls = 0;
  f = [&calls](int x) { ++calls; return x * 2; };
  RareFunction<int(int)> copy = f;
  EXPECT_EQ(f(3), 6);
  EXPECT_EQ(copy(4), 8);
  EXPECT_EQ(calls, 2);
  f = nullptr;
  EXPECT_FALSE(f);
  EXPECT_TRUE(copy);
  copy = std::function<int(int)>();  // an empty function leaves it empty
  EXPECT_FALSE(copy);
  EXPECT_FALSE(copy.get());
}

}  // namespace
}  // namespace kestrune
