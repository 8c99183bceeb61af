// hostmodel: the host's model, results, windows, contours and spectra.
//
// Ownership: every handle and array the host hands out through this header belongs to the host,
// unless a function says it is handed over; handed-over memory is released with ZGuFree
// (hostgen.h). Borrowed handles stay valid while their model or window exists; borrowed arrays
// stay valid until the call that replaces them (named at each function).
//
// Failures: a call that can fail says so with its result (0, null or -1, named at the call), and
// then leaves its outputs as it says. A call that has no failure result (hand-overs of lists,
// times and texts, the skin lists) lets std::bad_alloc and std::length_error propagate when
// memory runs out or a size cannot be represented; none turns such an error into an empty
// result, which a caller could not tell from a model that has nothing to give.
#pragma once

#include <cstddef>
#include <cstdint>

class GuString;
struct WindowStr;  // a graphics window
struct ModelStr;   // a loaded model

// ---------------------------------------------------------------------------------------------
// Attribute databases

// Keys of the host's attribute databases.
enum _DbsKey {
    DBS_CONTOUR_LOCATION_TEXT = 6,  // contour settings: where the values live (text)
    DBS_CONTOUR_RESULT_NAME = 7,    // contour settings: name of the contoured result (text)
    DBS_PART_ELEMENT_COUNT = 8,     // part: number of elements (int)
    DBS_APPL_NAME = 11,             // application object: application name (text)
    DBS_APPL_VERSION = 12,          // application object: application version (text)
    DBS_PART_RESULT_ELEMENT_COUNT = 72,  // part: number of elements holding result values (int)
};

// Size of the caller's buffer for a text attribute: at most 255 characters and a NUL are
// written.
constexpr int DBS_TEXT_BUFFER_SIZE = 256;

// The attribute database of a host object. Every host object that carries attributes (parts,
// the application object, a window's contour settings) is one; the plug-in only hands it to
// DbsVaGetValues.
class ZDbs {
public:
    virtual ~ZDbs();
    // Host side of DbsVaGetValues: writes the value of `key` to `out` (an int, or a text into a
    // buffer of DBS_TEXT_BUFFER_SIZE bytes); false when the object has no such attribute.
    virtual bool ReadValue(int key, void* out) const = 0;
};

// Reads attributes: DbsVaGetValues(object, key, &out, key, &out, ..., 0). The list of key and
// output-pointer pairs ends with the key 0. Returns the number of keys read; an output whose key
// the object does not have is left unchanged.
int DbsVaGetValues(const ZDbs* object, int key, ...);

// ---------------------------------------------------------------------------------------------
// Parts and meshes

// The host's element types: four shell types, then six solid types.
enum _FePartMeshType {
    FE_MESH_TRIA3 = 0,
    FE_MESH_TRIA6 = 1,
    FE_MESH_QUAD4 = 2,
    FE_MESH_QUAD8 = 3,
    FE_MESH_TETRA4 = 4,
    FE_MESH_TETRA10 = 5,
    FE_MESH_PENTA6 = 6,
    FE_MESH_PENTA15 = 7,
    FE_MESH_HEXA8 = 8,
    FE_MESH_HEXA20 = 9,
};
constexpr int FE_MESH_TYPE_COUNT = 10;
constexpr int FE_MESH_FIRST_SOLID = FE_MESH_TETRA4;

// One part of a model.
struct FePartStr : ZDbs {
    unsigned char state;  // bit 0: the part is flagged (selected) in the host
    unsigned char color;  // host colour number, see zgl_get_rgb_floats
};

// The host's class descriptor of parts, for MngrGetObjectList.
class ZObjectCreator;
extern ZObjectCreator* fePartClass_p;

// A part's mesh, filled by FePartGetMeshData. 48 bytes; the arrays belong to the part.
struct FePartMeshDataStr {
    const int* nodesPerElement;    // [10]: nodes of one element of each mesh type
    int32_t dimensionality;        // as FePartIsPart1d2d3d
    int32_t totalElementCount;     // all elements of the part, of every type
    const FePartStr* part;         // the part described
    int32_t firstNode;             // the part's nodes are firstNode .. firstNode + nodeCount - 1
    int32_t nodeCount;
    int* elementCounts;            // [10]: elements of each mesh type, by _FePartMeshType
    // One connectivity list per mesh type, elements one after the other, zero-based model node
    // numbers in the host's node order. A 3D part's array holds the six solid types only
    // (entry t - 4 is mesh type t); any other part's array holds all ten.
    int** connectivityLists;
};
static_assert(sizeof(void*) == 8, "the host interface is 64-bit");
static_assert(sizeof(FePartMeshDataStr) == 48, "FePartMeshDataStr is 48 bytes");
static_assert(offsetof(FePartMeshDataStr, elementCounts) == 32, "elementCounts at offset 32");
static_assert(offsetof(FePartMeshDataStr, connectivityLists) == 40, "connectivityLists at 40");

// Fills `mesh` for the part. Returns 1, or 0 for a null part or record.
int FePartGetMeshData(FePartStr* part, FePartMeshDataStr* mesh);

