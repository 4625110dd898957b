#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "blam/tBLAMGraphPlot.h"

// Three points and one that cannot be placed. Both axes tick every 0.5 from
// the least value to the greatest, which land on the plotting area's edges:
// x from 1 to 3 runs left to right over 80 ... 610, y from 2 to 4 bottom to
// top over 360 ... 50. The line breaks at the point left out, and the run
// after it holds one point, so only a mark.
TEST(tBLAMGraphPlotTest, PointsArePlacedOnTheAxes) {
  const char expected[] = R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="640.00" height="420.00" viewBox="0 0 640.00 420.00">
<style>
text { font-family: sans-serif; font-size: 13px; fill: #222; }
.title { font-size: 16px; font-weight: bold; }
.note { font-size: 11px; fill: #a33; }
.grid { stroke: #ddd; stroke-width: 1; }
.axis { stroke: #222; stroke-width: 1.5; fill: none; }
.line { stroke: #2a6fdb; stroke-width: 2; fill: none; }
.point { fill: #2a6fdb; }
</style>
<rect width="100%" height="100%" fill="white"/>
<text class="title" x="320.00" y="28.00" text-anchor="middle">a &lt;&amp;&gt; &quot;b&quot;</text>
<line class="grid" x1="80.00" y1="50.00" x2="80.00" y2="360.00"/>
<text class="tick" x="80.00" y="378.00" text-anchor="middle">1</text>
<line class="grid" x1="212.50" y1="50.00" x2="212.50" y2="360.00"/>
<text class="tick" x="212.50" y="378.00" text-anchor="middle">1.5</text>
<line class="grid" x1="345.00" y1="50.00" x2="345.00" y2="360.00"/>
<text class="tick" x="345.00" y="378.00" text-anchor="middle">2</text>
<line class="grid" x1="477.50" y1="50.00" x2="477.50" y2="360.00"/>
<text class="tick" x="477.50" y="378.00" text-anchor="middle">2.5</text>
<line class="grid" x1="610.00" y1="50.00" x2="610.00" y2="360.00"/>
<text class="tick" x="610.00" y="378.00" text-anchor="middle">3</text>
<line class="grid" x1="80.00" y1="360.00" x2="610.00" y2="360.00"/>
<text class="tick" x="74.00" y="364.00" text-anchor="end">2</text>
<line class="grid" x1="80.00" y1="282.50" x2="610.00" y2="282.50"/>
<text class="tick" x="74.00" y="286.50" text-anchor="end">2.5</text>
<line class="grid" x1="80.00" y1="205.00" x2="610.00" y2="205.00"/>
<text class="tick" x="74.00" y="209.00" text-anchor="end">3</text>
<line class="grid" x1="80.00" y1="127.50" x2="610.00" y2="127.50"/>
<text class="tick" x="74.00" y="131.50" text-anchor="end">3.5</text>
<line class="grid" x1="80.00" y1="50.00" x2="610.00" y2="50.00"/>
<text class="tick" x="74.00" y="54.00" text-anchor="end">4</text>
<polyline class="axis" points="80.00,50.00 80.00,360.00 610.00,360.00"/>
<text x="345.00" y="404.00" text-anchor="middle">c</text>
<text x="22.00" y="205.00" text-anchor="middle" transform="rotate(-90 22.00 205.00)">_fractalDimension_</text>
<polyline class="line" points="80.00,360.00 345.00,50.00"/>
<circle class="point" cx="80.00" cy="360.00" r="3"/>
<circle class="point" cx="345.00" cy="50.00" r="3"/>
<circle class="point" cx="610.00" cy="205.00" r="3"/>
<text class="note" x="610.00" y="42.00" text-anchor="end">1 point not shown: a value is not finite (nan or inf)</text>
</svg>
)svg";
  EXPECT_EQ(expected, tBLAMGraphPlot::makeSVG({{1.0, 2.0}, {2.0, 4.0}, {NAN, 0.0}, {3.0, 3.0}},
                                              "a <&> \"b\"", "c", "_fractalDimension_"));
}
