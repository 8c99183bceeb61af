// Loading and unloading the plug-in as a host does. The product pins itself on load, so a
// dlclose leaves it in the process; the test build without the pinning shows what an unload
// while the process goes on does (a warning on the host console, when the host wants one), and
// neither warns at process exit, whether opened with dlopen or loaded with the program. Each
// case needs a process of its own, as ctest runs them.
#include "module_libraries.h"
#include "test_support.h"

#include "host_log.h"
#include "session.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

using module_testing::isLoaded;
using module_testing::productLibrary;
using module_testing::unpinnedLibrary;

const std::wstring kUnloadWarning =
    L"'Sceneport' dll is getting unloaded with application still running!";

// A console line as a child shows it on a pipe or on its standard error.
std::string consoleText(int type, const std::wstring& text) {
    std::string shown = std::to_string(type) + " ";
    for (wchar_t c : text) shown += static_cast<char>(c);  // the warning is ASCII
    return shown + "\n";
}

// Shows the host console on `fd` until the process ends: the display is never destroyed, so it
// outlives the exit handlers and shows what runs after them.
void showConsoleOn(int fd) {
    host::setDisplay(new host::Display{[fd](const host::ConsoleLine& line) {
        const std::string text = consoleText(line.type, line.text);
        [[maybe_unused]] const ssize_t written = write(fd, text.data(), text.size());
    }, {}, {}});
}

// A fresh host session with both builds of the library at hand.
class ModuleTest : public testing_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        ASSERT_FALSE(productLibrary().empty()) << "SCENEPORT_LIB_DIR is not set";
        ASSERT_FALSE(unpinnedLibrary().empty()) << "SCENEPORT_TEST_LIB_DIR is not set";
    }
};

class ModuleLoading : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        if (isLoaded(productLibrary()))
            GTEST_SKIP() << "an earlier case in this process has pinned the library";
    }

    // Opens `library` and closes it again, as a host done with a plug-in does.
    static void openAndClose(const std::string& library) {
        void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        EXPECT_EQ(dlclose(handle), 0) << dlerror();
    }
};

TEST_F(ModuleLoading, TheProductStaysLoadedAfterTheHostClosesIt) {
    openAndClose(productLibrary());
    EXPECT_TRUE(isLoaded(productLibrary()));
    EXPECT_TRUE(host::hostLog().console.empty());
    EXPECT_EQ(host::hostLog().calls("ZGenIsDLLUnloadWarningEnabled"), 0);
}

TEST_F(ModuleLoading, WithoutPinningAClosedLibraryIsUnloadedWithAWarning) {
    host::application().unloadWarningEnabled = true;
    openAndClose(unpinnedLibrary());
    EXPECT_FALSE(isLoaded(unpinnedLibrary()));
    ASSERT_EQ(host::hostLog().console.size(), 1u);
    const host::ConsoleLine& line = host::hostLog().console.front();
    EXPECT_EQ(line.type, 0);
    EXPECT_EQ(line.text, kUnloadWarning);
    EXPECT_FALSE(line.link);
}

TEST_F(ModuleLoading, WithTheWarningSwitchedOffAnUnloadIsSilent) {
    host::application().unloadWarningEnabled = false;
    openAndClose(unpinnedLibrary());
    EXPECT_FALSE(isLoaded(unpinnedLibrary()));
    EXPECT_TRUE(host::hostLog().console.empty());
    EXPECT_EQ(host::hostLog().calls("ZGenIsDLLUnloadWarningEnabled"), 1);
}

// Another object in the global scope exporting the same names must not make the library pin
// that object instead of itself.
TEST_F(ModuleLoading, PinningKeepsItsOwnFileWhenAnotherExportsTheSameNames) {
    ASSERT_NE(dlopen(unpinnedLibrary().c_str(), RTLD_NOW | RTLD_GLOBAL), nullptr) << dlerror();
    openAndClose(productLibrary());
    EXPECT_TRUE(isLoaded(productLibrary()));
    EXPECT_TRUE(host::hostLog().console.empty());
}

struct ChildOutcome {
    int status = -1;      // as waitpid reports it
    std::string console;  // consoleText of each line
};

