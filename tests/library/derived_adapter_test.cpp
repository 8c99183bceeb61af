// A host class derived from the adapter, linked against libSceneport.so alone: it builds only if
// the constructors, the destructor, the vtable, the type information and the protected members
// are exported, and then behaves like the adapter inside the library.
#include "ZVRMLAdapter.h"
#include "host_log.h"
#include "test_support.h"

#include <memory>
#include <string>
#include <typeinfo>

namespace {

class HostAdapter : public ZVRMLAdapter {
public:
    std::wstring fileNameFor(int frameIndex) {
        GuString name;
        getFilename(frameIndex, name);
        return name.GetBuffer();
    }
    void announce(const GuString& fileName) { displayExportingInfoMessage(fileName); }
    void startFile() { initialize(); }
};

using LibraryDerivedAdapter = testing_support::HostTest;

TEST_F(LibraryDerivedAdapter, ProtectedOperationsWorkThroughTheSharedLibrary) {
    HostAdapter adapter;
    adapter.params.fileName = "/exports/wheel.wrl";
    adapter.params.allFrames = true;
    EXPECT_EQ(adapter.fileNameFor(6), L"/exports/wheel7.wrl");

    adapter.announce(GuString("/exports/wheel7.wrl"));
    ASSERT_EQ(host::hostLog().prompts.size(), 1u);
    EXPECT_EQ(host::hostLog().prompts.back(), "Exporting /exports/wheel7.wrl...");
    adapter.startFile();
}

TEST_F(LibraryDerivedAdapter, ADerivedAdapterIsDestroyedAndIdentifiedThroughTheBase) {
    std::unique_ptr<ZVRMLAdapter> adapter = std::make_unique<HostAdapter>();
    adapter->params.fileName = "/exports/wheel.wrl";
    const ZVRMLAdapter copy(*adapter);
    EXPECT_EQ(std::wstring(copy.params.fileName.GetBuffer()), L"/exports/wheel.wrl");
    EXPECT_EQ(typeid(*adapter), typeid(HostAdapter));
    EXPECT_NE(dynamic_cast<HostAdapter*>(adapter.get()), nullptr);
}

}  // namespace
