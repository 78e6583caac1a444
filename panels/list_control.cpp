#include "panels/list_control.h"

#include <cstring>
#include <new>

#include "panels/bounded_text.h"
#include "panels/label_control.h"
#include "panels/panel.h"

namespace orvik {

namespace {

void ResetList(Control* c) {
  ListControl* l = AsList(c);
  if (l == nullptr) return;
  ClearListSelection(l);
  l->topRow = 0;
}

void CopyList(const Control* source, Control* destination) {
  const ListControl* s = As<ListControl>(source);
  ListControl* d = AsList(destination);
  if (s == nullptr || d == nullptr) return;
  std::memcpy(d->selected, s->selected, sizeof d->selected);
  std::memcpy(d->windowSelected, s->selected, sizeof d->windowSelected);
  d->selectedCount = CountSelectedRows(d);
  d->lastSelected = s->lastSelected;
}

}  // namespace

int SetListRows(ListControl* c, const std::vector<std::string>& rows) {
  if (c == nullptr) return 0;
  c->rows.clear();
  for (const std::string& r : rows) {
    if (static_cast<int>(c->rows.size()) >= ListControl::kMaxRows) break;
    c->rows.push_back(r.size() > ListControl::kMaxRowText ? r.substr(0, ListControl::kMaxRowText) : r);
  }
  c->rowCount = static_cast<int>(c->rows.size());
  for (int i = c->rowCount; i < ListControl::kMaxRows; ++i) c->selected[i] = c->windowSelected[i] = 0;
  if (c->lastSelected >= c->rowCount) c->lastSelected = -1;
  if (c->topRow >= c->rowCount) c->topRow = 0;
  c->selectedCount = CountSelectedRows(c);
  RefreshControl(c, kRefreshSubControls | kRefreshDraw);
  return c->rowCount;
}

int AddListRow(ListControl* c, const char* text) {
  if (c == nullptr || c->rowCount >= ListControl::kMaxRows) return -1;
  std::string row = text != nullptr ? text : "";
  if (row.size() > ListControl::kMaxRowText) row.resize(ListControl::kMaxRowText);
  c->rows.push_back(row);
  c->rowCount = static_cast<int>(c->rows.size());
  return c->rowCount - 1;
}

void ClearListSelection(ListControl* c) {
  if (c == nullptr) return;
  std::memset(c->selected, 0, sizeof c->selected);
  std::memset(c->windowSelected, 0, sizeof c->windowSelected);
  c->selectedCount = 0;
  c->lastSelected = -1;
}

int CountSelectedRows(const ListControl* c) {
  int n = 0;
  for (int i = 0; i < ListControl::kMaxRows; ++i) n += c->selected[i] ? 1 : 0;
  return n;
}

int ListSelectionChanged(ListControl* c, int topRow) {
  if (c == nullptr) return -1;
  c->topRow = topRow;
  const int rows = c->rowCount < ListControl::kMaxRows ? c->rowCount : ListControl::kMaxRows;
  const int maxSelected = c->maxSelected < 1 ? 1 : c->maxSelected;
  int taken = -1;
  // Every row whose window state differs is taken in order; one notification
  // may carry several (a range selected at once).
  for (int row = 0; row < rows; ++row) {
    const unsigned char now = c->windowSelected[row] ? 1 : 0;
    if (now == c->selected[row]) continue;
    c->selected[row] = now;
    if (now) {
      c->selectedCount = CountSelectedRows(c);
      if (c->selectedCount > maxSelected) {
        // Drop the row selected last before; when that one is no longer
        // selected, drop the first other selected row so the limit holds.
        int drop = c->lastSelected;
        if (drop < 0 || drop >= rows || drop == row || !c->selected[drop]) {
          drop = -1;
          for (int k = 0; k < rows; ++k) {
            if (k != row && c->selected[k]) {
              drop = k;
              break;
            }
          }
        }
        if (drop >= 0) c->selected[drop] = c->windowSelected[drop] = 0;
      }
    }
    c->selectedCount = CountSelectedRows(c);
    c->lastSelected = row;
    taken = row;
  }
  if (taken >= 0) {
    c->pendingChange = 1;
    if (c->valueHook != nullptr) c->valueHook(c);
  }
  return taken;
}

ListControl* AddListControl(const char* key, int x, int y, Control* anchor) {
  if (anchor == nullptr) return nullptr;
  ListControl* c = new (std::nothrow) ListControl;
  LabelControl* caption = new (std::nothrow) LabelControl;
  if (c == nullptr || caption == nullptr) {
    delete c;
    delete caption;
    return nullptr;
  }
  InitControlRecord(c, kKindList, key);
  c->owner = PanelOf(anchor);
  ResetList(c);
  c->ops.reset = ResetList;
  c->ops.copyValue = CopyList;
  c->x = x;
  c->y = y;
  CopyText(c->label, c->key.c_str());
  InitSubControl(c, caption, kKindLabel, "_label");
  CopyText(caption->text, c->label);
  AttachSubControl(c, caption);
  c->caption = caption;
  AppendToChain(anchor, c);
  return c;
}

}  // namespace orvik
