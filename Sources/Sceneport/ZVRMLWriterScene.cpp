// The frame of every scene: the viewpoint, the "Global_model" transform that holds every part
// with the camera's placement, and the sphere sensor that lets the viewer turn the model.
#include "ZVRMLWriter.h"

namespace {

constexpr const char* kGlobalModelName = "Global_model";

}  // namespace

void ZVRMLWriter::writeViewpoint(float largest, const float* center) {
    // No line break first: the viewpoint starts the line that follows the header.
    writeText("Viewpoint { ");
    newLineDeeper();
    writeText("position\t");
    // Doubled in double precision, so the largest floats do not become infinite.
    writeTriple(center[0], center[1], 2.0 * largest);
    newLine();
    writeText("fieldOfView 0.785");
    newLine();
    writeText("description \"Top View\"");
    closeBrace();
}

void ZVRMLWriter::beginGlobalModel(float* center, const float* scale, const float* rotation,
                                   const float* translation) {
    if (globalModelWritten) return;
    writeText("\n");
    writeText("DEF ");
    writeText(kGlobalModelName);
    writeText(" Transform {");

    newLineDeeper();
    writeText("scale\t");
    for (int axis = 0; axis < 3; ++axis) writeFormatted(L"%f ", scale[axis]);

    // The camera translation places the model, so the transform turns and scales it about the
    // origin; the caller's centre is cleared to say so.
    newLine();
    writeText("center\t");
    for (int axis = 0; axis < 3; ++axis) {
        center[axis] = 0.0f;
        writeFormatted(L"%f ", center[axis]);
    }

    newLine();
    writeText("rotation\t");
    for (int component = 0; component < 4; ++component) writeFormatted(L"%f ", rotation[component]);

    newLine();
    writeText("translation\t");
    for (int axis = 0; axis < 3; ++axis) writeFormatted(L"%f ", translation[axis]);

    writeText("\n");
    newLineDeeper();
    writeText("children [");
    globalModelWritten = true;
}

void ZVRMLWriter::endGlobalModel() {
    closeBracket();
    closeBrace();
    level = 0;
    writeText("\n");
    writeText("DEF ss SphereSensor { }");
    writeText("\n");
    writeText("ROUTE ss.rotation_changed TO ");
    writeText(kGlobalModelName);
    writeText(".set_rotation");
}
