// Media type helpers: CMediaType owns an AM_MEDIA_TYPE (format block in task memory,
// pUnk referenced) and copies deeply; the free functions handle the raw structure
// the way pins and enumerators hand it across interfaces.
#pragma once

#include "platform/graph/Types.h"

// Deep copy: the format block is duplicated in task memory and pUnk gets a reference.
// On failure `dst` is left zeroed (no format) and E_OUTOFMEMORY is returned.
HRESULT CopyMediaType(AM_MEDIA_TYPE* dst, const AM_MEDIA_TYPE* src);
// Frees the format block and releases pUnk; the structure itself stays.
void FreeMediaType(AM_MEDIA_TYPE& mt);
// A task-memory AM_MEDIA_TYPE holding a deep copy of `src` (null on failure).
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* src);
// Frees what CreateMediaType (or an IEnumMediaTypes::Next) handed out; null is fine.
void DeleteMediaType(AM_MEDIA_TYPE* mt);

class CMediaType : public AM_MEDIA_TYPE {
public:
    CMediaType();
    explicit CMediaType(const GUID* majorType);
    CMediaType(const AM_MEDIA_TYPE& mt);
    CMediaType(const CMediaType& mt);
    CMediaType(CMediaType&& mt) noexcept;
    ~CMediaType();

    CMediaType& operator=(const AM_MEDIA_TYPE& mt);
    CMediaType& operator=(const CMediaType& mt);
    CMediaType& operator=(CMediaType&& mt) noexcept;
    bool operator==(const CMediaType& other) const;
    bool operator!=(const CMediaType& other) const { return !(*this == other); }

    // Deep copy with a result (assignment cannot report an allocation failure).
    HRESULT Set(const AM_MEDIA_TYPE& mt);
    bool IsValid() const { return majortype != GUID_NULL; }

    const GUID* Type() const { return &majortype; }
    void SetType(const GUID* type) { majortype = *type; }
    const GUID* Subtype() const { return &subtype; }
    void SetSubtype(const GUID* type) { subtype = *type; }
    const GUID* FormatType() const { return &formattype; }
    void SetFormatType(const GUID* type) { formattype = *type; }
    ULONG FormatLength() const { return cbFormat; }
    BYTE* Format() const { return pbFormat; }

    // Replaces the format block with a copy of `format` (length bytes).
    bool SetFormat(const BYTE* format, ULONG length);
    // A zeroed format block of `length` bytes (null on failure).
    BYTE* AllocFormatBuffer(ULONG length);
    // Grows or shrinks the block keeping its leading bytes (null on failure).
    BYTE* ReallocFormatBuffer(ULONG length);
    void ResetFormatBuffer();

    void SetSampleSize(ULONG size);
    ULONG GetSampleSize() const { return bFixedSizeSamples ? lSampleSize : 0; }
    void SetVariableSize() { bFixedSizeSamples = FALSE; }
    bool IsFixedSize() const { return bFixedSizeSamples != FALSE; }
    void SetTemporalCompression(BOOL compressed) { bTemporalCompression = compressed; }
    bool IsTemporalCompressed() const { return bTemporalCompression != FALSE; }

    // Major, sub or format type left as GUID_NULL: a wildcard.
    bool IsPartiallySpecified() const;
    // Whether this (fully specified) type fits the wildcard pattern `partial`.
    bool MatchesPartial(const CMediaType* partial) const;

    // Back to the empty type of a fresh object.
    void InitMediaType();
};
