// Reader and writer round trips over test classes shaped like the install script.
#include <gtest/gtest.h>

#include "runtime/exceptions.h"
#include "runtime/published.h"
#include "runtime/reader.h"
#include "runtime/writer.h"

namespace kestrune {

enum class TColorKind { ckRed, ckGreen, ckBlue };
const EnumType& EnumTypeInfo(TColorKind) {
  static constexpr std::string_view values[] = {"ckRed", "ckGreen", "ckBlue"};
  static constexpr EnumType t{"TColorKind", values};
  return t;
}

class TInfo : public TPersistent {
  KESTRUNE_CLASS()
 public:
  std::string Company = "My Company";
  int32_t Size = 0;
  void Assign(const TPersistent& s) override {
    if (auto* o = As<TInfo>(&s)) { Company = o->Company; Size = o->Size; return; }
    TPersistent::Assign(s);
  }
};
const ClassInfo& TInfo::classInfo() {
  static const ClassInfo info{"TInfo", &TPersistent::classInfo(), nullptr,
                              {prop<&TInfo::Company, &TInfo::Company>("CompanyName").DefaultStr("My Company"),
                               prop<&TInfo::Size, &TInfo::Size>("Size").Default(0)}};
  return info;
}

class TThing : public TComponent {
  KESTRUNE_CLASS()
 public:
  using TComponent::TComponent;
  ~TThing() override { delete info_; delete lines_; delete pic_; }
  TThing* Link() const { return link_; }
  void SetLink(TThing* t) {
    if (link_ == t) return;
    link_ = t;
    if (t) t->FreeNotification(this);
  }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == TOperation::opRemove && c == link_) link_ = nullptr;
  }
  void Loaded() override {
    TComponent::Loaded();
    loadOrder().push_back(Name() + (link_ ? ">" + link_->Name() : ""));
  }
  static std::vector<std::string>& loadOrder() { static std::vector<std::string> v; return v; }
  TInfo* Info() const { return info_; }
  TStringList* Lines() const { return lines_; }
  TPicture* Pic() const { return pic_; }
  bool Flag = false;
  int32_t Order = -1;
  TColorKind Kind = TColorKind::ckRed;
  TSet<TColorKind> Kinds{TColorKind::ckBlue};
  std::string Text;
  int32_t UniqueID = 0;
  void DefineProperties(Filer& f) override {
    f.DefineProperty("UniqueID", [this](Reader& r) { UniqueID = r.ReadInteger(); },
                     [this](Writer& w) { w.WriteInteger(UniqueID); }, true);
  }

 private:
  TThing* link_ = nullptr;
  TInfo* info_ = new TInfo;
  TStringList* lines_ = new TStringList;
  TPicture* pic_ = new TPicture;
};

const ClassInfo& TThing::classInfo() {
  static const ClassInfo info{"TThing", &TComponent::classInfo(), create<TThing>,
                              {prop<&TThing::Link, &TThing::SetLink>("Link"),
                               prop<&TThing::Info>("Information"),
                               prop<&TThing::Lines>("Lines"),
                               prop<&TThing::Pic>("Pic"),
                               prop<&TThing::Flag, &TThing::Flag>("Flag"),
                               prop<&TThing::Order, &TThing::Order>("Order"),
                               prop<&TThing::Kind, &TThing::Kind>("Kind").Default(0),
                               prop<&TThing::Kinds, &TThing::Kinds>("Kinds").Default(1 << 2),
                               prop<&TThing::Text, &TThing::Text>("Text"),
                               eventProp("OnBeforeProcess")}};
  return info;
}

class TRoot : public TComponent {
  KESTRUNE_CLASS()
 public:
  using TComponent::TComponent;
  ~TRoot() override { DestroyComponents(); }
};
const ClassInfo& TRoot::classInfo() {
  static const ClassInfo info{"TRoot", &TComponent::classInfo(), create<TRoot>, {}};
  return info;
}

class StreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.Register(TThing::classInfo());
    TThing::loadOrder().clear();
  }
  ClassRegistry registry;
};

