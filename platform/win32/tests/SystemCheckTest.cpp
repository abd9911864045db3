// Start-up checks: the kernel release gate and the video output library.
#include <gtest/gtest.h>

#include "platform/win32/SystemCheck.h"

namespace {

TEST(SystemCheck, KernelReleaseParsing)
{
    int major = -1, minor = -1;
    ASSERT_TRUE(quvo::win32::ParseKernelRelease("6.1.0-13-amd64", &major, &minor));
    EXPECT_EQ(major, 6);
    EXPECT_EQ(minor, 1);
    ASSERT_TRUE(quvo::win32::ParseKernelRelease("3.10", &major, &minor));
    EXPECT_EQ(major, 3);
    EXPECT_EQ(minor, 10);
    EXPECT_FALSE(quvo::win32::ParseKernelRelease("", &major, &minor));
    EXPECT_FALSE(quvo::win32::ParseKernelRelease("6", &major, &minor));
    EXPECT_FALSE(quvo::win32::ParseKernelRelease("v6.1", &major, &minor));
    EXPECT_FALSE(quvo::win32::ParseKernelRelease(nullptr, &major, &minor));
}

TEST(SystemCheck, ThisMachinePassesAndTheGateIsReal)
{
    EXPECT_TRUE(quvo::win32::IsSupportedKernel());
    EXPECT_FALSE(quvo::win32::KernelReleaseAtLeast(100000, 0));
    EXPECT_TRUE(quvo::win32::KernelReleaseAtLeast(2, 6));
    // SDL2 is a build dependency, so its run-time library is present.
    EXPECT_TRUE(quvo::win32::CanLoadVideoOutputLibrary());
}

}  // namespace
