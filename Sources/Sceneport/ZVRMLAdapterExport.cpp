// The export run: one complete scene file per frame (header, viewpoint, every part in the model's
// order inside the global model, the sphere sensor and the legend), the file name on the prompt
// line while it is written, and the file or directory on the console at the end.
#include "ZVRMLAdapter.h"
#include "ZVRMLExportResult.h"
#include "ZVRMLPartWriter.h"
#include "ZVRMLWriter.h"

#include "hostgen.h"
#include "hostmodel.h"
#include "hoststr.h"

#include <algorithm>
#include <source_location>
#include <string_view>
#include <vector>

namespace {

// Bit 0 of a part's state: the user flagged (selected) the part.
constexpr unsigned char kPartFlaggedBit = 0x01;

// The host names the release site of each block it gets back; the file name is enough.
constexpr const char* baseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return path.data() + (slash == std::string_view::npos ? 0 : slash + 1);
}

// Releases memory the host handed over, as often as the host's allocator asks for: its leak
// checks may want further passes, which are made with the pointer already cleared.
template <typename T>
void releaseHostMemory(T*& pointer, std::source_location site = std::source_location::current()) {
    do {
        ZGuFree(pointer, baseName(site.file_name()), static_cast<int>(site.line()));
        pointer = nullptr;
        // The host takes one pass off per call; a count it never set above 0 needs none.
    } while (__ZxFreeLoopCount__ > 0);
}

// The part's element count, its share of a per-element contour array. A part whose count the
// host does not give (0) may still hold result elements.
int elementCountOf(FePartStr* part) {
    int count = 0;
    DbsVaGetValues(part, DBS_PART_ELEMENT_COUNT, &count, 0);
    if (count == 0) DbsVaGetValues(part, DBS_PART_RESULT_ELEMENT_COUNT, &count, 0);
    return count;
}

bool isWholeModelSolver(int solver) {
    return solver == FE_SOLVER_WHOLE_MODEL_FLOW || solver == FE_SOLVER_WHOLE_MODEL_THERMAL;
}

}  // namespace

// One call of ExportVRMLData after its request passed validation: what lives for the run (the
// parts, the result object, the frame range, the times and the title) and its steps.
class ZVRMLExportRun {
public:
    explicit ZVRMLExportRun(ZVRMLAdapter& adapter) : m_adapter(adapter) {}
    ~ZVRMLExportRun() {
        if (m_times != nullptr) releaseHostMemory(m_times);
        if (m_title != nullptr) releaseHostMemory(m_title);
    }
    ZVRMLExportRun(const ZVRMLExportRun&) = delete;
    ZVRMLExportRun& operator=(const ZVRMLExportRun&) = delete;

    int run() {
        if (!readPartList()) {
            ApplicationMessage(ZGEN_MESSAGE_WARNING, "No Parts in model!");
            return kVRMLExportNoParts;
        }
        m_resultObject = MdbGetManagerObject(m_adapter.params.model, 0);
        if (m_resultObject != nullptr && m_resultObject->partCount > 0 &&
            m_resultObject->parts != nullptr) {
            m_parts.assign(m_resultObject->parts, m_resultObject->parts + m_resultObject->partCount);
        }

        int startFrame = 0;
        int endFrame = 1;
        m_adapter.getFrameData(m_resultObject, endFrame, startFrame, &m_times);
        m_title = SimVidCommonGetModelTitle(m_adapter.params.model);

        for (int frameIndex = startFrame; frameIndex < endFrame; ++frameIndex) {
            // The files of earlier frames are complete and stay; the run ends here.
            if (!writeFrame(frameIndex)) return kVRMLExportCannotOpen;
        }
        report();
        return m_status;
    }

private:
    // The frame's contour record ends with the frame, also when an allocation fails on the way:
    // nothing may follow the adapter's pointer to it afterwards.
    struct ContourRecordInUse {
        ZVRMLAdapter& adapter;
        ~ContourRecordInUse() { adapter.contourInfo = nullptr; }
    };

    // The model's parts; false when it has none.
    bool readPartList() {
        MngrObjectListStr* list = nullptr;
        MngrGetObjectList(m_adapter.params.model, fePartClass_p, &list);
        if (list != nullptr) {
            if (list->objects != nullptr) {
                for (int index = 0; index < list->count; ++index)
                    m_parts.push_back(static_cast<FePartStr*>(list->objects[index]));
            }
            // The record goes back at once; the objects it listed are the model's.
            releaseHostMemory(list);
        }
        return !m_parts.empty();
    }

    float frameTime(int frameIndex) const {
        return m_times != nullptr ? m_times[frameIndex] : 0.0f;
    }

