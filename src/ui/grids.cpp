// The string grid: cells painted with a one-pixel grid line, fixed cells raised.
#include "ui/grids.h"

#include "runtime/published.h"

namespace kestrune::ui {

using platform::ui::Canvas;
using platform::ui::Rect;

const ClassInfo& TStringGrid::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TStringGrid::ColCount, &TStringGrid::SetColCount>("ColCount").Default(5),
      prop<&TStringGrid::DefaultColWidth, &TStringGrid::SetDefaultColWidth>("DefaultColWidth").Default(64),
      prop<&TStringGrid::DefaultRowHeight, &TStringGrid::SetDefaultRowHeight>("DefaultRowHeight").Default(24),
      prop<&TStringGrid::FixedCols, &TStringGrid::SetFixedCols>("FixedCols").Default(1),
      prop<&TStringGrid::FixedRows, &TStringGrid::SetFixedRows>("FixedRows").Default(1),
      prop<&TStringGrid::RowCount, &TStringGrid::SetRowCount>("RowCount").Default(5),
      prop<&TStringGrid::ScrollBars, &TStringGrid::SetScrollBars>("ScrollBars").Default(3)};
  static const ClassInfo info{"TStringGrid", &TCustomControl::classInfo(), create<TStringGrid>, props};
  return info;
}

TStringGrid::TStringGrid(TComponent* owner) : TCustomControl(owner) {
  SetColorSilently(clWindow);
  resize();
}

void TStringGrid::resize() {
  std::vector<std::string> cells(static_cast<size_t>(colCount_) * rowCount_);
  colWidths_.resize(colCount_, defaultColWidth_);
  cells_.swap(cells);
  Invalidate();
}

void TStringGrid::SetColCount(int32_t v) {
  colCount_ = v < 1 ? 1 : v;
  resize();
}
void TStringGrid::SetRowCount(int32_t v) {
  rowCount_ = v < 1 ? 1 : v;
  resize();
}
void TStringGrid::SetFixedCols(int32_t v) {
  fixedCols_ = v < 0 ? 0 : v;
  Invalidate();
}
void TStringGrid::SetFixedRows(int32_t v) {
  fixedRows_ = v < 0 ? 0 : v;
  Invalidate();
}
void TStringGrid::SetDefaultColWidth(int32_t v) {
  defaultColWidth_ = v;
  colWidths_.assign(colCount_, v);
  Invalidate();
}
void TStringGrid::SetDefaultRowHeight(int32_t v) {
  defaultRowHeight_ = v;
  Invalidate();
}

int32_t TStringGrid::ColWidths(int col) const {
  return col >= 0 && col < colCount_ ? colWidths_[col] : defaultColWidth_;
}

void TStringGrid::SetColWidths(int col, int32_t width) {
  if (col < 0 || col >= colCount_) return;
  colWidths_[col] = width;
  Invalidate();
}

std::string TStringGrid::Cells(int col, int row) const {
  if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return {};
  return cells_[static_cast<size_t>(row) * colCount_ + col];
}

void TStringGrid::SetCells(int col, int row, const std::string& text) {
  if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return;
  cells_[static_cast<size_t>(row) * colCount_ + col] = text;
  window_.SetText(cellsText());
  Invalidate();
}

std::string TStringGrid::cellsText() const {
  std::string text;
  for (int row = 0; row < rowCount_; ++row) {
    if (row > 0) text += '\n';
    for (int col = 0; col < colCount_; ++col) {
      if (col > 0) text += '\t';
      text += Cells(col, row);
    }
  }
  return text;
}

void TStringGrid::CreateParams(platform::ui::WindowParams& params) {
  TCustomControl::CreateParams(params);
  params.caption = cellsText();
}

void TStringGrid::Paint(Canvas& canvas) {
  canvas.FillRect(Rect{0, 0, ClientWidth(), ClientHeight()}, ColorToRGB(clBtnFace));
  canvas.SelectFont(Font()->Spec());
  auto line = ColorToRGB(clBtnShadow), hi = ColorToRGB(clBtnHighlight);
  int y = 0;
  for (int row = 0; row < rowCount_; ++row) {
    int x = 0;
    for (int col = 0; col < colCount_; ++col) {
      int w = colWidths_[col];
      Rect cell{x, y, x + w, y + defaultRowHeight_};
      bool fixed = row < fixedRows_ || col < fixedCols_;
      canvas.FillRect(cell, ColorToRGB(fixed ? clBtnFace : Color()));
      if (fixed) {
        canvas.FillRect({cell.left, cell.top, cell.right, cell.top + 1}, hi);
        canvas.FillRect({cell.left, cell.top, cell.left + 1, cell.bottom}, hi);
      }
      canvas.FillRect({cell.right, cell.top, cell.right + 1, cell.bottom + 1}, line);
      canvas.FillRect({cell.left, cell.bottom, cell.right + 1, cell.bottom + 1}, line);
      std::string text = Cells(col, row);
      if (!text.empty()) {
        platform::ui::Size ext = canvas.TextExtent(text);
        canvas.TextOut(cell.left + 2, cell.top + (defaultRowHeight_ - ext.cy) / 2, text, ColorToRGB(Font()->Color()));
      }
      x += w + 1;
    }
    y += defaultRowHeight_ + 1;
  }
}

}  // namespace kestrune::ui
