// SceneSettings: the complete description of one background, as the user
// wrote it — the document. A value: copied whole (the window's edit history
// keeps whole documents), compared with ==, and changed only by what the user
// does. No picture lives in it: pictures are named (exactly as written, relative
// or absolute), found and decoded when the scene is prepared for a render
// (render/PreparedScene.h), and a picture that cannot be had changes nothing
// here.
//
// Two kinds of field: text fields hold exactly what the user typed (or what a
// settings file supplied) and are converted by ToInteger / ToReal only when used;
// value fields hold numbers, colours, flags and modes. A "real" is long double.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "image/Colour.h"

namespace horizonmill {

// Decimal integer with an optional sign and nothing else; text that does not
// convert, or a value outside the 32-bit range, gives 0.
std::int32_t ToInteger(std::string_view text);
// Decimal real with "." as the decimal point and an optional exponent,
// surrounding blanks allowed; any other text (and a value beyond the range of
// a real) gives 0.
long double ToReal(std::string_view text);
// The same conversions, with nothing for text that does not convert.
std::optional<std::int32_t> ParseInteger(std::string_view text);
std::optional<long double> ParseReal(std::string_view text);

enum class PositionMode : std::uint8_t { Ground = 0, Sky = 1 };
enum class OutputFormat : std::uint8_t { Normal, Old, OldDiet };

struct SkyGradation {
  static constexpr int kCapacity = 16;
  std::int32_t Count = 3;  // stops in use, 0..16
  std::array<FloatColour, kCapacity> Colors{};
  std::array<long double, kCapacity> Positions{};

  // Blue at 0.0, white at 0.5, blue at 1.0; the other entries black at 0.0.
  static SkyGradation Default();
  friend bool operator==(const SkyGradation&, const SkyGradation&) = default;
};

struct SunPosition {
  long double X = 0.5L, Y = 0.5L;
  friend bool operator==(const SunPosition&, const SunPosition&) = default;
};

struct SunSettings {
  FloatColour CenterColor{0, 0, 0, 255};
  FloatColour OuterColor{0, 0, 0, 255};
  SunPosition Position;
  std::array<long double, 4> Slopes{};  // red, green, blue, opacity
  std::uint8_t MixtureMode = MixtureMode::Add;
  friend bool operator==(const SunSettings&, const SunSettings&) = default;
};

struct StarSettings {
  std::int32_t OverSampling = 1;
  std::string NumberOfStars = "0";  // integer text
  std::string SizeOfStars = "1.0";  // real text
  friend bool operator==(const StarSettings&, const StarSettings&) = default;
};

struct CeilingSettings {
  bool Enabled = false;
  std::string TextureFilename;
  std::string Scale = "1.0";  // real text
  std::uint8_t MixtureMode = MixtureMode::Norm;
  PackedColour OpaqueColor = MakePacked(0, 0, 0, 255);  // drawn fully transparent
  int Transparency = 0;                                 // 0 (opaque) .. 100 (transparent)
  friend bool operator==(const CeilingSettings&, const CeilingSettings&) = default;
};

struct GroundSettings {
  bool Enabled = false;
  std::string TextureFilename;
  std::string Scale = "1.0";           // real text
  int Reflection = 0;                  // 0 (no mirror) .. 100 (mirror)
  std::string ReflectionWarp = "0.0";  // real text
  friend bool operator==(const GroundSettings&, const GroundSettings&) = default;
};

struct ObjectPlacement {
  long double Angle = 0;  // degrees across the panorama
  long double Height = 0;
  long double Distance = 0;
  friend bool operator==(const ObjectPlacement&, const ObjectPlacement&) = default;
};

// One entry of an object group: its picture's name and how its copies are
// placed and drawn. A copy of an entry is an entry of no group (its links are
// not copied).
struct ObjectEntry {
  PackedColour OpaqueColor = MakePacked(0, 0, 0, 255);  // drawn fully transparent
  std::string Filename;
  bool Manual = false;
  ObjectPlacement Placement;
  long double Scale = 1.0L;
  std::int32_t NumberOfObjects = 1;
  bool Shadeing = true;
  ::horizonmill::PositionMode PositionMode = PositionMode::Ground;
  std::uint8_t MixtureMode = MixtureMode::Norm;
  long double Transparency = 0;  // 0 opaque .. 1 transparent
  long double SoftFocus = 0;     // stored and restored only

  ObjectEntry() = default;
  ObjectEntry(const ObjectEntry& other) { *this = other; }
  // Every field; the links stay this entry's own.
  ObjectEntry& operator=(const ObjectEntry& other);

  // Copies every field but the file name and the links.
  void CopySettingsFrom(const ObjectEntry& other);
  // Whether every field that CopySettingsFrom copies is equal.
  bool SameSettingsAs(const ObjectEntry& other) const;
  // Every field, the file name included (not the links).
  friend bool operator==(const ObjectEntry& a, const ObjectEntry& b) {
    return a.SameSettingsAs(b) && a.Filename == b.Filename;
  }

  // Through a const entry its neighbours are const too.
  ObjectEntry* Prev() { return prev_; }
  ObjectEntry* Next() { return next_; }
  const ObjectEntry* Prev() const { return prev_; }
  const ObjectEntry* Next() const { return next_; }