// Writes the part's display name without its numeric id into `name` (a 256-byte buffer; at most
// 255 bytes and a NUL; a longer name is cut at a character boundary).
void FePartGetNameWithoutId(FePartStr* part, char* name);

// The part's dimensionality: 1, 2 or 3 (0 for a part without elements or a null part).
int FePartIsPart1d2d3d(FePartStr* part);

// The number of distinct nodes of the part. With a non-null `nodeList` the host also hands over
// an array of their model node numbers (release it with ZGuFree); std::bad_alloc when the array
// cannot be had.
int FePartGetUniquePartNodes(FePartStr* part, int** nodeList);

// Non-zero when the host shows contours on the part.
int FePartIsContourOnOff(FePartStr* part);

// The part's outer skin: the faces of its solid elements that no other solid of the part shares,
// as 3-node triangles and 4-node quadrilaterals (corner nodes, ordered so that the face's normal
// points out of its element). The lists belong to the part and stay valid while it exists. For a
// part without solids both counts are 0 and both lists null. Returns 1. The skin is found on the
// first call: std::bad_alloc when memory runs out, std::length_error for more faces than 2^32,
// std::out_of_range for a solid with a node outside its part (a model the builder refuses).
int FePartGetSkinElementConnectivity(FePartStr* part, int* triCount, int** triConnectivity,
                                     int* quadCount, int** quadConnectivity);

// Non-zero when element `elementIndex` of mesh type `meshType` has failed (is deleted) at frame
// `frameIndex` (zero-based). For a 3D part, FE_MESH_TRIA3 and FE_MESH_QUAD4 name the skin
// triangles and quadrilaterals of FePartGetSkinElementConnectivity: a skin face has failed when
// its solid has.
int FePartIsElementFailingGivenPart(FePartStr* part, _FePartMeshType meshType, int elementIndex,
                                    int frameIndex);

// As FePartIsElementFailingGivenPart, for elements the user has switched off in the display.
int FePartIsElementOff(FePartStr* part, _FePartMeshType meshType, int elementIndex,
                       int frameIndex);

// The part's display opacity, 0 (invisible) .. 255 (opaque).
int DrawGetTransparency(FePartStr* part);

// ---------------------------------------------------------------------------------------------
// Object lists and the model's result

// A list of objects handed over by MngrGetObjectList. Release the record with ZGuFree; the
// `objects` array belongs to the model and stays valid while it exists.
struct MngrObjectListStr {
    int count;
    void** objects;
};

// Hands over the list of the model's objects of class `objectClass` (parts for fePartClass_p),
// in the model's order. `*list` is always set (a record with count 0 when there are none, or null
// for a null model or a null `list`, returning 0). Returns the count; std::bad_alloc when the
// record cannot be had.
int MngrGetObjectList(ModelStr* model, ZObjectCreator* objectClass, MngrObjectListStr** list);

// The current post-processing result of a result object.
struct FePostCurrentResultStr {
    int resultType;  // the result type code; see FePostGetResultNameFromResultType
};

// The post-processing result of a model: its parts and its node coordinates at the current
// frame. Owned by the model.
struct FePostResultStr {
    int partCount;
    FePartStr** parts;         // the result's parts, in the model's order
    int nodeCount;
    float* nodeCoords;         // x, y, z per node at the frame set last; replaced by the next
                               // SimVideoCommonUpdateModelForGivenFrame
    int currentState;          // 1-based state (frame) that contour updates work on
    FePostCurrentResultStr currentResult;
};

// The model's result (manager) object of kind `kind` (0: the post-processing result), or null
// when the model has none.
FePostResultStr* MdbGetManagerObject(ModelStr* model, int kind);

// The name of the result with type code `resultType` of `result`. The text belongs to the host.
// An unknown code gives "".
const char* FePostGetResultNameFromResultType(FePostResultStr* result, int resultType);

// ---------------------------------------------------------------------------------------------
// Frames

// Hands over the times of the model's frames (release with ZGuFree) and returns their number.
// A model without a result has 0 frames and `*times` is null; std::bad_alloc when the array
// cannot be had.
int SimVidCommonGetTimeArray(ModelStr* model, float** times);

// The zero-based index of the frame the host shows.
int DrawGetCurrentFrameIndex();

// Sets the model to frame `frameNumber` (1-based; `time` is that frame's time): the result
// object's node coordinates become those of the frame, each displacement from the reference
// coordinates scaled by the three factors (x, y, z; 1.0 shows the true deformation). Returns 1,
// or 0 when the frame does not exist (the model is left as it was).
int SimVideoCommonUpdateModelForGivenFrame(ModelStr* model, float time, int frameNumber,
                                           double scaleX, double scaleY, double scaleZ);

// Hands over the model title (narrow text; release with ZGuFree); "" for a null model, and
// std::bad_alloc when the text cannot be had.
char* SimVidCommonGetModelTitle(ModelStr* model);

