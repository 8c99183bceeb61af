// VTK XML files through vtkXMLGenericDataObjectReader: any dataset type, one frame; and .pvd
// collections, whose small XML index lists a file per time step and piece, read as a time series.
#include "vtk_series.h"

#include <vtkInformation.h>
#include <vtkMultiBlockDataSet.h>
#include <vtkXMLGenericDataObjectReader.h>

#include <pugixml.hpp>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>

namespace host::io {
namespace {

constexpr const char* kReaderName = "vtkXMLGenericDataObjectReader";

// The dataset of one file; `piece` names the file in errors, for a collection's pieces.
vtkSmartPointer<vtkDataObject> readXmlFile(const std::filesystem::path& path, VtkMessages& messages, bool piece) {
    auto reader = vtkSmartPointer<vtkXMLGenericDataObjectReader>::New();
    reader->SetFileName(path.c_str());
    reader->Update();
    const std::string which = piece ? "its piece " + path.filename().string() + ": " : "";
    if (messages.failed()) throw ModelReadError(which + "VTK's " + kReaderName + " cannot read it: " + messages.summary());
    vtkDataObject* output = reader->GetOutputDataObject(0);
    if (output == nullptr) throw ModelReadError(which + "VTK's " + kReaderName + " gives nothing for it");
    return output;
}


struct Collection {
    std::vector<double> times;
    std::map<double, std::map<int, std::filesystem::path>> files;  // per time, per piece
    std::map<int, std::string> pieceNames;
};

Collection readCollection(const std::filesystem::path& path) {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_file(path.c_str());
    if (!parsed) throw ModelReadError(std::string("its XML cannot be read: ") + parsed.description() + " at byte " +
                                      std::to_string(parsed.offset));
    const pugi::xml_node root = document.child("VTKFile");
    if (std::string_view(root.attribute("type").as_string()) != "Collection")
        throw ModelReadError("is a VTK XML file but not a collection (type=\"Collection\")");
    Collection collection;
    std::map<int, std::string>& names = collection.pieceNames;
    for (const pugi::xml_node entry : root.child("Collection").children("DataSet")) {
        const char* file = entry.attribute("file").as_string();
        if (*file == '\0') throw ModelReadError("a DataSet at byte " + std::to_string(entry.offset_debug()) + " names no file");
        const int piece = entry.attribute("part").as_int(0);
        const double time = entry.attribute("timestep").as_double(0.0);
        collection.files[time][piece] = path.parent_path() / file;
        if (std::error_code error; !std::filesystem::is_regular_file(path.parent_path() / file, error))
            throw ModelReadError("its DataSet at byte " + std::to_string(entry.offset_debug()) + " names " + file +
                                 ", which is not a file there");
        if (const char* name = entry.attribute("name").as_string(); *name != '\0') names.try_emplace(piece, name);
        else names.try_emplace(piece, std::filesystem::path(file).stem().string());
    }
    if (collection.files.empty()) throw ModelReadError("the collection lists no DataSet");
    for (const auto& [time, pieces] : collection.files) collection.times.push_back(time);
    return collection;
}

VtkSeries collectionSeries(const std::filesystem::path& path, VtkMessages& messages) {
    Collection collection = readCollection(path);
    VtkSeries series;
    series.readerName = kReaderName;
    series.times = collection.times;
    auto step = vtkSmartPointer<vtkMultiBlockDataSet>::New();
    series.read = [collection = std::move(collection), step, &messages](std::size_t index) -> vtkDataObject* {
        const auto& pieces = std::next(collection.files.begin(), static_cast<std::ptrdiff_t>(index))->second;
        step->Initialize();
        unsigned block = 0;
        for (const auto& [piece, file] : pieces) {
            step->SetBlock(block, readXmlFile(file, messages, true));
            step->GetMetaData(block)->Set(vtkCompositeDataSet::NAME(), collection.pieceNames.at(piece).c_str());
            ++block;
        }
        return step;
    };
    return series;
}

// Whether the root element says so: only the file's start is looked at, since a dataset's
// appended data can be large.
bool isCollection(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::string head(1024, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    const std::size_t root = head.find("<VTKFile");
    return root != std::string::npos && head.find("\"Collection\"", root) < head.find('>', root);
}

}  // namespace

VtkSeries openVtkXml(const std::filesystem::path& path, VtkMessages& messages) {
    if (isCollection(path)) return collectionSeries(path, messages);
    VtkSeries series;
    series.readerName = kReaderName;
    series.times = {0.0};
    auto held = std::make_shared<vtkSmartPointer<vtkDataObject>>();
    series.read = [path, held, &messages](std::size_t) -> vtkDataObject* {
        *held = readXmlFile(path, messages, false);
        return held->Get();
    };
    return series;
}

}  // namespace host::io
