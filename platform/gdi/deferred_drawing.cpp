#include "deferred_drawing.h"

#include <winlayer/frame_rate.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cstdlib>
#include <mutex>
#include <string_view>

#include "objects.h"
#include "raster.h"

namespace winlayer::gdi {

namespace {

// -1: as the variable and the frame rate say; 0 or 1: as a test set it.
std::atomic<int> deferralOverride{-1};

bool DeferralChosen() {
  static const bool chosen = [] {
    const char* value = std::getenv(kDeferVariable);
    if (value && std::string_view(value) == "0") return false;
    if (value && std::string_view(value) == "1") return true;
    return FrameRate() != 0;
  }();
  return chosen;
}

// Every recording, so that a write into a bitmap finds the ones that copy from it.
std::mutex& RegistryLock() {
  static auto* lock = new std::mutex;  // used by bitmaps that outlive main's statics
  return *lock;
}
std::vector<Recording*>& Registry() {
  static auto* recordings = new std::vector<Recording*>;
  return *recordings;
}

// Cover tests are exact but bounded: past this many opaque calls a frame
// covers no more (it is then drawn, never wrongly dropped).
constexpr std::size_t kMostCoverRects = 256;
constexpr std::size_t kMostPieces = 512;

std::atomic<std::uint64_t> callsDrawn{0}, framesDropped{0};

bool SameCalls(const std::vector<std::unique_ptr<RecordedCall>>& a, const std::vector<std::unique_ptr<RecordedCall>>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!a[i]->SameAs(*b[i])) return false;
  return true;
}

}  // namespace

