// A canvas that records what is drawn on it, with a fixed text extent, so painting can be
// checked exactly without a display.
#pragma once
#include <string>
#include <vector>

#include "platform/ui_canvas.h"

namespace kestrune::testing {

using platform::ui::ColorRef;
using platform::ui::Point;
using platform::ui::Rect;

struct Drawn {
  enum Kind { Fill, Polygon, Text } kind;
  Rect rect;                  // Fill
  std::vector<Point> points;  // Polygon
  Point at;                   // Text
  std::string text;
  ColorRef color = 0;
};

class RecordingCanvas : public platform::ui::Canvas {
 public:
  explicit RecordingCanvas(platform::ui::Size extent = {100, 20}) : extent_(extent) {}
  void FillRect(const Rect& r, ColorRef c) override { drawn.push_back({Drawn::Fill, shift(r), {}, {}, {}, c}); }
  void FillPolygon(const std::vector<Point>& pts, ColorRef c) override {
    std::vector<Point> p;
    for (Point q : pts) p.push_back({q.x + origin_.x, q.y + origin_.y});
    drawn.push_back({Drawn::Polygon, {}, p, {}, {}, c});
  }
  void SelectFont(const platform::ui::FontSpec& font) override { fonts.push_back(font); }
  platform::ui::Size TextExtent(std::string_view) override { return extent_; }
  void TextOut(int x, int y, std::string_view text, ColorRef c) override {
    drawn.push_back({Drawn::Text, {}, {}, {x + origin_.x, y + origin_.y}, std::string(text), c});
  }
  void PushOrigin(Point o, const Rect&) override {
    stack_.push_back(origin_);
    origin_ = {origin_.x + o.x, origin_.y + o.y};
  }
  void PopOrigin() override {
    origin_ = stack_.back();
    stack_.pop_back();
  }

  std::vector<Drawn> drawn;
  std::vector<platform::ui::FontSpec> fonts;

 private:
  Rect shift(Rect r) const { return {r.left + origin_.x, r.top + origin_.y, r.right + origin_.x, r.bottom + origin_.y}; }
  platform::ui::Size extent_;
  Point origin_;
  std::vector<Point> stack_;
};

}  // namespace kestrune::testing
