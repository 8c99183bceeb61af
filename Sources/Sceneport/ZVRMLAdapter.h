// The class through which the host drives an export. The class, its nested records and all of
// their public and protected members are the library's binary interface with the host: member
// order, types and signatures must not change.
#pragma once

#include "SceneportApi.h"

#include "hostmodel.h"
#include "hoststr.h"

#include <cstddef>
#include <map>
#include <set>
#include <type_traits>
#include <vector>

class ZVRMLExportRun;
class ZVRMLPartWriter;

class SCENEPORT_API ZVRMLAdapter {
    // The steps of one export, and those that filterParts and filterSkinOnly share. Friends
    // rather than members, so the class keeps exactly the members the host knows.
    friend class ZVRMLExportRun;
    friend class ZVRMLPartWriter;

public:
    // The export request: which window and model, where to, and four switches.
    struct SCENEPORT_API ExportParams {
        ExportParams();
        ExportParams(const ExportParams& other);
        ~ExportParams();
        ExportParams& operator=(const ExportParams& other);

        WindowStr* window;  // not owned
        ModelStr* model;    // not owned
        GuString fileName;  // its last four characters are the extension
        bool flaggedPartsOnly;
        bool allFrames;
        bool exportContours;
        bool skinOnly;
    };

    // The contour data of the frame being written. The host keeps `values` and `texturePixels`;
    // the record owns `levels` (allocated with new float[], colorCount + 1 values).
    struct SCENEPORT_API _ContourExportInfoStr {
        _ContourExportInfoStr();
        // Copies own their levels: a shallow copy would leave two records freeing one array.
        _ContourExportInfoStr(const _ContourExportInfoStr& other);
        _ContourExportInfoStr& operator=(const _ContourExportInfoStr& other);
        ~_ContourExportInfoStr();

        char resultName[1024];
        int valuesPerElement;
        const float* values;
        float minValue;
        float maxValue;
        const unsigned char* texturePixels;
        int textureWidth;
        char resultLocation[1024];
        std::vector<int> elementColors;
        std::vector<int> spectrumColors;
        int colorCount;
        float* levels;
        int showColorBar;
        bool contoursShown;
    };

    ZVRMLAdapter();
    ZVRMLAdapter(const ZVRMLAdapter& other);
    virtual ~ZVRMLAdapter();
    ZVRMLAdapter& operator=(const ZVRMLAdapter& other);

    int ExportVRMLData(const ExportParams& request);

    ExportParams params;
    bool partHasContours;
    _ContourExportInfoStr* contourInfo;  // not owned; valid only while a frame is written

protected:
    bool GetContourData(_ContourExportInfoStr* info, int frameNumber);
    void getSpectrumColors(CZdbSpectrum* spectrum, float** levels, int& colorCount,
                           std::vector<int>& colors);
    std::vector<int> getPerElementColors(float* values, int count, int reserved,
                                         int facesPerElement);
    void exportAppearances(FePartStr* part);
    void filterParts(FePartStr* part, int frameIndex, float* nodeCoords, int nodeCount,
                     float* modelCenter, bool hasModelCenter, int& exportStatus,
                     int contourOffset);
    void filterSkinOnly(FePartStr* part, int frameIndex, float* nodeCoords, int nodeCount,
                        float* modelCenter, bool hasModelCenter, int& exportStatus,
                        int contourOffset);
    std::set<int> getDeletedElements(FePartStr* part, _FePartMeshType meshType, int frameIndex,
                                     int elementCount);
    std::set<int> getHiddenElements(FePartStr* part, _FePartMeshType meshType, int frameIndex,
                                    int elementCount);
    void checkForInfinities(float* xyz, float replacement);
    void getFrameData(FePostResultStr* const result, int& endFrame, int& startFrame,
                      float** times);
    void getCameraPosition(WindowStr* window, double* const position);
    void exportViewPoint(const double* cameraPosition, float largest, float* const center);
    void calculateObjectCenter(float* nodeCoords, int nodeCount, float& largest,
                               float* const center);
    void getIndividualTransformationsFromMatrix(double (&matrix)[4][4], float (&scale)[3],
                                                float (&rotation)[4], float (&translation)[3]);
    void exportAnimations(const std::map<double, float*>& frames, int nodeCount);
    int getFilename(int frameIndex, GuString& name);
    void displayExportingInfoMessage(const GuString& fileName);
    void initialize();
};

// The request's layout is what the host fills: its members in this order, the four switches one
// byte each straight after the file name, and a virtual destructor in the class.
static_assert(std::is_standard_layout_v<ZVRMLAdapter::ExportParams>);
static_assert(offsetof(ZVRMLAdapter::ExportParams, window) == 0 && offsetof(ZVRMLAdapter::ExportParams, model) == 8 &&
              offsetof(ZVRMLAdapter::ExportParams, fileName) == 16);
static_assert(sizeof(bool) == 1 && offsetof(ZVRMLAdapter::ExportParams, flaggedPartsOnly) ==
                                       offsetof(ZVRMLAdapter::ExportParams, fileName) + sizeof(GuString));
static_assert(offsetof(ZVRMLAdapter::ExportParams, skinOnly) == offsetof(ZVRMLAdapter::ExportParams, flaggedPartsOnly) + 3);
static_assert(std::has_virtual_destructor_v<ZVRMLAdapter>);
