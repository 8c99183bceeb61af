// What a result field is to the host: a contour field, the displacement that moves the nodes, or
// the flags that fail elements. One rule for every reader family, so that a field plays the same
// role whatever format it comes in.
#pragma once

#include "model_reader.h"

#include <string_view>

namespace host::io {

enum class FieldRole { Field, Deformation, Failure };

// What a reader knows of a field when it decides: its name as the file gives it, its components
// and whether it has a value per node or per element.
struct FieldShape {
    std::string_view name;
    int components = 1;
    bool atNodes = true;
};

// A field's role under `options`:
// - Deformation: a three-component node field named as `options.displacementField` says (any
//   case), or, without that option, under one of the usual displacement names (displacement,
//   displacements, displ, displ_, disp, depl, nodal displacement, u, ...); none with "none";
// - Failure: the field `options.failedField` names, or, without that option, an element field
//   named failed, deleted or erosion;
// - Field otherwise.
// A reader takes the first deformation it meets and treats later candidates as fields.
FieldRole roleOf(const FieldShape& field, const ReadOptions& options);

// Case-insensitive comparison of names.
bool sameName(std::string_view a, std::string_view b);

}  // namespace host::io
