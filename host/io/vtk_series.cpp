#include "vtk_series.h"

#include <vtkInformation.h>
#include <vtkStreamingDemandDrivenPipeline.h>

namespace host::io {

void throwOnVtkErrors(const VtkMessages& messages, std::string_view readerName) {
    if (messages.failed()) throw ModelReadError("VTK's " + std::string(readerName) + " cannot read it: " + messages.summary());
}

VtkSeries pipelineSeries(vtkSmartPointer<vtkAlgorithm> reader, std::string readerName, VtkMessages& messages) {
    reader->UpdateInformation();
    throwOnVtkErrors(messages, readerName);
    VtkSeries series;
    series.readerName = readerName;
    vtkInformation* information = reader->GetOutputInformation(0);
    if (information != nullptr && information->Has(vtkStreamingDemandDrivenPipeline::TIME_STEPS())) {
        const int count = information->Length(vtkStreamingDemandDrivenPipeline::TIME_STEPS());
        const double* times = information->Get(vtkStreamingDemandDrivenPipeline::TIME_STEPS());
        series.times.assign(times, times + count);
    }
    const bool timed = !series.times.empty();
    if (!timed) series.times = {0.0};
    series.read = [reader, readerName, timed, times = series.times, &messages](std::size_t step) {
        if (timed) reader->UpdateTimeStep(times.at(step));
        else reader->Update();
        throwOnVtkErrors(messages, readerName);
        vtkDataObject* output = reader->GetOutputDataObject(0);
        if (output == nullptr) throw ModelReadError("VTK's " + readerName + " gives nothing for it");
        return output;
    };
    return series;
}

}  // namespace host::io
