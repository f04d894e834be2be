// The vector drawing of rose points: the sines and cosines of four points
// at a time from glibc's AVX2 vector functions, where the build has them and
// the processor runs them. Every pixel still equals the scalar path's: a
// guard recomputes with scalar sincos each point whose coordinate the vector
// functions' error could move across a pixel edge (see vector_rose_points.cpp).
#pragma once

#include <cstdint>

namespace vz {

// Which code computes a figure's points; both give the same pixels.
enum class DrawingPath { Scalar, Vector };

// True when the vector path is built in and the processor has AVX2.
bool vector_path_available();

// The path a run draws with, read afresh at each call: Vector where it is
// available, unless the environment variable VZ_SCALAR_DRAWING is set to
// anything but "" or "0".
DrawingPath drawing_path_from_environment();

// What the points of one batch of a ring share, as RoseFigure::Ring::points
// uses it; point i is at angle (ring_angle + spin[i]) + frame_angle.
struct RoseBatch {
    const double* spin;   // a2 per step
    const double* petal;  // sin B per step
    double ring_angle;    // a1
    double frame_angle;   // a3
    double radius;        // R
    double half;          // S / 2
    double last;          // S - 0.5, see clamp_coordinate
};

// Largest count for draw_vector_points and guarded_coordinates.
inline constexpr int kVectorBatch = 128;

// Draws the batch's first count - count % 4 points (count <= kVectorBatch)
// into xs and ys and returns how many it drew: 0 where the vector path is
// not available.
int draw_vector_points(const RoseBatch& batch, int count, int* xs, int* ys);

// The coordinates of the batch's first count points (a multiple of 4) from
// the sines and cosines given for their angles, with the guard where the
// vector path is available (scalar sincos for every point elsewhere).
void guarded_coordinates(const RoseBatch& batch, int count, const double* sin_a, const double* cos_a, int* xs,
                         int* ys);

// Points the guard has recomputed with scalar sincos in this process.
std::uint64_t guard_firings();

}  // namespace vz
