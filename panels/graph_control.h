// The graph control (kind 14): up to 1024 points of a curve with its axis
// ranges. Drawing belongs to the window layer; the range arithmetic is here.
#pragma once

#include "panels/control.h"

namespace orvik {

struct GraphControl : Control {
  static constexpr int kKind = kKindGraph;
  static constexpr int kMaxPoints = 1024;

  int pointCount = 0;
  double pointX[kMaxPoints] = {};
  double pointY[kMaxPoints] = {};
  int plotWidth = 400;
  int plotHeight = 200;
  int autoRangeX = 1;
  int autoRangeY = 1;
  double fixedX[2] = {0.0, 100.0};
  double fixedY[2] = {0.0, 1.0};
  int gridLinesX = 20;
  int gridLinesY = 5;
  int labelsX = 1;
  int labelsY = 1;
  int percentY = 0;
  double breakJump = 99999.9;
};

inline GraphControl* AsGraph(Control* c) { return As<GraphControl>(c); }

void ClearGraphPoints(GraphControl* g);
// Appends a point; false when 1024 points are held.
bool AddGraphPoint(GraphControl* g, double x, double y);

}  // namespace orvik
