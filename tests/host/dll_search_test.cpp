#include <gtest/gtest.h>

#include "base/dll_search.h"

namespace {

// Vista (6.0) keeps its shortcuts: the call that restricts the search there breaks the shell's
// link object. Every other version that has the call makes it.
TEST(DllSearch, SetDefaultDllDirectoriesEverywhereButVista) {
    EXPECT_EQ(UsesDefaultDllDirectories(6, 0), 0);
    const unsigned long others[][2] = {{4, 0}, {5, 1}, {5, 2}, {6, 1}, {6, 2}, {6, 3}, {10, 0}};
    for (const auto &version : others)
        EXPECT_EQ(UsesDefaultDllDirectories(version[0], version[1]), 1) << version[0] << "." << version[1];
}

}  // namespace
