#include "panels/graph_control.h"

#include <gtest/gtest.h>

#include "panels/panel.h"

namespace orvik {
namespace {

TEST(GraphAxes, NiceStepsWithAndWithoutRounding) {
  EXPECT_DOUBLE_EQ(NiceStep(73, false), 100);
  EXPECT_DOUBLE_EQ(NiceStep(25, false), 50);
  EXPECT_DOUBLE_EQ(NiceStep(25, true), 20);
  EXPECT_DOUBLE_EQ(NiceStep(0.14, true), 0.1);
  EXPECT_DOUBLE_EQ(NiceStep(100, false), 100);
  EXPECT_DOUBLE_EQ(NiceStep(0.0, true), 1.0);
  EXPECT_DOUBLE_EQ(NiceStep(-5.0, false), 1.0);
}

class GraphTest : public ::testing::Test {
 protected:
  void SetUp() override {
    panel = CreatePanel("P", nullptr, 0);
    graph = AddGraphControl("GRAPH", 75, 280, panel);
  }
  void TearDown() override { DestroyPanel(panel); }
  Panel* panel = nullptr;
  GraphControl* graph = nullptr;
};

TEST_F(GraphTest, ConstantCurveSitsInTheMiddleOfARoundedRange) {
  for (int f = 0; f < 50; ++f) AddGraphPoint(graph, f, 0.5);
  GraphAxes axes;
  ASSERT_TRUE(ComputeGraphAxes(graph, &axes));
  EXPECT_LE(axes.yLow, 0.495);
  EXPECT_GE(axes.yHigh, 0.505);
  EXPECT_NEAR((axes.yLow + axes.yHigh) / 2, 0.5, 1e-12);
  EXPECT_NEAR(GraphPixelY(axes, 0, 200, 0.5), 100.0, 1e-9);
  EXPECT_STREQ(axes.labelX0, "0");
  EXPECT_STREQ(axes.labelX1, "50");
}

TEST_F(GraphTest, FewerThanTwoPointsEmptyTheLabels) {
  AddGraphPoint(graph, 1, 1);
  GraphAxes axes;
  EXPECT_FALSE(ComputeGraphAxes(graph, &axes));
  EXPECT_STREQ(axes.labelY0, "");
  EXPECT_STREQ(axes.labelX1, "");
}

TEST_F(GraphTest, PercentLabelsFixedRangesAndThePointLimit) {
  graph->percentY = 1;
  graph->autoRangeX = 0;
  AddGraphPoint(graph, 0, 0.0);
  AddGraphPoint(graph, 10, 1.0);
  GraphAxes axes;
  ASSERT_TRUE(ComputeGraphAxes(graph, &axes));
  EXPECT_STREQ(axes.labelY1, "100.00%");
  EXPECT_DOUBLE_EQ(axes.xHigh, 100.0);
  EXPECT_DOUBLE_EQ(GraphPixelX(axes, 10, 400, 50.0), 210.0);
  ClearGraphPoints(graph);
  int added = 0;
  for (int i = 0; i < 2000; ++i) added += AddGraphPoint(graph, i, i) ? 1 : 0;
  EXPECT_EQ(added, GraphControl::kMaxPoints);
}

}  // namespace
}  // namespace orvik
