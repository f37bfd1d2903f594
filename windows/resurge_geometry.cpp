#include "resurge_geometry.h"

#include <algorithm>

namespace {

const double kBoxFactor = 0.9;
constexpr double kSampleScale = 1.0 / 32767;
static_assert(kSampleScale == 3.051850947599719e-05);
const double kPercentageFactor = 0.01;
const int kBlankingPeriod = 5;
const int kXLabelInset = 12;

}  // namespace

ResurgeGeometry ComputeResurgeGeometry(int clientWidth, int clientHeight)
{
    ResurgeGeometry g;
    g.cx = clientWidth / 2;
    g.cy = clientHeight / 2;
    g.s = TruncToInt(std::min(g.cx, g.cy) * kBoxFactor);
    return g;
}

int ResurgeXSample(int left, int right, int xChannel)
{
    return xChannel == 1 ? left : right;
}

int ResurgeYSample(int left, int right, int yChannel)
{
    return yChannel == 2 ? right : left;
}

ResurgePoint ResurgePlotPoint(const ResurgeGeometry& g, int xSample, int ySample)
{
    const int dx = TruncToInt(static_cast<double>(xSample) * g.s * kSampleScale);
    const int dy = TruncToInt(static_cast<double>(ySample) * g.s * kSampleScale);
    return {ClampToInt(static_cast<long long>(g.cx) + dx),
            ClampToInt(static_cast<long long>(g.cy) - dy)};
}

bool IsValidThinResurgeWave(int percentage)
{
    return percentage <= kResurgeLargestPercentage;
}

int ResurgeFrameCount(int percentage, int countOfFrames, bool skipIfOverload,
                      unsigned framesPerBlock)
{
    if (countOfFrames <= 0)
        return 0;
    // |INT_MAX x INT_MIN| < 2^63: the product is exact in 64 bits.
    const long long product = static_cast<long long>(percentage) * countOfFrames;
    const double share = static_cast<double>(product) * kPercentageFactor;
    if (!(share > 0.0))
        return 0;
    long long n = share >= countOfFrames ? countOfFrames : static_cast<long long>(share);
    const long long perBlock = framesPerBlock;
    if (skipIfOverload && perBlock > 0 && countOfFrames > perBlock)
        n /= countOfFrames / perBlock;
    return static_cast<int>(n);
}

void ComputeResurgeFrame(int clientWidth, int clientHeight, int xChannel, int yChannel,
                         ResurgeFrame* frame)
{
    const ResurgeGeometry g = ComputeResurgeGeometry(clientWidth, clientHeight);
    const int cx = g.cx, cy = g.cy, s = g.s;
    // With s <= min(cx, cy) none of these sums can overflow.
    frame->xLabelX = ClampToInt(static_cast<long long>(clientWidth) - kXLabelInset);
    frame->xLabelY = cy;
    frame->yLabelX = ClampToInt(static_cast<long long>(cx) + 2);
    frame->yLabelY = -1;
    frame->xLabel = xChannel == 1 ? "L" : "R";
    frame->yLabel = yChannel == 1 ? "L" : "R";
    frame->axes[0] = {0, cy, clientWidth, cy};
    frame->axes[1] = {cx, 0, cx, clientHeight};
    frame->box[0] = {cx - s, cy - s, cx + s, cy - s};
    frame->box[1] = {cx - s, cy + s, cx + s, cy + s};
    frame->box[2] = {cx - s, cy - s, cx - s, cy + s};
    frame->box[3] = {cx + s, cy - s, cx + s, cy + s};
    frame->blank[0] = {cx - s + 1, cy - s + 1, cx, cy};
    frame->blank[1] = {cx + 1, cy - s + 1, cx + s, cy};
    frame->blank[2] = {cx - s + 1, cy + 1, cx, cy + s};
    frame->blank[3] = {cx + 1, cy + 1, cx + s, cy + s};
}

bool ResurgeBlankThisPaint(int sweepPosition)
{
    return sweepPosition % kBlankingPeriod == 0;
}

bool ResurgeSquareTarget(int outerWidth, int outerHeight, int captionHeight, int nestedMoves,
                         int* newWidth, int* newHeight)
{
    const long long w = outerWidth, h = outerHeight, c = captionHeight;
    if (w == h - c)
        return false;
    if (nestedMoves >= kResurgeMaxNestedMoves)
        return false;
    const int targetWidth = ClampToInt(std::max(w, h) - c);
    const int targetHeight = std::max(targetWidth, outerHeight);
    if (targetWidth == outerWidth && targetHeight == outerHeight)
        return false;
    *newWidth = targetWidth;
    *newHeight = targetHeight;
    return true;
}