// Fills `matrix` with the camera placement of the model at frame `frameIndex` (zero-based):
// rows 0 to 2 carry the scaled rotation, row 3 the translation, which is multiplied by
// `translationFactor`. Returns 1, or 0 for a frame without a camera (the matrix is untouched).
int ResultObjGetCameraMatrix(ModelStr* model, int frameIndex, double translationFactor,
                             double matrix[4][4]);

// ---------------------------------------------------------------------------------------------
// Application

// Solver codes of FeGetCurrentSolver. Results of the whole-model solvers are per node and are
// shown on every part.
enum _FeSolverCode {
    FE_SOLVER_STRUCTURAL = 0,
    FE_SOLVER_WHOLE_MODEL_FLOW = 9,
    FE_SOLVER_WHOLE_MODEL_THERMAL = 11,
};

// The solver code of the current result.
int FeGetCurrentSolver();

// Shows `text` to the user (type: _ZGenMessageType).
void ApplicationMessage(int type, const char* text);

// The application object (attributes DBS_APPL_NAME and DBS_APPL_VERSION), or null.
ZDbs* ApplGetApplObject();

// Writes the product name into `name` and the product's build data into `data`, each a 1024-byte
// buffer (at most 1023 bytes and a NUL).
void ApplEnvGetProductNameAndData(char* name, char* data);

// The host's numeric tolerance for values of the size of `value`.
double UtlGetToleranceValue(double value);

// ---------------------------------------------------------------------------------------------
// Windows, contours, spectra

struct WindowInfoStr;  // the settings block of a window

// The colour scale of a window. The spectrum belongs to its window.
class CZdbSpectrum {
public:
    virtual ~CZdbSpectrum();
    virtual int IsColorBarShown() const = 0;
    virtual float GetMinimum() const = 0;
    virtual float GetMaximum() const = 0;
    // 1 when the contour values are one per element; 0 when one per node.
    virtual int GetValueLocation() const = 0;
    // Packed colour (red in the lowest byte, then green, then blue) of the band holding `value`;
    // values outside the range take the end bands.
    virtual uint32_t GetColorForValue(float value) const = 0;
    // Writes the band count + 1 level values, lowest first, into `levels`.
    virtual void GetLevelValues(float* levels) const = 0;
    // Returns the band count and points `*colors` at the spectrum's own table of packed colours,
    // one per band, valid until the spectrum changes.
    virtual int GetColorTable(unsigned int** colors) const = 0;
    // 1: bands are drawn as discrete colours; 0: colours are blended.
    virtual int GetBandingMode() const = 0;
    // 1: the range follows the values of each state; 0: the range is fixed by the user.
    virtual int GetRangeMode() const = 0;
};

// The spectrum of `window` (the one named `name`, or the current one for a null name), or null.
CZdbSpectrum* ApplGetSpectrum(WindowStr* window, const GuString* name);

// A window's contour description for a model.
struct ContourInfoStr {
    const float* values;  // the contour values of the whole model, or null when none exist;
                          // replaced by the next ContourDBUpdateValues
    int valueCount;
};

// The contour description of `window` for `model`; never null.
ContourInfoStr* WindowGetContourInfo(WindowStr* window, ModelStr* model);

// The settings block of `window` for `model`, or null.
WindowInfoStr* WindowGetWinInfoPtr(WindowStr* window, ModelStr* model);

// The contour settings database of a settings block (keys DBS_CONTOUR_*), or null when the
// window shows no contour.
ZDbs* WindowInfoGetContour(WindowInfoStr* info);

// The contour update record: what a contour update is computed with.
struct ContourUpdateStr {
    int bandingMode;            // the spectrum's GetBandingMode
    int flags;                  // 0: a plain update
    int colorCount;             // band count
    unsigned int* colorTable;   // packed colours, one per band (borrowed from the spectrum)
    int rangeMode;              // the spectrum's GetRangeMode
    float maximum;
    float minimum;
    int valueLocation;          // as CZdbSpectrum::GetValueLocation
};

// Recomputes the contour values of the window that owns `contourSettings` for the result
// object's current state. Returns 1, or 0 when no values could be computed.
int ContourDBUpdateValues(ModelStr* model, ZDbs* contourSettings, ContourUpdateStr* update,
                          int flags);

// Rebuilds the window's spectrum texture from the band count and colour table of `update`.
void ContourUpdateTexture(WindowStr* window, ModelStr* model, ZDbs* contourSettings,
                          ContourUpdateStr* update);

// One texture a window renders. Owned by the texture manager.
struct RenderTextureAttributes {
    const unsigned char* pixels;  // one row, 4 bytes per pixel: red, green, blue, alpha
    int width;
    int height;
};

// The textures of a window.
class ZETextureManager {
public:
    virtual ~ZETextureManager();
    // The texture of `spectrum` as it was last rebuilt; never null.
    virtual RenderTextureAttributes* GetSceneGivenSpectrum(const CZdbSpectrum* spectrum) = 0;
};

// The texture manager of `window`.
ZETextureManager* WindowGetTextureManager(WindowStr* window);
