// Indexed face sets: the shared coordinate list, the faces of every element kind, and the contour
// colouring as one colour per face or one texture coordinate per node.
#include "ZVRMLElementKinds.h"
#include "ZVRMLWriter.h"

namespace {

// The skip walks take the smallest remaining entry of their own copy of the set and compare it
// with the element at hand. An entry below 0 names no element and would stay the smallest for
// ever, stopping every later skip, so the copies drop those entries first.
std::set<int> elementsToSkip(std::set<int> skipped) {
    skipped.erase(skipped.begin(), skipped.lower_bound(0));
    return skipped;
}

// Takes `element` off the front of the walk's set when it is the next one to leave out.
bool skipNext(std::set<int>& remaining, int element) {
    if (remaining.empty() || *remaining.begin() != element) return false;
    remaining.erase(remaining.begin());
    return true;
}

// An unknown kind has no faces, so its face, colour and colour index lists stay empty.
int facesPerElement(int kind) {
    return isVRMLElementKind(kind) ? kVRMLElementKinds[kind].facesPerElement() : 0;
}

int writtenElementCount(int elementCount, const std::set<int>& skippedElements) {
    int written = elementCount;
    for (int element : skippedElements)
        if (element >= 0 && element < elementCount) --written;
    return written;
}

}  // namespace

void ZVRMLWriter::writeIndexedFaceSet(int kind, int nodeCount, const float* nodeCoords,
                                      int elementCount, const int* connectivity,
                                      const char* coordName, const float* contourValues,
                                      const std::vector<int>& elementColors,
                                      const std::set<int>& skippedElements, bool perElementColors,
                                      bool shareCoords, bool partHasContours) {
    newLineDeeper();
    writeText("geometry IndexedFaceSet {");
    writeCoordinate(nodeCount, nodeCoords, coordName, shareCoords);
    if (perElementColors && partHasContours) {
        writeColor(elementColors, skippedElements, kind);
        // Face i takes colour i: the colour list leaves out exactly the faces that the index list
        // leaves out.
        writeColorIndex(facesPerElement(kind) *
                        writtenElementCount(elementCount, skippedElements));
    }
    writeCoordIndex(kind, connectivity, elementCount, skippedElements);
    writeText("\n");
    if (contourValues != nullptr && !perElementColors)
        writeTextureCoordinate(contourValues, nodeCount);
    newLine();
    writeText("solid FALSE");
    newLine();
    writeText("creaseAngle 0.785");
    closeBrace();
}

void ZVRMLWriter::writeCoordinate(int nodeCount, const float* nodeCoords, const char* name,
                                  bool shareCoords) {
    if (coordDefined && shareCoords) {
        writeCoordUse(name);
        return;
    }
    newLineDeeper();
    writeText("coord ");
    writeText("DEF ");
    writeText(name);
    writeText(" Coordinate {");
    newLineDeeper();
    writeText("point [");
    writeText("\n");
    for (int node = 0; node < nodeCount; ++node) {
        const float* xyz = nodeCoords + 3 * static_cast<long long>(node);
        writeTabs(level);
        writeTriple(xyz[0], xyz[1], xyz[2]);
        writeText("\n");
    }
    closePointList();
    coordDefined = true;
}

// Ends a "point [" or "color [" list and its node: a line of indentation one level up, the
// bracket another level up, then the brace.
void ZVRMLWriter::closePointList() {
    --level;
    writeTabs(level);
    writeText("\n");
    --level;
    writeTabs(level);
    writeText("]");
    closeBrace();
}

void ZVRMLWriter::writeColor(const std::vector<int>& elementColors, std::set<int> skippedElements,
                             int kind) {
    newLineDeeper();
    writeText("color ");
    writeText("DEF ");
    writeText("ZE_Coord_Color ");
    writeText(" Color {");
    newLineDeeper();
    writeText("color [");
    newLine();

    std::set<int> remaining = elementsToSkip(std::move(skippedElements));
    const size_t entriesPerElement = 3 * static_cast<size_t>(facesPerElement(kind));
    const size_t entryCount = entriesPerElement > 0 ? elementColors.size() : 0;
    int element = 0;
    int writtenEntries = 0;
    for (size_t entry = 0; entry < entryCount;) {
        if (entry % entriesPerElement == 0) {
            const bool skip = skipNext(remaining, element);
            ++element;
            if (skip) {
                entry += entriesPerElement;
                continue;
            }
        }
        writeFloat(static_cast<float>(elementColors[entry]) / 255.0f);
        writeText(" ");
        ++entry;
        if (++writtenEntries % 3 == 0) {
            writeText(",");
            newLine();
        }
    }

    closePointList();
}

void ZVRMLWriter::writeCoordIndex(int kind, const int* connectivity, int elementCount,
                                  const std::set<int>& skippedElements) {
    newLineDeeper();
    writeText("coordIndex [");
    if (isVRMLElementKind(kind)) {
        const ZVRMLElementKind& info = kVRMLElementKinds[kind];
        std::set<int> remaining = elementsToSkip(skippedElements);
        for (int element = 0; element < elementCount; ++element) {
            if (skipNext(remaining, element)) continue;
            const int* nodes = connectivity + static_cast<long long>(element) * info.nodesPerElement;
            if (info.layout == ZVRMLFaceLayout::ElementPerLine) newLine();
            if (info.layout == ZVRMLFaceLayout::FacePerLineIndented) writeTabs(level);
            for (const ZVRMLFace& face : info.faces) {
                for (int corner = 0; corner < face.nodeCount; ++corner) {
                    writeInt(nodes[face.positions[corner]]);
                    writeText(", ");
                }
                writeText("-1,");
                if (info.layout != ZVRMLFaceLayout::ElementPerLine) {
                    writeText("\n");
                    writeTabs(level);
                }
            }
        }
    }
    closeBracket();
}

void ZVRMLWriter::writeTextureCoordinate(const float* values, int count) {
    writeTabs(level);
    if (texCoordDefined) {
        writeText("texCoord USE texVals");
        return;
    }
    writeText("texCoord DEF texVals TextureCoordinate {");
    newLineDeeper();
    writeText("point [");
    for (int node = 0; node < count; ++node) {
        newLine();
        writeFloat(values[node]);
        writeText(" 0,");
    }
    writeText("\n");
    writeText("\n");
    --level;
    writeTabs(level);
    writeText("]");
    closeBrace();
    texCoordDefined = true;
}
