// The multi-select list (kind 17): up to 512 rows with one selection flag
// each, and a maximum number of rows that may be selected at once.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "panels/control.h"

namespace orvik {

struct ListControl : Control {
  static constexpr int kKind = kKindList;
  static constexpr int kMaxRows = 512;
  static constexpr size_t kMaxRowText = 255;
  static constexpr size_t kMaxLabel = 255;

  int rowCount = 0;
  std::vector<std::string> rows;
  unsigned char selected[kMaxRows] = {};
  int maxSelected = kMaxRows;
  int selectedCount = 0;
  int lastSelected = -1;
  int topRow = 0;
  int width = 184;
  int visibleRows = 15;
  int rowHeight = 16;
  char label[kMaxLabel + 1] = {};

  // The list window's selection flags (the window layer mirrors them;
  // headless they are the flags themselves).
  unsigned char windowSelected[kMaxRows] = {};

  LabelControl* caption = nullptr;
};

inline ListControl* AsList(Control* c) { return As<ListControl>(c); }

// Replaces the rows (at most 512, each cut to 255 characters); clears the
// flags of rows that no longer exist. Returns the number of rows taken.
int SetListRows(ListControl* c, const std::vector<std::string>& rows);
int AddListRow(ListControl* c, const char* text);
void ClearListSelection(ListControl* c);
int CountSelectedRows(const ListControl* c);

// The list window reports a selection change: compares the window's flags
// with `selected`, keeps the maximum-selected rule (deselecting the row
// selected last before) and calls the value hook. Returns the row taken or
// -1 when nothing differed.
int ListSelectionChanged(ListControl* c, int topRow);

}  // namespace orvik
