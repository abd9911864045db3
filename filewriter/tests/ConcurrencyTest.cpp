// The writer under two threads, as in a running capture graph: a streaming thread
// pushes a program stream through the pin's Receive without pause, while the
// application thread starts and stops recordings under new names, changes limits,
// polls the byte count and the current name, and stops and restarts the filter.
// Afterwards every fragment listed in every description file has exactly the size
// given there, and the sizes add up to GetBytesStreamed: no write was torn or
// counted twice by the interleaving. Run under ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "filewriter/FileWriter.h"
#include "platform/com/ClassFactory.h"
#include "filewriter/tests/ProgramStream.h"
#include "filewriter/tests/Samples.h"
#include "filewriter/tests/TestFiles.h"
#include "platform/com/Runtime.h"

namespace quvo::filewriter {
namespace {

using test::TempDir;

// Sizes listed in a description file, checked against the files beside it.
ULONGLONG ListedBytes(const std::string& dir, const std::string& description, int* fragments)
{
    std::string text = test::ReadText(dir + "/" + description);
    EXPECT_EQ(text.rfind("TVMP\r\n", 0), 0u) << description;
    std::istringstream lines(text.substr(std::min<std::size_t>(6, text.size())));
    ULONGLONG total = 0;
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t semicolon = line.rfind(';');
        EXPECT_NE(semicolon, std::string::npos) << line;
        if (semicolon == std::string::npos) continue;
        long long size = std::stoll(line.substr(semicolon + 1));
        EXPECT_EQ(test::FileSize(dir + "/" + line.substr(0, semicolon)), size) << line;
        total += static_cast<ULONGLONG>(size);
        ++*fragments;
    }
    return total;
}

TEST(WriterConcurrency, ControlCallsAndStateChangesAgainstStreaming)
{
    TempDir dir;
    HRESULT hr = S_OK;
    ComPtr<IUnknown> writer;
    CreateComObject<FileWriter>(nullptr, &hr)->NonDelegatingQueryInterface(IID_IUnknown, writer.ReleaseAndGetVoidAddressOf());
    ComPtr<IBaseFilter> filter;
    ComPtr<IFileSinkFilter> sink;
    ComPtr<WriterControl> control;
    ComPtr<IMemInputPin> input;
    writer->QueryInterface(IID_IBaseFilter, filter.ReleaseAndGetVoidAddressOf());
    writer->QueryInterface(IID_IFileSinkFilter, sink.ReleaseAndGetVoidAddressOf());
    writer->QueryInterface(IID_WriterControl, control.ReleaseAndGetVoidAddressOf());
    ComPtr<IPin> pin;
    ASSERT_EQ(filter->FindPin(u"Input", pin.ReleaseAndGetAddressOf()), S_OK);
    pin->QueryInterface(IID_IMemInputPin, input.ReleaseAndGetVoidAddressOf());
    ASSERT_TRUE(sink && control && input);

    test::ProgramStreamBuilder ps(21);
    ps.Stream(400, 5);
    const std::vector<std::uint8_t> stream = ps.Take();

    int name = 0;
    auto nextName = [&] { return dir.Wide("rec" + std::to_string(name++) + ".mpg"); };
    control->EnableCaptureOnTheFly();
    ASSERT_EQ(sink->SetFileName(nextName().c_str(), nullptr), S_OK);
    control->SetFileSizeLimit(16);
    ASSERT_EQ(filter->Run(0), S_OK);

    std::atomic<bool> done{false};
    std::atomic<long> received{0};
    std::thread streaming([&] {
        test::SamplePool pool(4096, 8);
        std::size_t at = 0, step = 1;
        while (!done.load()) {
            std::size_t n = std::min(stream.size() - at, 500 + (step++ * 397) % 3500);
            ComPtr<IMediaSample> sample = pool.Make(stream.data() + at, n);
            if (sample && input->Receive(sample.Get()) == S_OK) received.fetch_add(1);
            at = (at + n) % stream.size();
        }
    });

    ULONGLONG lastCount = 0;
    for (int round = 0; round < 60; ++round) {
        EXPECT_EQ(control->StartRecording(), S_OK);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        control->SetFileSizeLimit(round % 2 ? 8 : 32);
        LPWSTR current = nullptr;
        EXPECT_EQ(sink->GetCurFile(&current, nullptr), S_OK);
        CoTaskMemFree(current);
        ULONGLONG count = control->GetBytesStreamed();
        EXPECT_GE(count, lastCount);
        lastCount = count;
        EXPECT_EQ(control->StopRecording(), S_OK);
        EXPECT_EQ(sink->SetFileName(nextName().c_str(), nullptr), S_OK);
        if (round % 10 == 9) {
            // A stop and restart in normal mode, with a capture limit on.
            filter->Stop();
            control->DisableCaptureOnTheFly();
            control->SetCaptureLimit(control->GetBytesStreamed() + 20000);
            filter->Pause();
            filter->Run(0);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            filter->Stop();
            control->EnableCaptureOnTheFly();
            EXPECT_EQ(sink->SetFileName(nextName().c_str(), nullptr), S_OK);
            filter->Run(0);
        }
    }
    done.store(true);
    streaming.join();
    filter->Stop();

    ULONGLONG listed = 0;
    int fragments = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        if (entry.path().extension() == ".mzl")
            listed += ListedBytes(dir.Path(), entry.path().filename().string(), &fragments);
    EXPECT_GT(received.load(), 0);
    EXPECT_GT(fragments, 0);
    EXPECT_GT(control->GetBytesStreamed(), 0u);
    EXPECT_EQ(listed, control->GetBytesStreamed());
}

}  // namespace
}  // namespace quvo::filewriter
