// Just enough vector geometry to check element faces: on which bounding plane a polygon lies,
// which way it faces, and whether it is convex.
#pragma once

#include <array>
#include <span>
#include <vector>

namespace msh_geometry {

using Point = std::array<double, 3>;

Point minus(const Point& a, const Point& b);
Point cross(const Point& a, const Point& b);
double dot(const Point& a, const Point& b);
Point centroid(std::span<const Point> points);

// The polygon's normal (Newell's method): its length is twice the area, its direction follows
// the right-hand rule around the polygon.
Point polygonNormal(std::span<const Point> polygon);

// Whether every turn of the polygon goes the way of `normal` (collinear runs allowed), so that a
// polygon with the full area cannot cross itself.
bool turnsOneWay(std::span<const Point> polygon, const Point& normal);

// The planes of the convex hull of `corners` (three or more corners not all in one plane), each
// with its normal pointing outwards.
struct Plane {
    Point normal;
    double offset;  // dot(normal, p) == offset on the plane
    bool holds(const Point& p) const;
};
std::vector<Plane> boundingPlanes(std::span<const Point> corners);

}  // namespace msh_geometry
