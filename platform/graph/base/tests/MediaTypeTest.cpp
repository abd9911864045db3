// Media type helpers: deep copies of the format block and the pUnk reference,
// ownership moves, and wildcard matching used during pin negotiation.
#include <gtest/gtest.h>

#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"
#include "platform/graph/base/MediaType.h"

namespace {

class CountedUnknown final : public IUnknown {
public:
    HRESULT QueryInterface(REFIID, void** ppv) override
    {
        *ppv = this;
        ++refs;
        return S_OK;
    }
    ULONG AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG Release() override { return static_cast<ULONG>(--refs); }
    int refs = 0;
};

CMediaType VideoWithFormat()
{
    CMediaType mt(&MEDIATYPE_Video);
    mt.SetSubtype(&MEDIASUBTYPE_RGB32);
    mt.SetFormatType(&FORMAT_VideoInfo);
    VIDEOINFOHEADER vih{};
    vih.bmiHeader.biWidth = 720;
    vih.bmiHeader.biHeight = 576;
    EXPECT_TRUE(mt.SetFormat(reinterpret_cast<const BYTE*>(&vih), sizeof vih));
    return mt;
}

TEST(MediaType, CopyDuplicatesFormatAndReferencesUnknown)
{
    CountedUnknown unk;
    CMediaType a = VideoWithFormat();
    a.pUnk = &unk;
    unk.AddRef();
    {
        CMediaType b(a);
        EXPECT_TRUE(a == b);
        EXPECT_NE(a.Format(), b.Format());
        EXPECT_EQ(unk.refs, 2);
        reinterpret_cast<VIDEOINFOHEADER*>(b.Format())->bmiHeader.biWidth = 1;
        EXPECT_FALSE(a == b);
    }
    EXPECT_EQ(unk.refs, 1);

    AM_MEDIA_TYPE* raw = CreateMediaType(&a);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->cbFormat, sizeof(VIDEOINFOHEADER));
    EXPECT_NE(raw->pbFormat, a.pbFormat);
    EXPECT_EQ(unk.refs, 2);
    DeleteMediaType(raw);
    EXPECT_EQ(unk.refs, 1);
    DeleteMediaType(nullptr);
}

TEST(MediaType, MoveHandsOverTheFormatBlock)
{
    CMediaType a = VideoWithFormat();
    BYTE* block = a.Format();
    CMediaType b(std::move(a));
    EXPECT_EQ(b.Format(), block);
    EXPECT_EQ(a.Format(), nullptr);
    EXPECT_FALSE(a.IsValid());

    CMediaType c;
    c = std::move(b);
    EXPECT_EQ(c.Format(), block);
    const CMediaType& same = c;
    c = same;  // assigning itself keeps the block
    EXPECT_EQ(c.FormatLength(), sizeof(VIDEOINFOHEADER));
}

TEST(MediaType, FormatBufferGrowsKeepingItsStart)
{
    CMediaType mt;
    BYTE* p = mt.AllocFormatBuffer(4);
    ASSERT_NE(p, nullptr);
    p[0] = 7;
    p = mt.ReallocFormatBuffer(16);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0], 7);
    EXPECT_EQ(p[15], 0);
    mt.ResetFormatBuffer();
    EXPECT_EQ(mt.FormatLength(), 0u);
}

TEST(MediaType, PartialTypesMatchAsWildcards)
{
    CMediaType full = VideoWithFormat();
    CMediaType anyVideo(&MEDIATYPE_Video);
    EXPECT_TRUE(anyVideo.IsPartiallySpecified());
    EXPECT_FALSE(full.IsPartiallySpecified());
    EXPECT_TRUE(full.MatchesPartial(&anyVideo));

    CMediaType audio(&MEDIATYPE_Audio);
    EXPECT_FALSE(full.MatchesPartial(&audio));

    CMediaType otherFormat = VideoWithFormat();
    reinterpret_cast<VIDEOINFOHEADER*>(otherFormat.Format())->bmiHeader.biHeight = 480;
    EXPECT_FALSE(full.MatchesPartial(&otherFormat));
    EXPECT_TRUE(full.MatchesPartial(&full));
}

TEST(MediaType, SampleSizeFlags)
{
    CMediaType mt;
    mt.SetSampleSize(0);
    EXPECT_FALSE(mt.IsFixedSize());
    EXPECT_EQ(mt.GetSampleSize(), 0u);
    mt.SetSampleSize(188);
    EXPECT_TRUE(mt.IsFixedSize());
    EXPECT_EQ(mt.GetSampleSize(), 188u);
}

}  // namespace