TEST_F(StreamTest, RoundTripKeepsValuesReferencesAndBytes) {
  std::vector<uint8_t> bytes;
  {
    TRoot root(nullptr);
    root.SetName("frmMain");
    auto* a = new TThing(&root);
    a->SetName("First");
    auto* b = new TThing(&root);
    b->SetName("Second");
    a->SetLink(b);  // forward reference
    a->Info()->Company = "Dévari s.r.o.";
    a->Info()->Size = 100000;
    a->Lines()->Add("one");
    a->Lines()->Add(std::string(300, 'x'));
    a->Kinds = TSet<TColorKind>{};
    a->Kind = TColorKind::ckGreen;
    a->UniqueID = -200;
    a->SetTag(-1);
    a->Pic()->SetGraphic("TBitmap", {'B', 'M', 1, 2, 3});
    b->Flag = true;
    b->Text = "Instalační program";
    bytes = WriteComponentStream(&root);
  }
  TRoot root(nullptr);
  Reader(bytes, registry).ReadRootComponent(&root);
  ASSERT_EQ(root.ComponentCount(), 2);
  auto* a = static_cast<TThing*>(root.FindComponent("First"));
  auto* b = static_cast<TThing*>(root.FindComponent("Second"));
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->Link(), b);
  EXPECT_EQ(a->Info()->Company, "Dévari s.r.o.");
  EXPECT_EQ(a->Info()->Size, 100000);
  EXPECT_EQ(a->Lines()->Count(), 2);
  EXPECT_EQ(a->Lines()->Strings(1).size(), 300u);
  EXPECT_TRUE(a->Kinds.Empty());
  EXPECT_EQ(a->Kind, TColorKind::ckGreen);
  EXPECT_EQ(a->UniqueID, -200);
  EXPECT_EQ(a->Tag(), -1);
  EXPECT_EQ(a->Pic()->GraphicData().size(), 5u);
  EXPECT_TRUE(b->Flag);
  EXPECT_EQ(b->Text, "Instalační program");
  EXPECT_EQ(b->Kinds, TSet<TColorKind>{TColorKind::ckBlue});
  EXPECT_EQ((std::vector<std::string>{"First>Second", "Second"}), TThing::loadOrder());
  EXPECT_EQ(WriteComponentStream(&root), bytes);
  delete b;
  EXPECT_EQ(a->Link(), nullptr);
}

TEST_F(StreamTest, ErrorsNameWhatIsWrong) {
  auto expectError = [&](std::vector<uint8_t> bytes, const std::string& text) {
    TRoot root(nullptr);
    try {
      Reader(bytes, registry).ReadRootComponent(&root);
      ADD_FAILURE() << "no error for " << text;
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
    }
  };
  auto str = [](std::vector<uint8_t>& v, const std::string& s) {
    v.push_back(static_cast<uint8_t>(s.size()));
    v.insert(v.end(), s.begin(), s.end());
  };
  auto head = [&](const std::string& cls, const std::string& name) {
    std::vector<uint8_t> v{'T', 'P', 'F', '0'};
    str(v, "TRoot");
    str(v, "frmMain");
    v.push_back(0);
    str(v, cls);
    str(v, name);
    return v;
  };
  expectError({'T', 'P', 'F', '1'}, "Invalid stream format");
  auto v = head("TNothing", "X");
  expectError(v, "Class TNothing not found");
  v = head("TThing", "X");
  str(v, "Kind");
  v.push_back(7);
  str(v, "ckPurple");
  expectError(v, "Error reading X.Kind: Invalid property value ckPurple (TColorKind is one of: ckRed, ckGreen, ckBlue)");
  v = head("TThing", "X");
  str(v, "Flag.Size");
  expectError(v, "Invalid property path");
  v = head("TThing", "X");
  str(v, "Missing");
  expectError(v, "Error reading X.Missing: Property does not exist");
  v = head("TThing", "X");
  str(v, "Link");
  v.push_back(7);
  str(v, "Nobody");
  v.insert(v.end(), {0, 0, 0, 0});
  expectError(v, "no component named Nobody");
  v = head("TThing", "X");
  str(v, "Lines.Strings");
  v.insert(v.end(), {1, 6, 200});
  expectError(v, "unexpected end of stream");
}

}  // namespace kestrune
