// One step of a Gmsh view laid onto the host's model: which of its values belongs to each model
// node (each copy of a Gmsh node) and to each host element, and the one number a field shows.
#pragma once

#include "gmsh_mesh.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace host::io {

struct ViewStep {
    std::string dataType;  // "NodeData", "ElementData", "ElementNodeData", ...
    std::vector<std::size_t> tags;
    std::vector<double> data;  // stride() numbers per tag (element-node data padded by Gmsh)
    double time = 0.0;
    int components = 0;

    std::size_t stride() const { return tags.empty() ? 0 : data.size() / tags.size(); }
    std::span<const double> value(std::ptrdiff_t position) const {
        return std::span<const double>(data).subspan(static_cast<std::size_t>(position) * stride(), stride());
    }
};

inline constexpr std::ptrdiff_t kNoValue = -1;

// A number from Gmsh as the host's float. One beyond a float's range becomes infinite, as the
// hardware makes it, without the conversion C++ leaves undefined; gmsh_finite_values.h replaces it.
inline float toFloat(double value) {
    if (std::isnan(value) || std::fabs(value) <= std::numeric_limits<float>::max()) return static_cast<float>(value);
    return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
}

// Per model node (parts one after another), the position of its Gmsh node's value in `step`.
std::vector<std::ptrdiff_t> nodeValuePositions(const GmshMesh& mesh, const ViewStep& step);

// Per host element, in the host's order of per-element values, the position of its Gmsh
// element's value in `step`.
std::vector<std::ptrdiff_t> elementValuePositions(const GmshMesh& mesh, const ViewStep& step);

// The number a field shows for one value: a scalar as it is, a vector's magnitude, a tensor's
// von Mises stress (its shear terms the mean of each symmetric pair).
float fieldValue(std::span<const double> components);

struct NodeAverages {
    std::vector<float> values;  // per model node
    std::size_t missing = 0;    // nodes no element gave a value
};

// Element-node data as per-node values: at each model node, the mean over the elements of its
// part that give a value there, each element-node value reduced by fieldValue first.
NodeAverages averageAtNodes(const GmshMesh& mesh, const ViewStep& step);

}  // namespace host::io
