// CMemAllocator and CMediaSample: a pool of fixed buffers shared by two threads.
// A GetBuffer on an empty pool waits for a sample to come back, and a Decommit
// releases such a waiter with VFW_E_NOT_COMMITTED; memory stays valid until the
// last outstanding sample is back.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/graph/base/MediaSample.h"
#include "platform/graph/base/MemAllocator.h"

namespace {

ComPtr<IMemAllocator> MakePool(LONG count, LONG size, LONG align = 1, LONG prefix = 0)
{
    ComPtr<IMemAllocator> a;
    EXPECT_EQ(CMemAllocator::Create(&a), S_OK);
    ALLOCATOR_PROPERTIES want{count, size, align, prefix}, got{};
    EXPECT_EQ(a->SetProperties(&want, &got), S_OK);
    return a;
}

TEST(Allocator, CommitNeedsSizes)
{
    ComPtr<IMemAllocator> a;
    ASSERT_EQ(CMemAllocator::Create(&a), S_OK);
    EXPECT_EQ(a->Commit(), VFW_E_SIZENOTSET);
    ComPtr<IMediaSample> s;
    EXPECT_EQ(a->GetBuffer(&s, nullptr, nullptr, 0), VFW_E_NOT_COMMITTED);
}

TEST(Allocator, PropertiesAreRefusedWhileInUse)
{
    ComPtr<IMemAllocator> a = MakePool(2, 100);
    ALLOCATOR_PROPERTIES want{2, 100, 3, 0}, got{};
    EXPECT_EQ(a->SetProperties(&want, &got), VFW_E_BADALIGN);
    ASSERT_EQ(a->Commit(), S_OK);
    want.cbAlign = 1;
    EXPECT_EQ(a->SetProperties(&want, &got), VFW_E_ALREADY_COMMITTED);
    ComPtr<IMediaSample> s;
    ASSERT_EQ(a->GetBuffer(&s, nullptr, nullptr, 0), S_OK);
    ASSERT_EQ(a->Decommit(), S_OK);
    EXPECT_EQ(a->SetProperties(&want, &got), VFW_E_BUFFERS_OUTSTANDING);
    s.Reset();
    EXPECT_EQ(a->SetProperties(&want, &got), S_OK);
}

TEST(Allocator, BuffersHonourAlignmentAndPrefix)
{
    ComPtr<IMemAllocator> a = MakePool(3, 10, 64, 8);
    ASSERT_EQ(a->Commit(), S_OK);
    ComPtr<IMediaSample> s[3];
    for (auto& sample : s) {
        ASSERT_EQ(a->GetBuffer(&sample, nullptr, nullptr, 0), S_OK);
        BYTE* p = nullptr;
        ASSERT_EQ(sample->GetPointer(&p), S_OK);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 64, 0u);
        EXPECT_EQ(sample->GetSize(), 10);
        std::memset(p - 8, 0xAB, 18);  // prefix and buffer are ours to write
    }
    BYTE *p0, *p1;
    s[0]->GetPointer(&p0);
    s[1]->GetPointer(&p1);
    EXPECT_NE(p0, p1);
}

TEST(Allocator, ReturnedSampleComesBackClean)
{
    ComPtr<IMemAllocator> a = MakePool(1, 16);
    ASSERT_EQ(a->Commit(), S_OK);
    {
        ComPtr<IMediaSample> s;
        REFERENCE_TIME start = 5, stop = 9;
        ASSERT_EQ(a->GetBuffer(&s, &start, &stop, 0), S_OK);
        REFERENCE_TIME t0 = 0, t1 = 0;
        EXPECT_EQ(s->GetTime(&t0, &t1), S_OK);
        EXPECT_EQ(t0, 5);
        EXPECT_EQ(t1, 9);
        s->SetSyncPoint(TRUE);
        s->SetDiscontinuity(TRUE);
        EXPECT_EQ(s->SetActualDataLength(17), VFW_E_BUFFER_OVERFLOW);
    }
    ComPtr<IMediaSample> s;
    ASSERT_EQ(a->GetBuffer(&s, nullptr, nullptr, 0), S_OK);
    REFERENCE_TIME t0 = 0, t1 = 0;
    EXPECT_EQ(s->GetTime(&t0, &t1), VFW_E_SAMPLE_TIME_NOT_SET);
    EXPECT_EQ(s->IsSyncPoint(), S_FALSE);
    EXPECT_EQ(s->IsDiscontinuity(), S_FALSE);
}

