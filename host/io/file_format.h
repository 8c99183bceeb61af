// Which reader a model file goes to. One table of the formats Sceneport knows: how each is told
// by its first bytes, which extensions name it, and which reader reads it (or, for files that hold
// no results Sceneport can read, what to do instead). The dispatcher, its error text and the tests
// all read this table.
#pragma once

#include <array>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace host::io {

enum class ReaderFamily {
    None,       // recognised, but no reader: `advice` says what to do
    Gmsh,       // MSH, Gmsh's post-processing files and the other mesh formats Gmsh reads
    Exodus,     // Exodus II, netCDF classic or HDF5
    VtkXml,     // VTK XML datasets, and .pvd collections of them
    VtkLegacy,  // "# vtk DataFile" files of any dataset type
    EnSight,    // EnSight Gold and EnSight 6 case files
    LsDyna,     // LS-DYNA d3plot families
    Cgns,       // CGNS (HDF5)
};

// How a file starts: its first bytes are `prefix` and, unless empty, its first kHeadBytes hold
// `holds` (any case); or `test` accepts the head, for binary headers that have no fixed bytes.
struct Signature {
    std::string_view prefix;
    std::string_view holds;
    bool (*test)(std::string_view head) = nullptr;
};

struct FileFormat {
    std::string_view name;  // as messages name it
    ReaderFamily reader;
    std::array<Signature, 4> signatures;       // empty entries unused
    std::array<std::string_view, 10> extensions; // lower case; "d3plot" is matched as a file name's start
    std::string_view advice;                     // for ReaderFamily::None: why not, and what instead
    bool spansFiles = false;  // the file names others that hold the data (a .pvd, a case, a d3plot family)
};

// How much of a file's start recognition looks at: enough for an HDF5 file's first group names.
inline constexpr std::size_t kHeadBytes = 64 * 1024;

// Whether `head` starts with an LS-DYNA d3plot control block (single or double precision words).
bool startsAsD3plot(std::string_view head);

// First match wins, by content and then by name: the rows with fixed first bytes come before
// those that look further in, and a d3plot family's later files before its first.
inline constexpr std::array<FileFormat, 15> kFileFormats{{
    {"Exodus II", ReaderFamily::Exodus,
     {{{"CDF\x01", ""}, {"CDF\x02", ""}, {"CDF\x05", ""}, {"\x89HDF\r\n\x1a\n", "num_nodes"}}},
     {".exo", ".e", ".ex2", ".exii", ".g", ".gen", ".exodus"}, ""},
    {"CGNS", ReaderFamily::Cgns, {{{"\x89HDF\r\n\x1a\n", "CGNSLibraryVersion"}}}, {".cgns"}, ""},
    {"MED", ReaderFamily::None, {{{"\x89HDF\r\n\x1a\n", "INFOS_GENERALES"}}}, {".med", ".rmed", ".mmed"},
     "a MED file: Debian's Gmsh is built without MED; convert it to MSH or VTU with a program that reads MED, "
     "and read that"},
    {"VTK legacy", ReaderFamily::VtkLegacy, {{{"# vtk DataFile", ""}}}, {".vtk"}, ""},
    {"MSH", ReaderFamily::Gmsh, {{{"$MeshFormat", ""}, {"$NOD", ""}, {"$NOE", ""}}}, {".msh"}, ""},
    {"Gmsh post-processing file", ReaderFamily::None, {{{"$PostFormat", ""}, {"View \"", ""}}}, {".pos"},
     "a Gmsh .pos file holds views laid on no mesh of their own, and the host shows results on a mesh; "
     "save the mesh with its results as one MSH file ($NodeData, $ElementData) and read that"},
    {"VTK XML", ReaderFamily::VtkXml, {{{"<", "<VTKFile"}}},
     {".vtu", ".vtp", ".vts", ".vtr", ".vti", ".vtm", ".pvd"}, "", true},
    {"EnSight Gold", ReaderFamily::EnSight, {{{"FORMAT", "ensight"}, {"#", "ensight"}}}, {".case", ".encas"}, "", true},
    {"LS-DYNA d3plot family member", ReaderFamily::None, {},
     {"d3plot0", "d3plot1", "d3plot2", "d3plot3", "d3plot4", "d3plot5", "d3plot6", "d3plot7", "d3plot8",
      "d3plot9"},
     "a later file of an LS-DYNA d3plot family: read the family's first file (d3plot), which leads to the others"},
    {"LS-DYNA d3plot", ReaderFamily::LsDyna, {{{"", "", startsAsD3plot}}}, {"d3plot"}, "", true},
    {"EnSight geometry", ReaderFamily::None, {{{"C Binary", ""}}}, {},
     "an EnSight geometry file: read the case file (.case) that names it and its variables"},
    {"Gmsh mesh", ReaderFamily::Gmsh, {},
     {".unv", ".bdf", ".nas", ".mesh", ".stl", ".ply", ".ply2", ".p3d", ".diff"}, ""},
    {"Abaqus input deck", ReaderFamily::None, {{{"*", "*node"}}}, {".inp"},
     "an Abaqus input deck holds no results; export the results (the .odb) to Exodus II or VTU and read that"},
    {"Abaqus output database", ReaderFamily::None, {}, {".odb"},
     "an Abaqus output database cannot be read here; export it to Exodus II or VTU and read that"},
    {"Gmsh script", ReaderFamily::None, {}, {".geo"},
     "a Gmsh script describes geometry, not a mesh; mesh it (gmsh -3 file.geo -o file.msh) and read the .msh"},
}};

// The format a file with this head and name is: by its first bytes, else by its extension for
// formats that have no first bytes of their own. Null when neither tells.
const FileFormat* recogniseFormat(std::string_view head, const std::filesystem::path& path);

// The format whose extension `path` has, whatever the file holds; null when none.
const FileFormat* formatByExtension(const std::filesystem::path& path);

// What reads a family's files, as messages name it: "Gmsh", "VTK's LS-DYNA reader", ...
std::string_view readerName(ReaderFamily family);

// The bytes a read of `path` goes through: the file's size, and for a format whose data spans
// files, that of the files beside it whose names start with its stem ("box.pvd": box_0.vtu, ...;
// "d3plot": d3plot01, ...) and of a directory of that name, as such series are written.
std::uintmax_t modelBytes(const std::filesystem::path& path, const FileFormat& format);

// The names of the formats Sceneport reads, for error messages: "Exodus II, CGNS, ...".
std::string readFormatList();

// The file's recognised format, or ModelReadError naming what it looks like: missing, empty,
// not a regular file, a format without a reader (with its advice), or nothing Sceneport reads.
const FileFormat& fileFormatOf(const std::filesystem::path& path);

}  // namespace host::io
