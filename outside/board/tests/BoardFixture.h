// Fixture for tests of the board module through the component layer: registers
// the built module into the test's own registry, and hands out capture filters
// bound from the device category as the host does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "outside/board/driver/BoardConfig.h"
#include "outside/board/driver/BoardDriver.h"
#include "interfaces/BoardInterfaces.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/DeviceInterfaces.h"

namespace quvo::board::test {

// Friendly names of the video input devices, in enumeration order.
std::vector<std::string> VideoInputDevices();
// Binds the device named `name` to a new capture filter (null if not found).
ComPtr<IBaseFilter> BindDevice(const std::string& name = kDefaultDevice);

class BoardTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Clears every fault and run-time value the tests may have set.
    static void ClearValues();
    // Sets a value and binds a fresh filter, which reads the values at once.
    ComPtr<IBaseFilter> FreshFilter() { return BindDevice(); }

    template <class T>
    ComPtr<T> As(const ComPtr<IBaseFilter>& f)
    {
        ComPtr<T> p;
        if (f) f->QueryInterface(uuidof<T>(), p.ReleaseAndGetVoidAddressOf());
        return p;
    }

    // Reads a property of the board's own set into a buffer whose header is a
    // marker pattern; returns the call's result.
    static HRESULT GetProperty(IKsPropertySet* ks, DWORD id, std::vector<BYTE>* buffer);
    static HRESULT SetProperty(IKsPropertySet* ks, DWORD id, std::vector<BYTE>& buffer);
    static std::uint32_t U32(const std::vector<BYTE>& b, std::size_t at);
    static void PutU32(std::vector<BYTE>& b, std::size_t at, std::uint32_t v);
};

// A board capture filter in the platform's filter graph, for streaming tests.
class BoardGraphTest : public BoardTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // The board's first pin of that direction.
    ComPtr<IPin> BoardPin(PIN_DIRECTION dir);
    static ComPtr<IPin> FirstPin(IBaseFilter* f);
    ComPtr<IMediaControl> Control();
    ComPtr<IMediaEvent> Events();

    ComPtr<IGraphBuilder> graph_;
    ComPtr<IBaseFilter> board_;
};

}  // namespace quvo::board::test
