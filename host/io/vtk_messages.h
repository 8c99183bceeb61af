// VTK's own messages while one of its readers runs. VTK prints errors and warnings on stderr
// (through its output window and its logger, as coloured "ERR|" lines); while a VtkMessages
// lives they are collected instead, for the reader to turn into its error or its notes.
#pragma once

#include <string>
#include <vector>

namespace host::io {

class VtkMessages {
public:
    VtkMessages();   // starts collecting
    ~VtkMessages();  // gives VTK's output back
    VtkMessages(const VtkMessages&) = delete;
    VtkMessages& operator=(const VtkMessages&) = delete;

    // The messages collected so far, each as one line without VTK's source location and object
    // address ("Cannot read file ..." rather than "ERROR: In vtkXMLReader.cxx, line 123 ...").
    const std::vector<std::string>& errors() const;
    const std::vector<std::string>& warnings() const;
    bool failed() const { return !errors().empty(); }
    // The errors on one line, for a ModelReadError; the first few when there are many.
    std::string summary() const;
    void clear();
};

}  // namespace host::io