    // One complete file; false when it cannot be opened.
    bool writeFrame(int frameIndex) {
        globalVRMLWriter.reset();
        GuString fileName;
        m_adapter.getFilename(frameIndex, fileName);
        m_adapter.displayExportingInfoMessage(fileName);
        if (!globalVRMLWriter.openFile(fileName)) return false;

        // Without a result object there are no frame coordinates: every face set carries its
        // part's own, and the viewer looks at the origin.
        float* nodeCoords = nullptr;
        int nodeCount = 0;
        float largest = 0.0f;
        float center[3] = {0.0f, 0.0f, 0.0f};
        const bool sharedCoordinates = m_resultObject != nullptr;
        if (sharedCoordinates) {
            SimVideoCommonUpdateModelForGivenFrame(m_adapter.params.model, frameTime(frameIndex),
                                                   frameIndex + 1, 1.0, 1.0, 1.0);
            nodeCoords = m_resultObject->nodeCoords;
            nodeCount = m_resultObject->nodeCount;
            m_adapter.calculateObjectCenter(nodeCoords, nodeCount, largest, center);
        }
        const double unusedCameraPosition[3] = {0.0, 0.0, 0.0};
        m_adapter.exportViewPoint(unusedCameraPosition, largest, center);

        // A fresh record per frame: nothing of the last frame's contours carries over. Whether
        // it could be filled does not matter; the parts are then written without contours.
        ZVRMLAdapter::_ContourExportInfoStr record;
        const ContourRecordInUse recordInUse{m_adapter};
        m_adapter.GetContourData(&record, frameIndex + 1);

        writeParts(frameIndex, nodeCoords, nodeCount, center, sharedCoordinates, record);

        // The sphere sensor's route names the global model, and a route to a node the file does
        // not define is not VRML. So a frame in which no part was written (all one-dimensional,
        // none flagged, none with a skin) still gets the global model, empty; the writer then
        // closes every file the same way.
        if (!globalVRMLWriter.globalModelWritten) {
            ZVRMLPartWriter frame(m_adapter, nullptr, frameIndex, nodeCoords, nodeCount,
                                  sharedCoordinates, -1);
            frame.placeCamera();
            frame.openGlobalModel(center);
        }
        globalVRMLWriter.endGlobalModel();

        globalVRMLWriter.writeSpectrumLegend(
            record.colorCount, record.levels, record.spectrumColors, record.contoursShown,
            record.resultLocation, record.resultName, record.minValue, record.maxValue,
            m_title != nullptr ? m_title : "", frameIndex, frameTime(frameIndex),
            record.showColorBar);
        globalVRMLWriter.closeFile();
        return true;
    }

    // Every part of the list, in order. A part's contour values follow those of all the parts
    // before it, written or not, so both offsets advance for every part.
    void writeParts(int frameIndex, float* nodeCoords, int nodeCount, float* center,
                    bool sharedCoordinates, ZVRMLAdapter::_ContourExportInfoStr& record) {
        const ZVRMLAdapter::ExportParams& params = m_adapter.params;
        const bool contoursOnEveryPart = isWholeModelSolver(FeGetCurrentSolver());
        int elementOffset = 0;
        int nodeOffset = 0;
        int contourOffset = -1;

        for (FePartStr* part : m_parts) {
            if (part == nullptr) continue;
            const int elementCount = elementCountOf(part);
            const int uniqueNodes = FePartGetUniquePartNodes(part, nullptr);
            const int dimensionality = FePartIsPart1d2d3d(part);

            bool exportable = dimensionality == 2 || dimensionality == 3;
            if (!exportable) m_status = kVRMLExportSkippedLast;
            if (params.flaggedPartsOnly && (part->state & kPartFlaggedBit) == 0) exportable = false;

            if (exportable) {
                const bool contours =
                    params.exportContours &&
                    (contoursOnEveryPart || FePartIsContourOnOff(part) != 0);
                m_adapter.partHasContours = contours;
                if (contours) {
                    contourOffset = record.valuesPerElement != 0 ? elementOffset : nodeOffset;
                    record.contoursShown = true;
                }
                if (dimensionality == 3 && params.skinOnly) {
                    m_adapter.filterSkinOnly(part, frameIndex, nodeCoords, nodeCount, center,
                                             sharedCoordinates, m_status, contourOffset);
                } else {
                    m_adapter.filterParts(part, frameIndex, nodeCoords, nodeCount, center,
                                          sharedCoordinates, m_status, contourOffset);
                }
            }
            elementOffset += elementCount;
            nodeOffset += uniqueNodes;
        }
    }

    void report() const {
        const ZVRMLAdapter::ExportParams& params = m_adapter.params;
        if (params.allFrames) {
            const GuString directory = GuStringFileName(params.fileName).GetPathName();
            ZGenWriteConsoleLinkMessage(ZGEN_MESSAGE_INFO,
                                        L"Exported all frames to directory: <a>%s</a>\n",
                                        directory.GetBuffer());
        } else {
            ZGenWriteConsoleLinkMessage(ZGEN_MESSAGE_INFO,
                                        L"Exported current frame to file: <a>%s</a>\n",
                                        params.fileName.GetBuffer());
        }
    }

    ZVRMLAdapter& m_adapter;
    std::vector<FePartStr*> m_parts;
    FePostResultStr* m_resultObject = nullptr;
    float* m_times = nullptr;
    char* m_title = nullptr;
    int m_status = kVRMLExportComplete;
};

int ZVRMLAdapter::ExportVRMLData(const ExportParams& request) {
    // A request without a model, a window or a file name does nothing at all; the adapter keeps
    // the last request it ran.
    if (request.model == nullptr || request.window == nullptr || request.fileName.IsEmpty())
        return kVRMLExportInvalidRequest;
    params = request;
    return ZVRMLExportRun(*this).run();
}

void ZVRMLAdapter::getFrameData(FePostResultStr* const result, int& endFrame, int& startFrame,
                                float** times) {
    // Without a result object the caller's range (one frame) stands.
    if (result == nullptr) return;
    const int frameCount = SimVidCommonGetTimeArray(params.model, times);
    endFrame = frameCount;
    int current = DrawGetCurrentFrameIndex();
    if (params.allFrames) return;
    // The host shows one frame for every model; a model with fewer frames is written at its
    // last, never past the end of its times.
    if (frameCount > 0) current = std::clamp(current, 0, frameCount - 1);
    startFrame = current;
    endFrame = current + 1;
}
