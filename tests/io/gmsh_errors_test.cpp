// Files the reader refuses, each with a message that names the file and what is wrong.
#include "io/model_reader.h"
#include "msh_files.h"
#include "test_support.h"

#include <gmsh.h>
#include <unistd.h>

#include <fstream>

namespace {

class GmshErrorsTest : public testing_support::HostTest {
protected:
    // The message readModel throws for `file`, which must start with the file's name.
    std::string refusal(const std::filesystem::path& file) {
        host::io::ReadNotes notes;
        try {
            host::io::readModel(file, notes);
        } catch (const host::io::ModelReadError& error) {
            const std::string message = error.what();
            EXPECT_EQ(message.rfind(file.string() + ": ", 0), 0u) << message;
            return message.substr(std::min(message.size(), file.string().size() + 2));
        }
        ADD_FAILURE() << file << " was read";
        return {};
    }

    void write(const std::filesystem::path& file, const std::string& content) {
        std::ofstream(file, std::ios::binary) << content;
    }

    // A file Gmsh reads, to show that an earlier failure left Gmsh able to read.
    std::filesystem::path goodFile() {
        msh_files::newGmshModel();
        const int surface = gmsh::model::addDiscreteEntity(2);
        msh_files::addReferenceElement(2, surface, 3, 1, 1, 0.0);
        msh_files::writeGmshFile(directory / "good.msh");
        return directory / "good.msh";
    }

    testing_support::TempDir directory;
};

TEST_F(GmshErrorsTest, MissingFilesAndDirectories) {
    EXPECT_EQ(refusal(directory / "absent.msh"), "no such file");
    std::filesystem::create_directory(directory / "folder.msh");
    EXPECT_EQ(refusal(directory / "folder.msh"), "is a directory");
}

TEST_F(GmshErrorsTest, FilesThisProcessMayNotRead) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads files whatever their permissions";
    write(directory / "locked.msh", "$MeshFormat\n");
    std::filesystem::permissions(directory / "locked.msh", std::filesystem::perms::none);
    EXPECT_EQ(refusal(directory / "locked.msh"), "cannot be read: Permission denied");
}

TEST_F(GmshErrorsTest, FilesGmshRejectsAndGmshReadsTheNextFileAllTheSame) {
    const std::filesystem::path good = goodFile();
    write(directory / "garbage.msh", "$MeshFormat\n\x93\x01\xff\x7f garbage \x02\x03\n$EndMeshFormat\n");
    const std::string whole = testing_support::readFile(good);
    // Nodes cut short inside a section that still ends: the reader's own check of a file's end
    // does not see it, Gmsh does.
    write(directory / "truncated.msh", whole.substr(0, whole.find("$EndNodes") - 8) + "\n$EndNodes\n");
    write(directory / "garbage.vtk", "\x93\x01\xff\x7f garbage \x02\x03\n");
    for (const char* name : {"garbage.msh", "truncated.msh", "garbage.vtk"}) {
        const std::string message = refusal(directory / name);
        EXPECT_EQ(message.rfind("Gmsh cannot read it: ", 0), 0u) << message;
        EXPECT_GT(message.size(), std::string("Gmsh cannot read it: ").size()) << "with Gmsh's error";
        EXPECT_EQ(message.find_first_of("\x01\x02\x03\x7f"), std::string::npos) << "no control characters from the file";
        host::io::ReadNotes notes;
        EXPECT_EQ(host::io::readModel(good, notes).parts.size(), 1u) << "after " << name;
    }
}

TEST_F(GmshErrorsTest, ScriptsAreNeverRun) {
    const std::filesystem::path marker = directory / "ran";
    for (const char* name : {"script.msh", "script.geo", "script.txt", "script.msh.gz"}) {
        write(directory / name, "System \"touch '" + marker.string() + "'\";\n");
        const std::string message = refusal(directory / name);
        EXPECT_NE(message.find("not a mesh file"), std::string::npos) << message;
        EXPECT_NE(message.find("script"), std::string::npos) << message;
    }
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST_F(GmshErrorsTest, FilesWithoutElementsTheHostShows) {
    msh_files::newGmshModel();
    const int surface = gmsh::model::addDiscreteEntity(2);
    gmsh::model::mesh::addNodes(2, surface, {1, 2, 3}, {0, 0, 0, 1, 0, 0, 0, 1, 0});
    msh_files::writeGmshFile(directory / "nodes-only.msh");
    EXPECT_EQ(refusal(directory / "nodes-only.msh"), "holds no elements");

    // Elements of no host type make a model without parts, and the notes say why.
    msh_files::newGmshModel();
    msh_files::addReferenceElement(2, gmsh::model::addDiscreteEntity(2), 21, 1, 1, 0.0);
    msh_files::writeGmshFile(directory / "cubic.msh");
    host::io::ReadNotes notes;
    const ModelStr& model = host::io::readModel(directory / "cubic.msh", notes);
    EXPECT_TRUE(model.parts.empty());
    EXPECT_EQ(notes.lines, (std::vector<std::string>{
                               "left out 1 element of type \"Triangle 10\": the host has no element type for them",
                               "left out \"Surface 1\": no element there has a host element type"}));
}

}  // namespace
