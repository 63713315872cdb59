// Common controls over the system's own classes: progress bar (msctls_progress32),
// read-only rich text (RichEdit) and the tab strip (SysTabControl32).
#pragma once
#include <memory>

#include "runtime/strings.h"
#include "ui/controls.h"

namespace kestrune::ui {

class TProgressBar : public TWinControl {
  KESTRUNE_CLASS()
 public:
  explicit TProgressBar(TComponent* owner);
  int32_t Min() const { return min_; }
  void SetMin(int32_t v);
  int32_t Max() const { return max_; }
  void SetMax(int32_t v);
  // Kept inside Min..Max.
  int32_t Position() const { return position_; }
  void SetPosition(int32_t v);

 protected:
  void CreateParams(platform::ui::WindowParams& params) override;
  void CreateHandle() override;
  void WindowPaint(platform::ui::Canvas&) override {}

 private:
  void update();
  int32_t min_ = 0, max_ = 100, position_ = 0;
};

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
const EnumType& EnumTypeInfo(TScrollStyle);

// Multi-line rich text; the agreement box of the licence page is read-only with a
// vertical scroll bar. Lines are shown when the window is made; LinesChanged shows later
// changes.
class TRichEdit : public TWinControl {
  KESTRUNE_CLASS()
 public:
  explicit TRichEdit(TComponent* owner);
  TStrings* Lines() const { return lines_.get(); }
  void LinesChanged();
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v) { scrollBars_ = v; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v) { wordWrap_ = v; }
  bool PlainText() const { return plainText_; }
  void SetPlainText(bool v) { plainText_ = v; }

 protected:
  void CreateParams(platform::ui::WindowParams& params) override;
  void CreateHandle() override;
  void WindowPaint(platform::ui::Canvas&) override {}

 private:
  std::unique_ptr<TStringList> lines_;
  bool readOnly_ = false, wordWrap_ = true, plainText_ = false;
  TScrollStyle scrollBars_ = TScrollStyle::ssNone;
};

// A tab strip; its tab index may be changed by the program without notifications.
class TTabControl : public TWinControl {
  KESTRUNE_CLASS()
 public:
  explicit TTabControl(TComponent* owner);
  TStrings* Tabs() const { return tabs_.get(); }
  // -1 when there is no tab; a value outside the tabs is refused (no change).
  int32_t TabIndex() const { return tabIndex_; }
  void SetTabIndex(int32_t v);

 protected:
  void CreateParams(platform::ui::WindowParams& params) override;

 private:
  std::unique_ptr<TStringList> tabs_;
  int32_t tabIndex_ = -1;
};

}  // namespace kestrune::ui
