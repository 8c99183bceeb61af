// The host's in-memory scene: models with parts, frames and result fields; windows with a
// contour display, a colour spectrum and a 3D view. The hostapi functions are thin views of
// these objects; the builder (scene_builder.h) and the model readers fill them.
#pragma once

#include "hostapp.h"
#include "hostmodel.h"
#include "placement.h"

#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace host {

enum class ValueLocation { Node, Element };

// Where an element sits in its part: mesh type and position in that type's list.
struct ElementRef {
    int meshType;
    int index;
};

// The frame an element fails at, per element of one mesh type; kNever when it does not.
constexpr int kNever = INT_MAX;

struct Part : FePartStr {
    std::string name;        // as the host shows it, and as it becomes a node name
    std::string sourceName;  // as the model file gives it, when loading had to change it
    int id = 0;
    int declaredDimensionality = 0;  // 0: derived from the elements
    std::array<std::vector<int>, FE_MESH_TYPE_COUNT> connectivity;  // model node numbers
    std::vector<int> lineConnectivity;  // 2-node line elements (one-dimensional parts)
    int firstNode = 0;
    int nodeCount = 0;
    int opacity = 255;
    int ownColor = 0;  // palette number; FePartStr::color is kContourWhite while contoured
    bool contoursShown = true;
    // Set while a window shows solids as their outer skin: a 3D part is then described as it is
    // shown, its elements being its skin faces (element count, mesh record).
    bool shownAsSkin = false;
    std::array<std::vector<int>, FE_MESH_TYPE_COUNT> failFrame;  // empty: nothing fails
    std::set<std::pair<int, int>> switchedOff;                    // (mesh type, index)

    // What FePartGetMeshData hands out; rebuilt when the part changes.
    std::array<int, FE_MESH_TYPE_COUNT> meshElementCounts{};
    std::array<int*, FE_MESH_TYPE_COUNT> meshLists{};

    struct Skin {
        std::vector<int> triangles, quads;  // 3 and 4 node numbers per face
        std::vector<ElementRef> triangleOwner, quadOwner;
    };
    std::optional<Skin> skin;  // built on first request

    Part();
    bool ReadValue(int key, void* out) const override;

    int elementCount(int meshType) const;
    int lineElementCount() const { return static_cast<int>(lineConnectivity.size() / 2); }
    int totalElementCount() const;
    // The elements as a window shows them: a 3D part shown as its skin has its skin faces.
    int shownElementCount() const;
    // Where the element's value stands among the part's element values (mesh types in order).
    int valuePosition(ElementRef element) const;
    int dimensionality() const;
    bool hasFailed(ElementRef element, int frameIndex) const;
    void refreshMeshData();
    Skin& outerSkin();
};

struct Field {
    std::string name;
    ValueLocation location = ValueLocation::Node;
    // Values per frame: given (readers), or made on request by `generator` (builder).
    std::vector<std::vector<float>> frames;
    std::function<float(int frame, int index)> generator;
};

Matrix4 identityMatrix();

struct Window;

}  // namespace host

struct ModelStr {
    std::string title;
    std::vector<std::unique_ptr<host::Part>> parts;
    std::vector<void*> partObjects;      // MngrGetObjectList's array
    std::vector<FePartStr*> resultParts;  // the result object's part array
    std::vector<float> referenceCoords;  // x, y, z per node
    bool hasResult = true;
    std::vector<float> times;            // one per frame; at least one when hasResult
    std::vector<std::vector<float>> frameCoords;  // per frame; empty: reference or motion
    std::function<void(int frame, int node, float* xyz)> motion;
    std::vector<host::Field> fields;
    std::vector<host::Matrix4> cameras;  // per frame; a missing one is the identity
    // The display's deformation scale, per axis: frames show reference + scale × displacement,
    // on top of the factors a caller of setFrame passes.
    std::array<double, 3> deformationScale{1.0, 1.0, 1.0};
    // How the frames' coordinates are presented to the plug-in, and whether each frame's camera
    // is computed to frame them (placement.h); by default the file's coordinates as they are.
    host::Placement placement;

    FePostResultStr result{};
    std::vector<float> currentCoords;  // what result.nodeCoords points at
    int shownFrame = -1;

    // While above 0, changes made through the builder wait: the part lists, the shown frame and
    // the windows are brought up to date once, when the last host::BatchedChanges ends.
    int changeBatches = 0;
    bool changesWaiting = false;

    struct AppObject final : IZEModelObject {
        ModelStr* model = nullptr;
        WindowStr* GetWindow() const override;
    } appObject;

