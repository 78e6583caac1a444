#include "panels/graph_control.h"

#include <new>

#include "panels/panel.h"

namespace orvik {

void ClearGraphPoints(GraphControl* g) {
  if (g != nullptr) g->pointCount = 0;
}

bool AddGraphPoint(GraphControl* g, double x, double y) {
  if (g == nullptr || g->pointCount < 0 || g->pointCount >= GraphControl::kMaxPoints) return false;
  g->pointX[g->pointCount] = x;
  g->pointY[g->pointCount] = y;
  ++g->pointCount;
  return true;
}

GraphControl* AddGraphControl(const char* key, int x, int y, Control* anchor) {
  if (anchor == nullptr) return nullptr;
  GraphControl* g = new (std::nothrow) GraphControl;
  if (g == nullptr) return nullptr;
  InitControlRecord(g, kKindGraph, key);
  g->persistent = 0;
  g->x = x;
  g->y = y;
  AppendToChain(anchor, g);
  return g;
}

}  // namespace orvik
