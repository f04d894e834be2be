#include "pattern/rose_figure.h"

#include <algorithm>
#include <cmath>

#include "pattern/vector_rose_points.h"

namespace vz {

namespace {

int petal_frequency(const PatternParameters& pattern) { return pattern.petal_digit + 4; }

}  // namespace

int ring_count(double reference_size) {
    return static_cast<int>(std::floor(3 * std::sqrt(reference_size) / 1.7));
}

Point plot_point(const PatternParameters& pattern, double picture_size, int ring, int step, int frame_number) {
    const double S = picture_size;
    const double M = pattern.reference_size;
    const double k = ring;
    const double f = frame_number;

    const double theta = static_cast<double>(step) / kStepsPerRadian;
    double a1 = (pattern.twist_digit / 10.0 + 0.5) * (k / 4);
    a1 = a1 / (std::sqrt(M) / 2);
    const double a2 = theta * (pattern.spin_digit + 1);
    const double a3 = (f / M) * 3;
    const double A = a1 + a2 + a3;
    const double B = theta * petal_frequency(pattern);

    double r = k * std::sqrt(M);
    r = r / 4;
    r = r / 1.5;
    r = r * (f / M * 10 + 1);
    r = r * (pattern.shrink_digit / 10.0 + 0.5);
    const double R = S / 2 - r;

    const double X = std::floor(R * std::sin(A) * std::sin(B) + S / 2) + 1;
    const double Y = std::floor(R * std::cos(A) * std::sin(B) + S / 2) + 1;
    return {static_cast<int>(std::clamp(X, 1.0, S)), static_cast<int>(std::clamp(Y, 1.0, S))};
}

RoseFigure::RoseFigure(const PatternParameters& pattern, double picture_size, DrawingPath drawing)
    : size_(picture_size),
      half_size_(picture_size / 2),
      last_coordinate_(picture_size - 0.5),
      root_m_(std::sqrt(pattern.reference_size)),
      twist_term_(pattern.twist_digit / 10.0 + 0.5),
      shrink_term_(pattern.shrink_digit / 10.0 + 0.5),
      reference_size_(pattern.reference_size),
      ring_count_(vz::ring_count(pattern.reference_size)),
      vector_(drawing == DrawingPath::Vector && vector_path_available()) {
    const int steps = kSweepsPerRing * kSweepStride;
    spin_angle_.resize(steps);
    petal_sine_.resize(steps);
    const int spin = pattern.spin_digit + 1;
    const int w = petal_frequency(pattern);
    for (int j = 0; j < steps; ++j) {
        const double theta = static_cast<double>(j) / kStepsPerRadian;
        spin_angle_[j] = theta * spin;
        petal_sine_[j] = std::sin(theta * w);
    }
}

RoseFigure::Ring RoseFigure::ring(int frame_number, int ring) const {
    const double k = ring;
    const double f = frame_number;
    Ring result;
    result.figure_ = this;
    result.ring_angle_ = twist_term_ * (k / 4) / (root_m_ / 2);
    result.frame_angle_ = (f / reference_size_) * 3;
    double r = k * root_m_;
    r = r / 4;
    r = r / 1.5;
    r = r * (f / reference_size_ * 10 + 1);
    r = r * shrink_term_;
    result.radius_ = half_size_ - r;
    return result;
}

Point RoseFigure::Ring::point(int step) const {
    Point p;
    points(step, 1, &p.x, &p.y);
    return p;
}

void RoseFigure::Ring::points(int first, int count, int* xs, int* ys) const {
    const RoseFigure& figure = *figure_;
    const double* spin = &figure.spin_angle_[static_cast<std::size_t>(first)];
    const double* petal = &figure.petal_sine_[static_cast<std::size_t>(first)];
    const double R = radius_, half = figure.half_size_, last = figure.last_coordinate_;
    // On the vector path, vector sin/cos draw the points four at a time with
    // the same pixels (see vector_rose_points.h); these loops do the rest.
    static_assert(kBatch <= kVectorBatch);
    const int drawn =
        figure.vector_ ? draw_vector_points({spin, petal, ring_angle_, frame_angle_, R, half, last}, count, xs, ys) : 0;
    alignas(32) double sin_a[kBatch], cos_a[kBatch];
    for (int i = drawn; i < count; ++i) ::sincos(ring_angle_ + spin[i] + frame_angle_, &sin_a[i], &cos_a[i]);
    for (int i = drawn; i < count; ++i) {
        xs[i] = clamp_coordinate(R * sin_a[i] * petal[i] + half, last);
        ys[i] = clamp_coordinate(R * cos_a[i] * petal[i] + half, last);
    }
}

}  // namespace vz
