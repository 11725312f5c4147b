// OLE on the test thread, as the program's entry point sets it up: drag and drop registration
// and WIC need it.
#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

namespace {

class OleEnvironment : public testing::Environment {
  public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr))); }
    void TearDown() override { ::OleUninitialize(); }
};

[[maybe_unused]] testing::Environment* const g_ole =
    testing::AddGlobalTestEnvironment(new OleEnvironment);

}  // namespace