 private:
  friend class ObjectGroup;
  ObjectEntry* prev_ = nullptr;
  ObjectEntry* next_ = nullptr;
};

// An ordered, doubly linked list of entries that owns them. An entry stays
// where it is while it is in the group (the object editor holds it by
// pointer). A copy of a group is a deep copy: new entries, equal to those of
// the original, in the same order.
class ObjectGroup {
 public:
  ObjectGroup() = default;
  ~ObjectGroup() { Clear(); }
  ObjectGroup(const ObjectGroup& other);
  ObjectGroup& operator=(const ObjectGroup& other);
  ObjectGroup(ObjectGroup&& other) noexcept { Swap(other); }
  ObjectGroup& operator=(ObjectGroup&& other) noexcept;
  // The same entries in the same order.
  friend bool operator==(const ObjectGroup& a, const ObjectGroup& b);

  // A const group hands out const entries only, so a const SceneSettings& is
  // read-only all the way down.
  ObjectEntry* First() { return first_; }
  ObjectEntry* Last() { return last_; }
  const ObjectEntry* First() const { return first_; }
  const ObjectEntry* Last() const { return last_; }
  bool Empty() const { return first_ == nullptr; }
  std::size_t Size() const;
  bool Contains(const ObjectEntry* entry) const;

  // Links the entry (not null) after the last one.
  void Append(std::unique_ptr<ObjectEntry> entry);
  // Links the entry (not null) before `next`, which is in this group; after
  // the last one when `next` is nullptr.
  void Insert(ObjectEntry* next, std::unique_ptr<ObjectEntry> entry);
  // Unlinks the entry, mending its neighbours, and hands it over (an edit that
  // can be taken back keeps it). The entry must be in this group.
  std::unique_ptr<ObjectEntry> Release(ObjectEntry* entry);
  // Unlinks the entry and frees it. The entry must be in this group
  // (SceneSettings::RemoveObjectEntry finds the group of an entry).
  void Remove(ObjectEntry* entry) { Release(entry); }
  // Removes the first entry until the group is empty.
  void Clear();
  // Exchanges the entries of the two groups.
  void Swap(ObjectGroup& other) noexcept;

  template <typename Entry>  // ObjectEntry or const ObjectEntry
  class BasicIterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = ObjectEntry;
    using difference_type = std::ptrdiff_t;
    using pointer = Entry*;
    using reference = Entry&;
    explicit BasicIterator(Entry* e = nullptr) : e_(e) {}
    Entry& operator*() const { return *e_; }
    Entry* operator->() const { return e_; }
    BasicIterator& operator++() {
      e_ = e_->Next();
      return *this;
    }
    BasicIterator operator++(int) {
      BasicIterator old = *this;
      ++*this;
      return old;
    }
    friend bool operator==(const BasicIterator&, const BasicIterator&) = default;

   private:
    Entry* e_;
  };
  using Iterator = BasicIterator<ObjectEntry>;
  using ConstIterator = BasicIterator<const ObjectEntry>;
  Iterator begin() { return Iterator(first_); }
  Iterator end() { return Iterator(); }
  ConstIterator begin() const { return ConstIterator(first_); }
  ConstIterator end() const { return ConstIterator(); }

 private:
  ObjectEntry* first_ = nullptr;
  ObjectEntry* last_ = nullptr;
};

// A new unlinked entry with the defaults, or with the settings of `inheritFrom`
// (the entry selected in the object editor) when given. nullptr when memory runs out.
std::unique_ptr<ObjectEntry> NewObjectEntry(const ObjectEntry* inheritFrom = nullptr);
inline void AppendObjectEntry(ObjectGroup& group, std::unique_ptr<ObjectEntry> entry) {
  group.Append(std::move(entry));
}
inline void RemoveObjectEntry(ObjectGroup& group, ObjectEntry* entry) { group.Remove(entry); }
inline void ClearObjectGroup(ObjectGroup& group) { group.Clear(); }

struct OutputResolution {
  std::string Width = "3072";   // integer text
  std::string Height = "1536";  // integer text
  friend bool operator==(const OutputResolution&, const OutputResolution&) = default;
};

struct OutputSettings {
  OutputResolution Resolution;
  OutputFormat Format = OutputFormat::Normal;
  std::string Filename;  // ".bmp" writes BMP, anything else JPEG
  friend bool operator==(const OutputSettings&, const OutputSettings&) = default;
};

struct SceneSettings {
  std::string RandomSeed = "65536";  // integer text
  std::string AirDepth = "0.0";      // real text
  SkyGradation Sky = SkyGradation::Default();
  SunSettings Sun;
  StarSettings Stars;
  CeilingSettings Ceiling;
  GroundSettings Ground;
  ObjectGroup Far, Mid, Near;
  OutputSettings Output;

  // Every record and text back to its default; the object entries are freed.
  void Reset();
  // Exchanges the whole of the two scenes, entries included: a scene read
  // aside takes the place of the current one only once it is whole.
  void Swap(SceneSettings& other) noexcept;

  friend bool operator==(const SceneSettings&, const SceneSettings&) = default;

  // Removes an entry from the first of Far, Mid, Near that holds it; false (and
  // nothing happens) when none does.
  bool RemoveObjectEntry(ObjectEntry* entry);
};

}  // namespace horizonmill
