#include "panels/graph_control.h"

#include <cmath>
#include <new>

#include "panels/bounded_text.h"

#include "panels/panel.h"

namespace orvik {

namespace {

// The smallest spans the axes are given.
constexpr double kMinimumXSpan = 10.0;
constexpr double kNarrowYSpan = 0.01;
constexpr double kNarrowYWiden = 0.005;
constexpr double kMinimumYSpan = 1e-5;

// Grid step of an axis and its ends rounded out to the step.
void RoundAxis(double* low, double* high, double* step, int lines) {
  if (lines < 3) lines = 2;
  *step = NiceStep(NiceStep(*high - *low, false) / (lines - 1), true);
  *low = *step * std::floor(*low / *step);
  *high = *step * std::ceil(*high / *step);
}

}  // namespace

double NiceStep(double range, bool rounding) {
  if (!(range > 0.0) || !std::isfinite(range)) return 1.0;
  const double p = std::pow(10.0, std::floor(std::log10(range)));
  const double q = range / p;
  if (rounding) {
    if (q < 1.5) return p;
    if (q < 3.0) return 2.0 * p;
    if (q < 7.0) return 5.0 * p;
    return 10.0 * p;
  }
  if (q <= 1.0) return p;
  if (q <= 2.0) return 2.0 * p;
  if (q <= 5.0) return 5.0 * p;
  return 10.0 * p;
}

bool ComputeGraphAxes(const GraphControl* g, GraphAxes* axes) {
  *axes = GraphAxes{};
  const int n = g->pointCount < GraphControl::kMaxPoints ? g->pointCount : GraphControl::kMaxPoints;
  if (n < 2) return false;
  double xLow = g->pointX[0], xHigh = g->pointX[0], yLow = g->pointY[0], yHigh = g->pointY[0];
  for (int i = 1; i < n; ++i) {
    xLow = std::fmin(xLow, g->pointX[i]);
    xHigh = std::fmax(xHigh, g->pointX[i]);
    yLow = std::fmin(yLow, g->pointY[i]);
    yHigh = std::fmax(yHigh, g->pointY[i]);
  }
  if (xLow < 0.0) xLow = 0.0;
  if (xHigh < xLow + kMinimumXSpan) xHigh = xLow + kMinimumXSpan;
  if (yHigh - yLow < kNarrowYSpan) {
    yLow -= kNarrowYWiden;
    yHigh += kNarrowYWiden;
  }
  if (yHigh < yLow + kMinimumYSpan) yHigh = yLow + kMinimumYSpan;

  if (g->autoRangeX) {
    RoundAxis(&xLow, &xHigh, &axes->xStep, g->gridLinesX);
  } else {
    xLow = g->fixedX[0];
    xHigh = g->fixedX[1];
    axes->xStep = NiceStep(NiceStep(xHigh - xLow, false) / (g->gridLinesX < 3 ? 1 : g->gridLinesX - 1), true);
  }
  if (g->autoRangeY) {
    RoundAxis(&yLow, &yHigh, &axes->yStep, g->gridLinesY);
  } else {
    yLow = g->fixedY[0];
    yHigh = g->fixedY[1];
    axes->yStep = NiceStep(NiceStep(yHigh - yLow, false) / (g->gridLinesY < 3 ? 1 : g->gridLinesY - 1), true);
  }
  axes->xLow = xLow;
  axes->xHigh = xHigh;
  axes->yLow = yLow;
  axes->yHigh = yHigh;

  auto whole = [](double v) {
    if (std::isnan(v)) return 0L;
    if (v > 2e9) return 2000000000L;
    if (v < -2e9) return -2000000000L;
    return static_cast<long>(v);
  };
  if (g->labelsX) {
    FormatText(axes->labelX0, sizeof axes->labelX0, "%ld", whole(xLow));
    FormatText(axes->labelX1, sizeof axes->labelX1, "%ld", whole(xHigh));
  }
  if (g->labelsY) {
    if (g->percentY) {
      FormatText(axes->labelY0, sizeof axes->labelY0, "%.2f%%", yLow * 100.0);
      FormatText(axes->labelY1, sizeof axes->labelY1, "%.2f%%", yHigh * 100.0);
    } else {
      FormatText(axes->labelY0, sizeof axes->labelY0, "%.3f", yLow);
      FormatText(axes->labelY1, sizeof axes->labelY1, "%.3f", yHigh);
    }
  }
  return true;
}

double GraphPixelX(const GraphAxes& axes, int plotLeft, int plotWidth, double x) {
  const double span = axes.xHigh - axes.xLow;
  return plotLeft + (span != 0.0 ? (x - axes.xLow) / span : 0.0) * plotWidth;
}

double GraphPixelY(const GraphAxes& axes, int plotTop, int plotHeight, double y) {
  const double span = axes.yHigh - axes.yLow;
  return plotTop + plotHeight - (span != 0.0 ? (y - axes.yLow) / span : 0.0) * plotHeight;
}

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
