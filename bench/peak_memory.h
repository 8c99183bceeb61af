// The process's resident memory and its high-water mark, from /proc/self/status. The mark can be
// reset (Linux 4.0 and later), so each export's peak is measured from where it starts.
#pragma once

namespace bench {

// Resident memory now and at its highest since the last reset, in bytes; 0 when unknown.
long long residentBytes();
long long peakResidentBytes();
// Makes the high-water mark start again from the current resident memory; false when the
// kernel does not allow it (the peak then covers the whole run so far).
bool resetPeakResident();

}  // namespace bench
