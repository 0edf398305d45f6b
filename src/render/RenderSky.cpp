#include "render/RenderSky.h"

#include <algorithm>
#include <cmath>

#include "render/Easing.h"
#include "render/WorkCrew.h"

namespace horizonmill {
namespace {

int Sign(double v) { return (v > 0) - (v < 0); }

// Rows per block of work (and per progress report).
constexpr int kSkyBlockRows = 32;

}  // namespace

double StopInterpolate(const double* A, const double* B, int N, double x, double w) {
  if (N <= 0) return 0;
  if (N == 1) return A[0];
  // The segment ends at the first stop strictly beyond x (the last one if none).
  int h = N - 1;
  for (int i = 0; i < N; ++i) {
    if (B[i] > x) {
      h = i;
      break;
    }
  }
  // Rows above a first stop placed below 0.0 have no segment; they take the
  // first segment's curve, extrapolated.
  if (h == 0) h = 1;
  const double lin = EaseIn(A[h - 1], A[h], B[h - 1], B[h], x, 1.0);
  const double s = (A[h] - A[h - 1]) / (B[h] - B[h - 1]);

  double L = lin;
  if (h > 1) {
    const double sp = (A[h - 1] - A[h - 2]) / (B[h - 1] - B[h - 2]);
    double r = sp == 0 ? 10 : std::fabs(s) / std::fabs(sp);
    r = std::min(r, 10.0);
    if (Sign(s) != Sign(sp) && sp != 0)  // the channel turns round at stop h - 1
      L = EaseIn(A[h - 1], A[h], B[h - 1], B[h], x, r * 1.0 + 1);
    else if (std::fabs(s) > std::fabs(sp))
      L = EaseIn(A[h - 1], A[h], B[h - 1], B[h], x, r / 10 + 1);
    else
      L = EaseOut(A[h - 1], A[h], B[h - 1], B[h], x, r / 10 + 1);
  }

  double Q = lin;
  if (h < N - 1) {
    const double sn = (A[h + 1] - A[h]) / (B[h + 1] - B[h]);
    double r = sn == 0 ? 10 : std::fabs(s) / std::fabs(sn);
    r = std::min(r, 10.0);
    if (Sign(s) != Sign(sn) && sn != 0)  // the channel turns round at stop h
      Q = EaseOut(A[h - 1], A[h], B[h - 1], B[h], x, r * 1.0 + 1);
    else if (std::fabs(s) >= std::fabs(sn))
      Q = EaseOut(A[h - 1], A[h], B[h - 1], B[h], x, r / 10 + 1);
    else
      Q = EaseIn(A[h - 1], A[h], B[h - 1], B[h], x, r / 10 + 1);
  }

  const double t = (1 / (B[h] - B[h - 1])) * (x - B[h - 1]);
  const double blend = (1 - t) * L + t * Q;
  return lin * w + blend * (1 - w);
}

void RenderSky(RenderContext& context, WorkBitmap& target, SkyGradation gradation) {
  if (context.AbortRequested) return;
  const int W = target.Width(), H = target.Height();
  const int n = std::clamp(gradation.Count, 0, SkyGradation::kCapacity);
  double red[SkyGradation::kCapacity], green[SkyGradation::kCapacity],
      blue[SkyGradation::kCapacity], rows[SkyGradation::kCapacity];
  for (int i = 0; i < n; ++i) {
    red[i] = gradation.Colors[i].r;
    green[i] = gradation.Colors[i].g;
    blue[i] = gradation.Colors[i].b;
    rows[i] = static_cast<double>(H * gradation.Positions[i]);
  }
  // Each channel is rounded and keeps its low eight bits (no clamping; within
  // the editor's invariants the value stays in 0..255). A value that is no
  // number (two stops at one position) counts as 0.
  auto channel = [](double v) -> std::uint8_t {
    if (!(std::fabs(v) < 2e9)) return 0;
    return static_cast<std::uint8_t>(static_cast<long long>(std::nearbyint(v)) & 0xff);
  };
  // Rows are independent: blocks of them go to the stage's threads.
  auto rows_of = [&](int, std::int64_t first, std::int64_t last) {
    for (int y = static_cast<int>(first); y < last; ++y) {
      const BgrPixel colour{channel(StopInterpolate(blue, rows, n, y, 0.0)),
                            channel(StopInterpolate(green, rows, n, y, 0.0)),
                            channel(StopInterpolate(red, rows, n, y, 0.0))};
      std::fill_n(target.Row(y), W, colour);
    }
  };
  WorkCrew crew(context.Threads);
  if (!crew.Run(H, kSkyBlockRows, rows_of,
                [&](std::int64_t done) { return context.PollUnits(done, H); }))
    return;
  context.RenderProgress = 100;
}

}  // namespace horizonmill
