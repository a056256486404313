// Starts the library once for the whole test binary and stops it at the end.
#include "PRSMXslTransformer.hpp"

#include <gtest/gtest.h>

namespace
{

class LibraryEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { QXXslTransformer_Initialize(nullptr); }
    void TearDown() override { QXXslTransformer_Terminate(nullptr); }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new LibraryEnvironment);

} // namespace