TEST(Allocator, EmptyPoolBlocksUntilASampleReturns)
{
    ComPtr<IMemAllocator> a = MakePool(2, 8);
    ASSERT_EQ(a->Commit(), S_OK);
    ComPtr<IMediaSample> first, second, extra;
    ASSERT_EQ(a->GetBuffer(&first, nullptr, nullptr, 0), S_OK);
    ASSERT_EQ(a->GetBuffer(&second, nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(a->GetBuffer(&extra, nullptr, nullptr, AM_GBF_NOWAIT), VFW_E_TIMEOUT);

    IMediaSample* firstRaw = first.Get();
    HRESULT waited = E_FAIL;
    IMediaSample* got = nullptr;
    std::thread waiter([&] {
        ComPtr<IMediaSample> s;
        waited = a->GetBuffer(&s, nullptr, nullptr, 0);
        got = s.Get();
    });
    first.Reset();  // hands the sample to the waiter
    waiter.join();
    EXPECT_EQ(waited, S_OK);
    EXPECT_EQ(got, firstRaw);
}

TEST(Allocator, DecommitReleasesAWaitingGetBuffer)
{
    ComPtr<IMemAllocator> a = MakePool(1, 8);
    ASSERT_EQ(a->Commit(), S_OK);
    ComPtr<IMediaSample> held;
    ASSERT_EQ(a->GetBuffer(&held, nullptr, nullptr, 0), S_OK);

    HRESULT waited = S_OK;
    std::thread waiter([&] {
        ComPtr<IMediaSample> s;
        waited = a->GetBuffer(&s, nullptr, nullptr, 0);
    });
    ASSERT_EQ(a->Decommit(), S_OK);
    waiter.join();
    EXPECT_EQ(waited, VFW_E_NOT_COMMITTED);

    // The sample still out stays usable until it is released.
    BYTE* p = nullptr;
    ASSERT_EQ(held->GetPointer(&p), S_OK);
    std::memset(p, 0x5A, 8);
    held.Reset();
    ASSERT_EQ(a->Commit(), S_OK);
    EXPECT_EQ(a->GetBuffer(&held, nullptr, nullptr, 0), S_OK);
}

TEST(Allocator, OutstandingSampleKeepsThePoolAlive)
{
    const long before = quvo::module::ObjectCount();
    ComPtr<IMediaSample> s;
    {
        ComPtr<IMemAllocator> a = MakePool(1, 8);
        ASSERT_EQ(a->Commit(), S_OK);
        ASSERT_EQ(a->GetBuffer(&s, nullptr, nullptr, 0), S_OK);
        a->Decommit();
    }
    EXPECT_EQ(quvo::module::ObjectCount(), before + 1);
    BYTE* p = nullptr;
    ASSERT_EQ(s->GetPointer(&p), S_OK);
    p[7] = 1;
    s.Reset();
    EXPECT_EQ(quvo::module::ObjectCount(), before);
}

// Several threads take and return samples from a small pool while another
// decommits and recommits it: nothing may hang or be handed out twice.
TEST(Allocator, ConcurrentUseAndDecommit)
{
    ComPtr<IMemAllocator> a = MakePool(2, 4);
    ASSERT_EQ(a->Commit(), S_OK);
    std::atomic<bool> stop{false};
    std::vector<std::thread> users;
    for (int t = 0; t < 3; ++t) {
        users.emplace_back([&, t] {
            while (!stop.load()) {
                ComPtr<IMediaSample> s;
                if (a->GetBuffer(&s, nullptr, nullptr, 0) != S_OK) continue;
                BYTE* p = nullptr;
                s->GetPointer(&p);
                p[0] = static_cast<BYTE>(t);
            }
        });
    }
    for (int i = 0; i < 200; ++i) {
        a->Decommit();
        a->Commit();
    }
    stop.store(true);
    a->Decommit();
    for (auto& u : users) u.join();
    ALLOCATOR_PROPERTIES want{2, 4, 1, 0}, got{};
    EXPECT_EQ(a->SetProperties(&want, &got), S_OK);  // every sample came back
}

}  // namespace
