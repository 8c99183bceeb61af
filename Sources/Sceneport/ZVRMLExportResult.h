// The codes ExportVRMLData returns. A completed run starts at "exported" and moves between the
// two "skipped" codes as parts go by: a part that cannot be drawn (not two- or
// three-dimensional) sets "nothing written since", the next shape written sets "written since".
// The result therefore says whether anything followed the last part that had to be left out.
#pragma once

inline constexpr int kVRMLExportNoParts = 0;          // the model has no parts; nothing written
inline constexpr int kVRMLExportComplete = 1;         // every part could be drawn
inline constexpr int kVRMLExportWrittenSinceSkip = 2; // a part was left out, shapes followed it
inline constexpr int kVRMLExportSkippedLast = 3;      // a part was left out, nothing followed it
inline constexpr int kVRMLExportInvalidRequest = 3;   // no model, no window or no file name
inline constexpr int kVRMLExportCannotOpen = 4;       // a frame's file could not be opened

// After a shape is written, a run that had written nothing since its last skipped part has.
inline void noteVRMLShapeWritten(int& exportStatus) {
    if (exportStatus == kVRMLExportSkippedLast) exportStatus = kVRMLExportWrittenSinceSkip;
}
