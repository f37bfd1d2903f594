#include "frame_geometry.h"

LineSegment ScaleAxis(int clientHeight) {
  return {kScaleMargin, 0, kScaleMargin, clientHeight};
}

SweepCursorLines ComputeSweepCursor(int sweepColumn, int clientHeight) {
  const int next = ClampToInt(static_cast<long long>(sweepColumn) + 1);
  return {{sweepColumn, 0, sweepColumn, clientHeight}, {next, 0, next, clientHeight}};
}

int ResolvePlacementExtent(int requested, int current) {
  return requested == 0 ? current : requested;
}
