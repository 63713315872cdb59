// A painted grid of text cells with fixed (heading) rows and columns.
#pragma once
#include <string>
#include <vector>

#include "ui/comctrls.h"
#include "ui/controls.h"

namespace kestrune::ui {

class TStringGrid : public TCustomControl {
  KESTRUNE_CLASS()
 public:
  explicit TStringGrid(TComponent* owner);
  int32_t ColCount() const { return colCount_; }
  void SetColCount(int32_t v);
  int32_t RowCount() const { return rowCount_; }
  void SetRowCount(int32_t v);
  int32_t FixedCols() const { return fixedCols_; }
  void SetFixedCols(int32_t v);
  int32_t FixedRows() const { return fixedRows_; }
  void SetFixedRows(int32_t v);
  int32_t DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int32_t v);
  int32_t DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int32_t v);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v) { scrollBars_ = v; }
  int32_t ColWidths(int col) const;
  void SetColWidths(int col, int32_t width);
  // The text of a cell; an empty text outside the grid. Setting outside the grid is ignored.
  std::string Cells(int col, int row) const;
  void SetCells(int col, int row, const std::string& text);
  void Paint(platform::ui::Canvas& canvas) override;

 protected:
  // The window's text holds the cells (rows on lines, cells split by tabs), so that other
  // programs read the grid as they read a control's text.
  void CreateParams(platform::ui::WindowParams& params) override;

 private:
  std::string cellsText() const;
  void resize();
  int32_t colCount_ = 5, rowCount_ = 5, fixedCols_ = 1, fixedRows_ = 1;
  int32_t defaultColWidth_ = 64, defaultRowHeight_ = 24;
  TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
  std::vector<int32_t> colWidths_;
  std::vector<std::string> cells_;  // row-major
};

}  // namespace kestrune::ui
