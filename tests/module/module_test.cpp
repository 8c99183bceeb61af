// The module frame as a host meets it: what Sceneport_get_module_info says, checked against the
// library file, and loading and unloading. The product pins itself on load, so a dlclose leaves
// it in the process; the build without pinning shows what an unload while the process goes on
// does (a warning on the host console, when the host wants one). Neither warns at exit.
#include "SceneportModule.h"
#include "host_log.h"
#include "session.h"
#include "test_support.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <regex>

namespace {

std::string product() { return testing_support::libraryIn("SCENEPORT_LIB_DIR", "libSceneport.so"); }
std::string unpinned() { return testing_support::libraryIn("SCENEPORT_TEST_LIB_DIR", "libSceneport_unpinned.so"); }
bool isLoaded(const std::string& library) { return dlopen(library.c_str(), RTLD_LAZY | RTLD_NOLOAD) != nullptr; }
bool openAndClose(const std::string& library) {
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    return handle != nullptr && dlclose(handle) == 0;
}
const std::string kWarning = "0 'Sceneport' dll is getting unloaded with application still running!\n";

// Shows the host console on stderr, a line of type and text per message, until the process ends.
void showConsole() {
    host::setDisplay(new host::Display{[](const host::ConsoleLine& line) {
        const std::string text = std::to_string(line.type) + " " + std::string(line.text.begin(), line.text.end()) + "\n";
        [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, text.data(), text.size());
    }, {}, {}});
}

// Death tests run this program anew for each case, so that every case starts without either library loaded; a case
// exits as any host ends, through the exit handlers and the loader's finalisers.
class Module : public testing_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        ASSERT_FALSE(product().empty() || unpinned().empty()) << "SCENEPORT_LIB_DIR or SCENEPORT_TEST_LIB_DIR unset";
        host::application().unloadWarningEnabled = true;
        GTEST_FLAG_SET(death_test_style, "threadsafe");
    }
};

TEST_F(Module, Info) {
    void* handle = dlopen(product().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    const auto info = reinterpret_cast<decltype(&Sceneport_get_module_info)>(dlsym(handle, "Sceneport_get_module_info"));
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info(0), "Dynamic linked library");
    // The version is the file's, then eleven hexadecimal digits naming the commit.
    const std::string version = info(1);
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(version, parts, std::regex(R"((\d+)\.(\d+\.\d+)\.[0-9a-f]{11})"))) << version;
    EXPECT_EQ(std::filesystem::canonical(product()).filename(), "libSceneport.so." + parts[1].str() + "." + parts[2].str());
    EXPECT_NE(testing_support::readelf("-d", product()).find("soname: [libSceneport.so." + parts[1].str() + "]"), std::string::npos);
    // Any other selector: the identification line of this build on this machine, which tools find in the file behind
    // its one "@(#)" and a tag of four characters.
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    const std::string line = info(2), image = testing_support::readFile(product());
    EXPECT_EQ(info(-1), line);
    EXPECT_TRUE(std::regex_match(line, std::regex("Sceneport version " + version + R"( \(see https?://[^ )]+\), built on )" + host +
                                                  R"( \((Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 123]\d \d{4} at )"
                                                  R"(([01]\d|2[0-3]):[0-5]\d:[0-5]\d\)Copyright \(c\) \d{4} \S.*)"))) << line;
    EXPECT_EQ(testing_support::occurrences(image, "@(#)"), 1);
    EXPECT_EQ(image.find("@(#)") + 8, image.find(line + '\0'));
    dlclose(handle);
}

// A library once pinned stays for the process.
TEST_F(Module, Unloading) {
    const std::pair<std::string, std::function<bool()>> rows[] = {
        {"", [] { return openAndClose(product()) && isLoaded(product()); }},
        // Another object in the global scope exports the same names: the product pins itself all the same.
        {"", [] { return dlopen(unpinned().c_str(), RTLD_NOW | RTLD_GLOBAL) && openAndClose(product()) && isLoaded(product()); }},
        {"", [] { return dlopen(unpinned().c_str(), RTLD_NOW) && dlopen(product().c_str(), RTLD_NOW); }},  // exit with both loaded
        {kWarning, [] { return openAndClose(unpinned()) && !isLoaded(unpinned()); }},
        {"", [] { return (host::application().unloadWarningEnabled = false, openAndClose(unpinned())) && !isLoaded(unpinned()); }},
    };
    for (const auto& [console, body] : rows)
        EXPECT_EXIT((showConsole(), std::exit(body() ? 0 : 3)), ::testing::ExitedWithCode(0), "^" + console + "$");
}

}  // namespace