    ModelStr();
    int nodeCount() const { return static_cast<int>(referenceCoords.size() / 3); }
    int frameCount() const { return hasResult ? static_cast<int>(times.size()) : 0; }
    int totalElementCount() const;
    // Sets the result's coordinates to frame `frameIndex`, displacements scaled per axis, as the
    // placement presents them; a framing placement also sets the frame's camera.
    bool setFrame(int frameIndex, const std::array<double, 3>& scale = {1.0, 1.0, 1.0});
    // The values of field `field` at `frameIndex`, one per node or per element (host layout).
    const std::vector<float>& fieldValues(int field, int frameIndex);
    int findField(const std::string& name) const;
    // Refreshes the pointers the result object and the object list hand out.
    void refreshPartLists();

private:
    std::vector<float> m_generated;  // a generated field's values at one frame
    std::pair<int, int> m_generatedKey{-1, -1};
};

namespace host {

// A banded colour scale.
class Spectrum final : public CZdbSpectrum {
public:
    Spectrum();
    int IsColorBarShown() const override { return colorBarShown ? 1 : 0; }
    float GetMinimum() const override { return minimum; }
    float GetMaximum() const override { return maximum; }
    int GetValueLocation() const override { return valueLocation; }
    uint32_t GetColorForValue(float value) const override;
    void GetLevelValues(float* levels) const override;
    int GetColorTable(unsigned int** colors) const override;
    int GetBandingMode() const override { return bandingMode; }
    int GetRangeMode() const override { return autoRange ? 1 : 0; }

    void setBandCount(int bands);  // rainbow colours, blue (low) to red (high)
    void setColors(std::vector<uint32_t> packed);
    int bandCount() const { return static_cast<int>(colors.size()); }
    // An automatic range follows `values` (their finite minimum and maximum).
    void updateRange(const std::vector<float>& values);
    int bandOf(float value) const;

    std::vector<uint32_t> colors;  // packed, band 0 first
    float minimum = 0.0f;
    float maximum = 0.0f;
    bool autoRange = true;
    int valueLocation = 0;
    bool colorBarShown = true;
    int bandingMode = 1;
};

// One row of RGBA pixels, the bands of a spectrum side by side.
struct SpectrumTexture final : ZETextureManager {
    static constexpr int kWidth = 256;
    std::vector<unsigned char> pixels;
    RenderTextureAttributes attributes{};
    RenderTextureAttributes* GetSceneGivenSpectrum(const CZdbSpectrum* spectrum) override;
    void rebuild(int bandCount, const unsigned int* colorTable);
};

struct ContourSettings final : ZDbs {
    WindowStr* window = nullptr;
    bool ReadValue(int key, void* out) const override;
};

struct View3D final : IZEView3D {
    std::array<double, 3> eye{0.0, 0.0, 0.0};
    void GetCameraPosition(double& x, double& y, double& z) const override;
};

}  // namespace host

struct WindowInfoStr {
    host::ContourSettings contour;
};

struct WindowStr {
    ModelStr* model = nullptr;
    // Contour display
    bool contourShown = false;
    int field = -1;
    host::ValueLocation display = host::ValueLocation::Node;
    std::string resultName;    // DBS_CONTOUR_RESULT_NAME; the field's name unless set
    std::string locationText;  // DBS_CONTOUR_LOCATION_TEXT; "NODES" or "ELEMENTS" unless set
    std::vector<float> contourValues;
    // Solids shown as their skin: element values are then one per skin face, its solid's value.
    bool solidsAsSkin = false;
    std::vector<float> skinValues;
    ContourInfoStr contourInfo{};
    // Spectrum and texture
    bool hasSpectrum = true;
    host::Spectrum spectrum;
    host::SpectrumTexture texture;
    // 3D view
    bool hasView3D = true;
    host::View3D view;
    WindowInfoStr info;

    WindowStr();
    // Recomputes the contour values for the model's frame `frameIndex` (and makes the shown
    // field the result's current one); false without values.
    bool computeContour(int frameIndex);
    // The spectrum's value location and automatic range follow the contour values.
    void updateSpectrum();
    // What the display does when the frame changes: values, spectrum range and texture.
    void refreshDisplay(int frameIndex);
    // Parts the window colours by value wear white, so that the contour colours come through
    // unchanged in every viewer; the others, and all of them without contours, their own colour.
    void paintParts();
    std::string shownResultName() const;
    std::string shownLocationText() const;
};
