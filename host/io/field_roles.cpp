#include "field_roles.h"

#include <algorithm>
#include <array>

namespace host::io {
namespace {

// Names solvers give their displacements. A bare "u" is listed because structural codes use it;
// CFD results name their velocity so too, but theirs is not a node vector called "u" alone as
// often as a structural code's displacement is, and --displacement none turns it off.
constexpr std::array<std::string_view, 11> kDisplacementNames{
    "displacement", "displacements", "displ", "displ_", "disp", "depl",
    "nodal displacement", "nodal displacements", "displacement vector", "dis", "u"};

constexpr std::array<std::string_view, 3> kFailureNames{"failed", "deleted", "erosion"};

template <std::size_t N>
bool isOneOf(std::string_view name, const std::array<std::string_view, N>& names) {
    return std::any_of(names.begin(), names.end(), [&](std::string_view candidate) { return sameName(name, candidate); });
}

}  // namespace

bool sameName(std::string_view a, std::string_view b) {
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

FieldRole roleOf(const FieldShape& field, const ReadOptions& options) {
    const bool deformable = field.atNodes && field.components == 3;
    if (options.displacementField.empty() ? deformable && isOneOf(field.name, kDisplacementNames)
                                          : deformable && sameName(field.name, options.displacementField))
        return FieldRole::Deformation;
    if (options.failedField.empty() ? !field.atNodes && isOneOf(field.name, kFailureNames)
                                    : sameName(field.name, options.failedField))
        return FieldRole::Failure;
    return FieldRole::Field;
}

}  // namespace host::io
