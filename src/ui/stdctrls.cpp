// Labels.
#include "ui/stdctrls.h"

#include "runtime/published.h"

namespace kestrune::ui {

const ClassInfo& TCustomLabel::classInfo() {
  static const ClassInfo info{"TCustomLabel", &TGraphicControl::classInfo(), nullptr,
                              {prop<&TCustomLabel::Alignment, &TCustomLabel::SetAlignment>("Alignment").Default(0),
                               prop<&TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize>("AutoSize").Default(1),
                               prop<&TCustomLabel::Transparent, &TCustomLabel::SetTransparent>("Transparent").Default(0),
                               prop<&TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap>("WordWrap").Default(0)}};
  return info;
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {}

void TCustomLabel::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  Invalidate();
}

void TCustomLabel::Paint(platform::ui::Canvas& canvas) {
  if (!transparent_) canvas.FillRect({0, 0, Width(), Height()}, ColorToRGB(Color()));
  canvas.SelectFont(Font()->Spec());
  platform::ui::ColorRef color = ColorToRGB(Enabled() ? Font()->Color() : clGrayText);
  // Lines break at line feeds and, with WordWrap, between words that no longer fit.
  std::vector<std::string> lines;
  std::string text = Caption();
  size_t start = 0;
  while (start <= text.size()) {
    size_t nl = text.find('\n', start);
    std::string para = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    if (!para.empty() && para.back() == '\r') para.pop_back();
    if (!wordWrap_) {
      lines.push_back(para);
    } else {
      std::string line;
      size_t pos = 0;
      while (pos < para.size()) {
        size_t sp = para.find(' ', pos);
        std::string word = para.substr(pos, sp == std::string::npos ? std::string::npos : sp - pos + 1);
        pos = sp == std::string::npos ? para.size() : sp + 1;
        if (!line.empty() && canvas.TextExtent(line + word).cx > Width()) {
          lines.push_back(line);
          line.clear();
        }
        line += word;
      }
      lines.push_back(line);
    }
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  int y = 0;
  for (const std::string& line : lines) {
    platform::ui::Size ext = canvas.TextExtent(line);
    int x = alignment_ == TAlignment::taRightJustify ? Width() - ext.cx
            : alignment_ == TAlignment::taCenter     ? (Width() - ext.cx) / 2
                                                     : 0;
    canvas.TextOut(x, y, line, color);
    y += ext.cy > 0 ? ext.cy : -Font()->Height();
  }
}

const ClassInfo& TLabel::classInfo() {
  static const ClassInfo info{"TLabel", &TCustomLabel::classInfo(), create<TLabel>, {}};
  return info;
}

}  // namespace kestrune::ui
