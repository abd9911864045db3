// Fixture for tests of the SDK with the virtual board: the board module (and the
// writer, when asked) is registered with regsvr into the test's own registry, the
// board is set through boardctl's commands, and every test starts and ends with
// the device shut down. The SDK is linked in, so the one device of the process is
// reached through the exports and, for what has no export, through TheDevice().
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"

namespace quvo::sdk::test {

// Runs regsvr (with -u: unregisters) on $QUVO_MODULE_DIR/<name>.so; true when it
// succeeded.
bool RegisterModule(const std::string& name, bool unregister = false);

// Runs one boardctl command line; true when it succeeded.
bool Board(const std::vector<std::string>& args);

// The whole current log file.
std::string ReadLog();

// Occurrences of `text` in `s`.
std::size_t Count(const std::string& s, const std::string& text);

class BoardSdkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // QuvoInitialize, expected to succeed; returns the status mask.
    static uint32_t InitializeOk();
    // Shuts the device down and starts it again, so that a fresh capture filter
    // reads the board's values set since.
    static uint32_t Reopen();

    static EncoderDevice& Device() { return TheDevice(); }
};

}  // namespace quvo::sdk::test
