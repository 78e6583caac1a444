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

// The axes a draw refresh works out from the points (or the fixed ranges).
struct GraphAxes {
  double xLow = 0.0, xHigh = 0.0, xStep = 1.0;
  double yLow = 0.0, yHigh = 0.0, yStep = 1.0;
  char labelX0[32] = {}, labelX1[32] = {}, labelY0[32] = {}, labelY1[32] = {};
};

// A step of 1, 2 or 5 times a power of ten for the range; with rounding the
// nearest such step, without it the next one up. Non-positive or
// non-finite ranges give 1.
double NiceStep(double range, bool rounding);

// Ranges, grid steps and end labels of the graph. False (and empty labels)
// with fewer than 2 points: only the frame is drawn then.
bool ComputeGraphAxes(const GraphControl* g, GraphAxes* axes);

// Pixel position of a value inside the plot area (left/top edge given): x
// grows to the right, y upwards.
double GraphPixelX(const GraphAxes& axes, int plotLeft, int plotWidth, double x);
double GraphPixelY(const GraphAxes& axes, int plotTop, int plotHeight, double y);

void ClearGraphPoints(GraphControl* g);
// Appends a point; false when 1024 points are held.
bool AddGraphPoint(GraphControl* g, double x, double y);

}  // namespace orvik
