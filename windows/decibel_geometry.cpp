#include "decibel_geometry.h"

#include <cmath>
#include <cstdio>

#include "frame_geometry.h"

namespace {

const double kSpanFactor = 0.9;
const double kFullRange = 96.0;
const int kLowestLevel = -96;
const int kLabelX = 20;
const int kZeroLabelX = 5;
const int kLabelRise = 8;
const std::uint32_t kTitleInterval = 1000;

}  // namespace

int DecibelToY(double level, int clientHeight)
{
    const int span = TruncToInt(clientHeight * kSpanFactor);
    // H and span share their sign and |span| <= |H|: no overflow.
    const int margin = (clientHeight - span) / 2;
    return TruncToInt(std::fabs(level / kFullRange) * span + margin);
}

int DecibelGridStep(int clientHeight)
{
    return clientHeight <= 300 ? 12 : 6;
}

void ComputeDecibelScale(int clientWidth, int clientHeight, DecibelScale* scale)
{
    scale->axis = {kScaleMargin, DecibelToY(0, clientHeight), kScaleMargin,
                   DecibelToY(kLowestLevel, clientHeight)};
    const int step = DecibelGridStep(clientHeight);
    scale->lineCount = 0;
    for (int v = kLowestLevel; v <= 0; v += step) {
        DecibelGridLine& g = scale->lines[scale->lineCount++];
        const int row = DecibelToY(v, clientHeight);
        g.value = v;
        g.line = {kScaleMargin, row, clientWidth, row};
        g.labelY = ClampToInt(static_cast<long long>(row) - kLabelRise);
        if (v == 0) {
            g.labelX = kZeroLabelX;
            std::snprintf(g.label, sizeof g.label, "[dB] %d", 0);
        } else {
            g.labelX = kLabelX;
            std::snprintf(g.label, sizeof g.label, "%3d", v);
        }
    }
}

DecibelTraceStep AdvanceDecibelTrace(DecibelTraceState* state, int sweepColumn, int clientHeight,
                                     double leftLevel, double rightLevel)
{
    const int x0 = ClampToInt(static_cast<long long>(sweepColumn) - 1);
    const int rightRow = DecibelToY(rightLevel, clientHeight);
    const int leftRow = DecibelToY(leftLevel, clientHeight);
    DecibelTraceStep step;
    step.right = {x0, state->previousRightY, sweepColumn, rightRow};
    step.left = {x0, state->previousLeftY, sweepColumn, leftRow};
    state->previousRightY = rightRow;
    state->previousLeftY = leftRow;
    return step;
}

bool DecibelTitleDue(std::uint32_t now, std::uint32_t lastUpdate)
{
    return static_cast<std::uint32_t>(now - lastUpdate) > kTitleInterval;
}

int FormatDecibelTitle(char* buf, std::size_t size, double left, double right)
{
    return std::snprintf(buf, size, "有効デシベル - L: %5.1f[dB]  R: %5.1f[dB]", left, right);
}