bool SameFontDescription(const LOGFONTA& a, const LOGFONTA& b) {
  return std::memcmp(&a, &b, offsetof(LOGFONTA, lfFaceName)) == 0 &&
         std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

bool DrawState::operator==(const DrawState& o) const {
  const auto samePen = [](const Pen& a, const Pen& b) { return a.style == b.style && a.width == b.width && a.color == b.color; };
  const auto sameBrush = [](const Brush& a, const Brush& b) { return a.style == b.style && a.color == b.color; };
  const auto sameFont = [](const Font& a, const Font& b) { return SameFontDescription(a.description, b.description); };
  return textColor == o.textColor && bkColor == o.bkColor && bkMode == o.bkMode && fillMode == o.fillMode &&
         (pen == o.pen || samePen(*pen, *o.pen)) && (brush == o.brush || sameBrush(*brush, *o.brush)) &&
         (font == o.font || sameFont(*font, *o.font));
}

DeferredCounts DeferredTotals() { return {callsDrawn.load(), framesDropped.load()}; }

bool DeferralEnabled() {
  const int o = deferralOverride.load(std::memory_order_relaxed);
  return o < 0 ? DeferralChosen() : o != 0;
}

void SetDeferralForTesting(bool enabled) { deferralOverride.store(enabled ? 1 : 0); }

const Surface& Source::Pixels(const Surface& target) const { return bitmap ? *bitmap->surface : target; }

bool CoveredBy(const Rect& r, const std::vector<Rect>& cover) {
  if (r.Empty()) return true;
  // What is left of `r` after taking away each rectangle in turn.
  std::vector<Rect> left{r}, next;
  for (const Rect& c : cover) {
    next.clear();
    for (const Rect& p : left) {
      const Rect i = raster::Intersect(p, c);
      if (i.Empty()) {
        next.push_back(p);
        continue;
      }
      if (p.top < i.top) next.push_back({p.left, p.top, p.right, i.top});
      if (i.bottom < p.bottom) next.push_back({p.left, i.bottom, p.right, p.bottom});
      if (p.left < i.left) next.push_back({p.left, i.top, i.left, i.bottom});
      if (i.right < p.right) next.push_back({i.right, i.top, p.right, i.bottom});
    }
    left.swap(next);
    if (left.empty()) return true;
    if (left.size() > kMostPieces) return false;
  }
  return false;
}

Recording::Recording(Bitmap& bitmap) : bitmap_(bitmap) {
  std::lock_guard guard(RegistryLock());
  Registry().push_back(this);
}

Recording::~Recording() {
  {
    std::lock_guard guard(RegistryLock());
    auto& r = Registry();
    r.erase(std::remove(r.begin(), r.end(), this), r.end());
  }
  for (const auto& s : sources_) s->readers.fetch_sub(1);
}

std::shared_ptr<const DrawState> Recording::Snapshot(const DrawState& now) {
  if (!lastState_ || !(*lastState_ == now)) lastState_ = std::make_shared<const DrawState>(now);
  return lastState_;
}

bool Recording::Covers(const Rect& r) const {
  for (const Rect& c : covered_)  // nearly always one rectangle holds it all: the background
    if (raster::Intersect(r, c) == r) return true;
  return CoveredBy(r, covered_);
}

void Recording::NoteRead(const Rect& r) {
  if (readsPrevious_) return;
  const Rect read = raster::Intersect(r, previousTouched_);
  if (read.Empty() || Covers(read)) return;
  readsPrevious_ = true;
  DrawPreviousLocked();  // this call needs the previous frame's pixels
}

void Recording::Add(std::unique_ptr<RecordedCall> call, const std::shared_ptr<Bitmap>& source) {
  std::lock_guard guard(lock_);
  if (source && std::find(sources_.begin(), sources_.end(), source) == sources_.end()) {
    source->readers.fetch_add(1);
    sources_.push_back(source);
  }
  const Rect touched = raster::Intersect(call->touched, bitmap_.surface->Bounds());
  if (call->cover == Cover::Opaque) {
    if (!touched.Empty() && covered_.size() < kMostCoverRects) covered_.push_back(touched);
  } else if (call->cover == Cover::WithinTarget) {
    NoteRead(bitmap_.surface->Bounds());  // its source may lie anywhere in the bitmap
  }
  currentTouched_ = Union(currentTouched_, touched);
  current_.push_back(std::move(call));
}

void Recording::DrawPreviousLocked() {
  const Surface& target = *bitmap_.surface;
  callsDrawn.fetch_add(previous_.size() - previousDrawn_, std::memory_order_relaxed);
  for (; previousDrawn_ < previous_.size(); ++previousDrawn_) previous_[previousDrawn_]->Draw(target);
}

void Recording::DrawPending() {
  std::lock_guard guard(lock_);
  DrawPreviousLocked();
  const Surface& target = *bitmap_.surface;
  callsDrawn.fetch_add(current_.size() - currentDrawn_, std::memory_order_relaxed);
  for (; currentDrawn_ < current_.size(); ++currentDrawn_) current_[currentDrawn_]->Draw(target);
  ForgetSourcesIfIdleLocked();
}

bool Recording::DrawHeldFrame() {
  std::lock_guard guard(lock_);
  if (currentDrawn_ > 0) return false;
  DrawPreviousLocked();
  return true;
}

bool Recording::Reads(const Bitmap* source) {
  std::lock_guard guard(lock_);
  for (const auto& s : sources_)
    if (s.get() == source) return true;
  return false;
}

void Recording::ForgetSourcesIfIdleLocked() {
  if (previousDrawn_ < previous_.size() || currentDrawn_ < current_.size()) return;
  for (const auto& s : sources_) s->readers.fetch_sub(1);
  sources_.clear();
}

bool Recording::EndFrame(bool shown, Rect* changed) {
  std::lock_guard guard(lock_);
  // Every pixel the last frame changed is set opaquely by this one (and no
  // copy read one first): this frame's pixels do not depend on the last's.
  const bool coversPrevious = !readsPrevious_ && CoveredBy(previousTouched_, covered_);
  // Then the same calls again give the same pixels again: the bitmap stays as it is.
  const bool identical = coversPrevious && currentDrawn_ == 0 && SameCalls(current_, previous_);
  if (identical) {
    current_.clear();
    framesDropped.fetch_add(1, std::memory_order_relaxed);
  } else {
    if (previousDrawn_ < previous_.size()) {
      if (coversPrevious) {
        previousDrawn_ = previous_.size();  // every pixel it drew is drawn over: never draw it
        framesDropped.fetch_add(1, std::memory_order_relaxed);
      } else {
        DrawPreviousLocked();
      }
    }
    previous_.swap(current_);
    current_.clear();
    previousDrawn_ = currentDrawn_;
    previousTouched_ = currentTouched_;
    *changed = Union(*changed, currentTouched_);
  }
  currentDrawn_ = 0;
  currentTouched_ = {};
  covered_.clear();
  readsPrevious_ = false;
  if (shown) DrawPreviousLocked();
  ForgetSourcesIfIdleLocked();
  return !identical;
}

void BeforeWrite(Bitmap& bitmap) {
  bitmap.version.fetch_add(1, std::memory_order_relaxed);
  if (bitmap.readers.load() == 0) return;
  std::lock_guard guard(RegistryLock());
  for (Recording* r : Registry())
    if (r != bitmap.recording.get() && r->Reads(&bitmap)) r->DrawPending();
}

}  // namespace winlayer::gdi
