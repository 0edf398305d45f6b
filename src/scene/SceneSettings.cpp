#include "scene/SceneSettings.h"

#include <algorithm>
#include <cassert>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <new>
#include <utility>

namespace horizonmill {

std::optional<std::int32_t> ParseInteger(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > std::int64_t{1} << 31) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::optional<long double> ParseReal(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  // Only [sign] digits [. digits] [e|E [sign] digits], with a digit on at least one
  // side of the point: no "inf", "nan", hexadecimal or locale-dependent forms.
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto digits = [&] {
    std::size_t start = i;
    while (i < n && text[i] >= '0' && text[i] <= '9') ++i;
    return i - start;
  };
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t mantissa = digits();
  if (i < n && text[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return std::nullopt;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    if (digits() == 0) return std::nullopt;
  }
  if (i != n) return std::nullopt;
  // from_chars takes no leading "+".
  std::string_view number = text;
  if (number.front() == '+') number.remove_prefix(1);
  long double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::int32_t ToInteger(std::string_view text) { return ParseInteger(text).value_or(0); }

long double ToReal(std::string_view text) { return ParseReal(text).value_or(0); }

SkyGradation SkyGradation::Default() {
  SkyGradation g;
  g.Count = 3;
  for (auto& c : g.Colors) c = FloatColour{0, 0, 0, 255};
  g.Positions.fill(0);
  g.Colors[0] = FloatColour{0, 0, 255, 255};
  g.Colors[1] = FloatColour{255, 255, 255, 255};
  g.Colors[2] = FloatColour{0, 0, 255, 255};
  g.Positions[1] = 0.5L;
  g.Positions[2] = 1.0L;
  return g;
}

ObjectEntry& ObjectEntry::operator=(const ObjectEntry& other) {
  if (this == &other) return *this;
  CopySettingsFrom(other);
  Filename = other.Filename;
  return *this;
}

void ObjectEntry::CopySettingsFrom(const ObjectEntry& other) {
  OpaqueColor = other.OpaqueColor;
  Manual = other.Manual;
  Placement = other.Placement;
  Scale = other.Scale;
  NumberOfObjects = other.NumberOfObjects;
  Shadeing = other.Shadeing;
  PositionMode = other.PositionMode;
  MixtureMode = other.MixtureMode;
  Transparency = other.Transparency;
  SoftFocus = other.SoftFocus;
}

bool ObjectEntry::SameSettingsAs(const ObjectEntry& other) const {
  return OpaqueColor == other.OpaqueColor && Manual == other.Manual &&
         Placement.Angle == other.Placement.Angle && Placement.Height == other.Placement.Height &&
         Placement.Distance == other.Placement.Distance && Scale == other.Scale &&
         NumberOfObjects == other.NumberOfObjects && Shadeing == other.Shadeing &&
         PositionMode == other.PositionMode && MixtureMode == other.MixtureMode &&
         Transparency == other.Transparency && SoftFocus == other.SoftFocus;
}

std::unique_ptr<ObjectEntry> NewObjectEntry(const ObjectEntry* inheritFrom) {
  std::unique_ptr<ObjectEntry> entry(new (std::nothrow) ObjectEntry);
  if (entry && inheritFrom != nullptr) entry->CopySettingsFrom(*inheritFrom);
  return entry;
}

ObjectGroup::ObjectGroup(const ObjectGroup& other) {
  for (const ObjectEntry& e : other) Append(std::make_unique<ObjectEntry>(e));
}

ObjectGroup& ObjectGroup::operator=(const ObjectGroup& other) {
  if (this != &other) {
    ObjectGroup copy(other);
    Swap(copy);
  }
  return *this;
}

ObjectGroup& ObjectGroup::operator=(ObjectGroup&& other) noexcept {
  if (this != &other) {
    Clear();
    Swap(other);
  }
  return *this;
}

bool operator==(const ObjectGroup& a, const ObjectGroup& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

std::size_t ObjectGroup::Size() const {
  std::size_t n = 0;
  for (const ObjectEntry* e = first_; e != nullptr; e = e->next_) ++n;
  return n;
}

bool ObjectGroup::Contains(const ObjectEntry* entry) const {
  for (const ObjectEntry* e = first_; e != nullptr; e = e->next_)
    if (e == entry) return true;
  return false;
}

void ObjectGroup::Append(std::unique_ptr<ObjectEntry> entry) { Insert(nullptr, std::move(entry)); }

void ObjectGroup::Insert(ObjectEntry* next, std::unique_ptr<ObjectEntry> entry) {
  assert(entry != nullptr && "inserting no entry");
  assert((next == nullptr || Contains(next)) && "inserting before an entry of another group");
  ObjectEntry* e = entry.release();
  ObjectEntry* prev = next != nullptr ? next->prev_ : last_;
  e->prev_ = prev;
  e->next_ = next;
  if (prev != nullptr)
    prev->next_ = e;
  else
    first_ = e;
  if (next != nullptr)
    next->prev_ = e;
  else
    last_ = e;
}

std::unique_ptr<ObjectEntry> ObjectGroup::Release(ObjectEntry* entry) {
  assert(Contains(entry) && "removing an entry that is not in this group");
  if (entry->prev_ != nullptr)
    entry->prev_->next_ = entry->next_;
  else
    first_ = entry->next_;
  if (entry->next_ != nullptr)
    entry->next_->prev_ = entry->prev_;
  else
    last_ = entry->prev_;
  entry->prev_ = entry->next_ = nullptr;
  return std::unique_ptr<ObjectEntry>(entry);
}

void ObjectGroup::Swap(ObjectGroup& other) noexcept {
  std::swap(first_, other.first_);
  std::swap(last_, other.last_);
}

void ObjectGroup::Clear() {
  while (first_ != nullptr) Remove(first_);
}

void SceneSettings::Reset() {
  Sky = SkyGradation::Default();
  Sun = SunSettings{};
  Stars = StarSettings{};
  Ground = GroundSettings{};
  Ceiling = CeilingSettings{};
  Far.Clear();
  Mid.Clear();
  Near.Clear();
  RandomSeed = "65536";
  AirDepth = "0.0";
  Output = OutputSettings{};
}

void SceneSettings::Swap(SceneSettings& other) noexcept {
  std::swap(RandomSeed, other.RandomSeed);
  std::swap(AirDepth, other.AirDepth);
  std::swap(Sky, other.Sky);
  std::swap(Sun, other.Sun);
  std::swap(Stars, other.Stars);
  std::swap(Ceiling, other.Ceiling);
  std::swap(Ground, other.Ground);
  Far.Swap(other.Far);
  Mid.Swap(other.Mid);
  Near.Swap(other.Near);
  std::swap(Output, other.Output);
}

bool SceneSettings::RemoveObjectEntry(ObjectEntry* entry) {
  for (ObjectGroup* group : {&Far, &Mid, &Near}) {
    if (group->Contains(entry)) {
      group->Remove(entry);
      return true;
    }
  }
  return false;
}

}  // namespace horizonmill
