// Test classes shaped like the install script's components, with one property of every
// kind the stream reader handles: integer with named constants, boolean, enumeration, set,
// string, component reference, string list, owned sub-object, picture, a value stored
// under the class's own name, and a control that holds other controls.
#pragma once
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "runtime/published.h"
#include "runtime/reader.h"
#include "runtime/writer.h"

namespace kestrune::sample {

enum class TSampleKind { skNone, skFile, skGroup, skLink };
inline const EnumType& EnumTypeInfo(TSampleKind) {
  static constexpr std::string_view values[] = {"skNone", "skFile", "skGroup", "skLink"};
  static constexpr EnumType t{"TSampleKind", values};
  return t;
}

inline const IdentMap& ColorIdents() {
  static constexpr IdentEntry entries[] = {{"clBlack", 0}, {"clRed", 255}, {"clWindowText", -16777208}};
  static constexpr IdentMap m{entries};
  return m;
}

class TSampleInfo : public TPersistent {
  KESTRUNE_CLASS()
 public:
  std::string CompanyName = "My Company";
  std::string Version = "1.0";
  int32_t Charset = 1;
};

inline const ClassInfo& TSampleInfo::classInfo() {
  static const ClassInfo info{"TSampleInfo", &TPersistent::classInfo(), nullptr,
                              {prop<&TSampleInfo::CompanyName, &TSampleInfo::CompanyName>("CompanyName").DefaultStr("My Company"),
                               prop<&TSampleInfo::Version, &TSampleInfo::Version>("Version").DefaultStr("1.0"),
                               prop<&TSampleInfo::Charset, &TSampleInfo::Charset>("Charset").Default(1)}};
  return info;
}

class TSampleItem : public TComponent {
  KESTRUNE_CLASS()
 public:
  using TComponent::TComponent;

  TSampleItem* Container() const { return container_; }
  void SetContainer(TSampleItem* c) {
    if (c == container_) return;
    container_ = c;
    if (c) c->FreeNotification(this);
  }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == TOperation::opRemove && c == container_) container_ = nullptr;
  }
  TSampleInfo* Information() const { return info_.get(); }
  TStringList* Lines() const { return lines_.get(); }
  TPicture* Bitmap() const { return bitmap_.get(); }
  void DefineProperties(Filer& f) override {
    f.DefineProperty("UniqueID", [this](Reader& r) { UniqueID = r.ReadInteger(); },
                     [this](Writer& w) { w.WriteInteger(UniqueID); }, UniqueID != 0);
  }

  int32_t Order = 0;
  int32_t Color = 0;
  bool Net = false;
  bool RunAutomatic = true;
  TSampleKind Kind = TSampleKind::skNone;
  TSet<TSampleKind> Kinds{TSampleKind::skNone};
  std::string FileName;
  int32_t UniqueID = 0;

 private:
  TSampleItem* container_ = nullptr;
  std::unique_ptr<TSampleInfo> info_ = std::make_unique<TSampleInfo>();
  std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
  std::unique_ptr<TPicture> bitmap_ = std::make_unique<TPicture>();
};

inline const ClassInfo& TSampleItem::classInfo() {
  static const ClassInfo info{"TSampleItem", &TComponent::classInfo(), create<TSampleItem>,
                              {prop<&TSampleItem::Container, &TSampleItem::SetContainer>("Container"),
                               prop<&TSampleItem::Order, &TSampleItem::Order>("Order").Default(0),
                               prop<&TSampleItem::Color, &TSampleItem::Color>("Color").Default(0).Idents(ColorIdents()),
                               prop<&TSampleItem::Net, &TSampleItem::Net>("Net").Default(0),
                               prop<&TSampleItem::RunAutomatic, &TSampleItem::RunAutomatic>("RunAutomatic"),
                               prop<&TSampleItem::Kind, &TSampleItem::Kind>("Kind").Default(0),
                               prop<&TSampleItem::Kinds, &TSampleItem::Kinds>("Kinds").Default(1),
                               prop<&TSampleItem::FileName, &TSampleItem::FileName>("FileName"),
                               prop<&TSampleItem::Information>("Information"),
                               prop<&TSampleItem::Lines>("Lines"),
                               prop<&TSampleItem::Bitmap>("Bitmap"),
                               eventProp("OnBeforeProcess")}};
  return info;
}

// A control: placed on another control (its parent) or directly on the root.
class TSampleControl : public TComponent {
  KESTRUNE_CLASS()
 public:
  using TComponent::TComponent;
  ~TSampleControl() override { SetParentComponent(nullptr); }

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return parent_; }
  void SetParentComponent(TComponent* parent) override {
    if (parent_) parent_->controls_.erase(std::remove(parent_->controls_.begin(), parent_->controls_.end(), this),
                                          parent_->controls_.end());
    parent_ = As<TSampleControl>(parent);
    if (parent_) parent_->controls_.push_back(this);
  }
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const override {
    if (this == root) TComponent::GetChildren(proc, root);
    for (TSampleControl* c : controls_) proc(c);
  }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op != TOperation::opRemove) return;
    controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
    if (c == parent_) parent_ = nullptr;
  }
  int ControlCount() const { return static_cast<int>(controls_.size()); }

  std::string Caption;
  int32_t Left = 0;

 private:
  TSampleControl* parent_ = nullptr;
  std::vector<TSampleControl*> controls_;
};

inline const ClassInfo& TSampleControl::classInfo() {
  static const ClassInfo info{"TSampleControl", &TComponent::classInfo(), create<TSampleControl>,
                              {prop<&TSampleControl::Caption, &TSampleControl::Caption>("Caption"),
                               prop<&TSampleControl::Left, &TSampleControl::Left>("Left").Default(0)}};
  return info;
}

class TSampleRoot : public TComponent {
  KESTRUNE_CLASS()
 public:
  using TComponent::TComponent;
  ~TSampleRoot() override { DestroyComponents(); }
  std::string Caption;
};

inline const ClassInfo& TSampleRoot::classInfo() {
  static const ClassInfo info{"TSampleRoot", &TComponent::classInfo(), create<TSampleRoot>,
                              {prop<&TSampleRoot::Caption, &TSampleRoot::Caption>("Caption")}};
  return info;
}

inline void RegisterSampleClasses(ClassRegistry& registry) {
  registry.Register(TSampleItem::classInfo());
  registry.Register(TSampleControl::classInfo());
}

// A stream in text form shaped like an install script, using every property kind.
inline const char* SampleScriptText() {
  return R"(object frmMain: TSampleRoot
  Caption = 'Instalace Zkouška 1.0'
  object Install: TSampleItem
    Tag = 1
    RunAutomatic = False
    FileName = 'setup.exe'
    Information.CompanyName = 'Dévari s.r.o.'
    Information.Version = '2.1'
    Information.Charset = 238
    Lines.Strings = (
      'C:\KIT\IDAPINST.DLL'
      'second line')
    Bitmap.Data = {
      07544269746D61700A000000424D0102030405060708}
  end
  object Group: TSampleItem
    Container = Install
    Order = 300
    RunAutomatic = True
    Kind = skGroup
    Kinds = []
  end
  object File1: TSampleItem
    Container = Group
    Order = -70000
    Color = clWindowText
    Net = True
    RunAutomatic = True
    Kinds = [skFile, skLink]
    FileName = 'Zarvotill server.exe'
    UniqueID = 17
  end
  object BackDrop: TSampleControl
    Caption = 'backdrop'
    object ProductLabel: TSampleControl
      Caption = 'Zarvotill'
      Left = 12
    end
  end
end
)";
}

}  // namespace kestrune::sample
