#include "outside/maker/AccessUnits.h"

#include <algorithm>

namespace quvo::maker {
namespace {

constexpr std::uint8_t kPictureStart = 0x00;
constexpr std::uint8_t kSequenceHeader = 0xB3;
constexpr std::uint8_t kGroupStart = 0xB8;

}  // namespace

AccessUnitCutter::AccessUnitCutter(std::int64_t frameDuration, Sink sink)
    : frameDuration_(frameDuration > 0 ? frameDuration : 400000), sink_(std::move(sink))
{
}

void AccessUnitCutter::Reset()
{
    unit_ = AccessUnit();
    started_ = hasPicture_ = timePending_ = haveReference_ = haveDts_ = haveAnchor_ = haveShown_ = false;
    typeAt_ = 0;
    scan_ = 0xFFFFFFFF;
}

void AccessUnitCutter::Push(const std::uint8_t* data, std::size_t size, bool hasTime, std::int64_t time)
{
    if (hasTime) {
        timePending_ = true;
        pendingTime_ = time;
    }
    unit_.bytes.reserve(unit_.bytes.size() + size);
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t b = data[i];
        scan_ = (scan_ << 8) | b;
        if (started_ && unit_.bytes.size() < kMaxUnitBytes) unit_.bytes.push_back(b);
        if (typeAt_ && unit_.bytes.size() == typeAt_ + 1) {
            unit_.type = static_cast<PictureType>((b >> 3) & 7);
            unit_.temporalReference = (unit_.bytes[typeAt_ - 1] << 2) | (b >> 6);
            typeAt_ = 0;
        }
        if ((scan_ & 0xFFFFFF00u) == 0x00000100u) StartCode(b);
    }
}

void AccessUnitCutter::StartCode(std::uint8_t id)
{
    const bool opens = id == kPictureStart || id == kSequenceHeader || id == kGroupStart;
    if (!opens) return;
    if (!started_) {
        // Bytes before the first header are the tail of a picture cut off by the
        // start of the file: no decoder can use them.
        started_ = true;
        unit_.bytes.assign({0x00, 0x00, 0x01, id});
    } else if (hasPicture_) {
        Cut();
    }
    if (id == kSequenceHeader || id == kGroupStart) unit_.key = true;
    if (id == kPictureStart) {
        hasPicture_ = true;
        typeAt_ = unit_.bytes.size() + 1;  // temporal reference, then the type's byte
        if (timePending_) {
            unit_.hasTime = true;
            unit_.pts = pendingTime_;
            timePending_ = false;
        }
    }
}

void AccessUnitCutter::Cut()
{
    AccessUnit next;
    next.bytes.assign(unit_.bytes.end() - 4, unit_.bytes.end());
    unit_.bytes.resize(unit_.bytes.size() - 4);
    Stamp(unit_);
    sink_(unit_);
    unit_ = std::move(next);
    hasPicture_ = false;
    typeAt_ = 0;
}

void AccessUnitCutter::Finish()
{
    if (hasPicture_) {
        Stamp(unit_);
        sink_(unit_);
    }
    unit_ = AccessUnit();
    hasPicture_ = started_ = timePending_ = false;
    typeAt_ = 0;
    scan_ = 0xFFFFFFFF;
}

void AccessUnitCutter::Stamp(AccessUnit& unit)
{
    // Temporal references count from each group, whose first picture in display
    // order follows the last one shown before it.
    if (unit.key) {
        haveAnchor_ = haveShown_;
        anchorReference_ = 0;
        anchorPts_ = lastShown_ + frameDuration_;
    }
    if (unit.hasTime && unit.temporalReference >= 0) {
        haveAnchor_ = true;
        anchorReference_ = unit.temporalReference;
        anchorPts_ = unit.pts;
    } else if (!unit.hasTime && haveAnchor_ && unit.temporalReference >= 0) {
        unit.hasTime = true;
        unit.pts = anchorPts_ + (unit.temporalReference - anchorReference_) * frameDuration_;
    }
    if (!unit.hasTime) return;
    lastShown_ = haveShown_ ? std::max(lastShown_, unit.pts) : unit.pts;
    haveShown_ = true;

    std::int64_t dts = unit.pts;
    if (unit.type != PictureType::B) {
        dts = haveReference_ ? lastReferencePts_ : unit.pts - frameDuration_;
        haveReference_ = true;
        lastReferencePts_ = unit.pts;
    }
    // Decoding times only move forward, a picture a frame after the one before
    // (a reference picture that came without a time can leave a gap the rule
    // above cannot see), and never pass the showing time.
    if (haveDts_ && dts <= lastDts_) dts = lastDts_ + frameDuration_;
    unit.dts = std::min(dts, unit.pts);
    haveDts_ = true;
    lastDts_ = unit.dts;
}

}  // namespace quvo::maker
