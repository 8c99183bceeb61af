// A coordinate animation: a looping time sensor drives an interpolator whose key values are the
// coordinates of every node at each key, routed to a coordinate node.
#include "ZVRMLWriter.h"

void ZVRMLWriter::writeCoordinateAnimation(const std::map<double, float*>& frames, int nodeCount,
                                           const char* target) {
    // Called after an export has closed its file, the animation goes to that file's end: the
    // routes then follow the coordinate node they drive, as VRML requires.
    const bool reopened = reopenLastFile();
    if (!stream.is_open()) return;

    writeTimeSensor("ts");

    writeText("\n");
    writeText("DEF ");
    writeText("ci");
    writeText(" CoordinateInterpolator {");
    writeText("\n");
    writeText("key [");
    for (const auto& [key, coords] : frames) {
        writeFloat(static_cast<float>(key));
        writeText(" ");
    }
    writeText("]");

    // All points of all frames stand on the one "keyValue [" line.
    writeText("\n");
    writeText("keyValue [");
    for (const auto& [key, coords] : frames) {
        for (int node = 0; node < nodeCount; ++node) {
            const float* xyz = coords + 3 * static_cast<long long>(node);
            writeTabs(level);
            writeTriple(xyz[0], xyz[1], xyz[2]);
        }
    }
    writeText("]");
    writeText("\n");
    writeText("}");

    writeInterpolatorRoutes("ts", "ci", target);
    if (reopened) closeFile();
}