// Runs `body` in a child process that shows the host console on a pipe and then ends with
// std::exit(0) (or 3 when `body` fails), through the exit handlers and the loader's finalisers as
// any host ends.
ChildOutcome runChild(const std::function<bool()>& body) {
    ChildOutcome outcome;
    int channel[2];
    if (pipe(channel) != 0) {
        ADD_FAILURE() << "no pipe";
        return outcome;
    }
    std::fflush(nullptr);  // or the child would write the parent's buffered output again
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        showConsoleOn(channel[1]);
        std::exit(body() ? 0 : 3);
    }
    close(channel[1]);
    char chunk[256];
    for (ssize_t n; (n = read(channel[0], chunk, sizeof chunk)) > 0;) outcome.console.append(chunk, n);
    close(channel[0]);
    waitpid(child, &outcome.status, 0);
    return outcome;
}

// A call to the host after its static objects are gone would also show, as a crash.
TEST_F(ModuleLoading, ProcessExitWithTheLibrariesLoadedNeverWarns) {
    host::application().unloadWarningEnabled = true;
    const ChildOutcome outcome = runChild([] {
        return dlopen(unpinnedLibrary().c_str(), RTLD_NOW) != nullptr &&
               dlopen(productLibrary().c_str(), RTLD_NOW) != nullptr;
    });
    ASSERT_TRUE(WIFEXITED(outcome.status)) << "status " << outcome.status;
    EXPECT_EQ(WEXITSTATUS(outcome.status), 0);
    EXPECT_EQ(outcome.console, "");
}

// The same child, but it unloads the library before it exits: the pipe does carry the warning.
TEST_F(ModuleLoading, AnUnloadBeforeProcessExitWarnsOnTheSamePipe) {
    host::application().unloadWarningEnabled = true;
    const ChildOutcome outcome = runChild([] {
        void* handle = dlopen(unpinnedLibrary().c_str(), RTLD_NOW);
        return handle != nullptr && dlclose(handle) == 0;
    });
    ASSERT_TRUE(WIFEXITED(outcome.status)) << "status " << outcome.status;
    EXPECT_EQ(WEXITSTATUS(outcome.status), 0);
    EXPECT_EQ(outcome.console, consoleText(0, kUnloadWarning));
}

// A library loaded with the program (a dependency of the executable, or preloaded) has its
// constructor run before the program starts; it is never unloaded. The cases run this test
// program anew with the library preloaded: gtest's threadsafe death tests start it again, with
// the environment of the moment, and compare what the child writes on its standard error.
class ModuleLoadedWithTheProgram : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        GTEST_FLAG_SET(death_test_style, "threadsafe");
    }

    // LD_PRELOAD for the programs started while it lives.
    class Preloaded {
    public:
        explicit Preloaded(const std::string& library) {
            if (const char* value = std::getenv("LD_PRELOAD")) m_previous = value;
            setenv("LD_PRELOAD", library.c_str(), 1);
        }
        ~Preloaded() {
            if (m_previous.empty()) unsetenv("LD_PRELOAD");
            else setenv("LD_PRELOAD", m_previous.c_str(), 1);
        }

    private:
        std::string m_previous;
    };
};

TEST_F(ModuleLoadedWithTheProgram, NeitherBuildWarnsAtExit) {
    for (const std::string& library : {productLibrary(), unpinnedLibrary()}) {
        const Preloaded preloaded(library);
        EXPECT_EXIT(
            {
                showConsoleOn(STDERR_FILENO);
                std::exit(0);
            },
            ::testing::ExitedWithCode(0), "^$")
            << library;
    }
}

// The same child does show the console: an unload while it runs, of the build without pinning
// opened with dlopen, is its one line.
TEST_F(ModuleLoadedWithTheProgram, AnUnloadWhileItRunsIsItsOneConsoleLine) {
    const Preloaded preloaded(productLibrary());
    EXPECT_EXIT(
        {
            showConsoleOn(STDERR_FILENO);
            void* handle = dlopen(unpinnedLibrary().c_str(), RTLD_NOW);
            std::exit(handle != nullptr && dlclose(handle) == 0 ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "^" + consoleText(0, kUnloadWarning) + "$");
}

}  // namespace
