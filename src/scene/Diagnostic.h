// Diagnostics: what the reading of a settings file, the preparation of a scene
// and its render have to say about the scene, as values. Each names what it is
// about — a line of the settings file, or a part of the scene (a texture, an
// object entry) — and says it in English; the window shows its own messages
// for the codes it knows, the command line prints the English text. A
// diagnostic changes nothing: what is read, prepared and drawn does not depend
// on who hears of it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace horizonmill {

enum class DiagnosticCode {
  // The settings reader: what it passes over or reads otherwise than the line
  // seems to say.
  UnknownKey,       // the line's key is no key of the file: the line is skipped
  NotANumber,       // a number that does not convert: it counts as 0
  UnknownWord,      // a word the key does not list: it reads as the key's fallback
  MissingValues,    // the line lacks values the key takes: they count as 0
  ExtraValues,      // what follows the values the key takes is ignored
  NoEntry,          // an object line before the first Objects_CreateObject is ignored
  GradationCounts,  // the sky gradation's colours and positions differ in number
  BeyondSight,      // more stars, or larger ones, than the picture can show: the
                    // render takes long for nothing (it can still be stopped)
  ReadingStopped,   // more object entries than the reading allows, or memory ran
                    // out for one: the lines before stay read, the rest is not

  // The preparation of a scene: its pictures.
  NoPictureName,        // a layer that is on or an object entry names no picture: the
                        // layer shows the checkerboard, the object is left out
  MissingPicture,       // a picture found nowhere: the layer shows the "無" tile, the
                        // object is left out
  UnreadablePicture,    // a picture file that cannot be read or decoded: likewise
  PictureRefused,       // a picture too large for memory, beyond the picture budget,
                        // or memory ran out for it: the layer shows the checkerboard,
                        // the object is left out
  PlaceholderNoMemory,  // memory ran out for a placeholder texture: the layer's
                        // renderer draws its own checkerboard, or nothing

  // The render.
  HorizonRowNoMemory,   // no memory for the horizon row: the render ends after the sun
  ReflectionNoMemory,   // no memory for the reflection: the ground mirrors nothing
  TooManyObjectCopies,  // more copies than an objects pass draws: the pass draws none
  ObjectPassNoMemory,   // memory ran out for the objects pass: it draws none
  ObjectCopyRefused,    // a copy whose size or position is out of range (a Distance
                        // of 0, a box far larger than the picture): the pass ends
                        // there, what it drew stays
};

// The kinds of picture a scene names.
enum class PictureKind { Object, GroundTexture, CeilingTexture };
// "object picture", "ground texture", "ceiling texture".
std::string_view PictureKindName(PictureKind kind);

// The object groups, in the order they are drawn from.
enum class GroupId { Far, Mid, Near };
// "far", "middle", "near".
std::string_view GroupName(GroupId group);

// The part of the scene a diagnostic is about, when it is about one.
enum class DiagnosticSubject { None, GroundTexture, CeilingTexture, Object };

struct Diagnostic {
  DiagnosticCode code = DiagnosticCode::UnknownKey;
  // The file it is about: the settings file for what its reading found, the
  // picture's name as the scene writes it for a picture, empty for none.
  std::string file;
  // The settings file's line, from 1; 0 for none.
  int line = 0;
  // Or the part of the scene: a texture, or the entry `index` (from 0) of `group`.
  DiagnosticSubject subject = DiagnosticSubject::None;
  GroupId group = GroupId::Far;
  std::size_t index = 0;
  // What happened and what is done instead, in English.
  std::string text;

  friend bool operator==(const Diagnostic&, const Diagnostic&) = default;
};

// Diagnostics about a part of the scene.
Diagnostic TextureDiagnostic(DiagnosticCode code, PictureKind layer, std::string file,
                             std::string text);
Diagnostic EntryDiagnostic(DiagnosticCode code, GroupId group, std::size_t index, std::string file,
                           std::string text);

// The picture kind of a diagnostic about a texture or an entry; nothing for
// any other.
bool IsAboutPicture(const Diagnostic& diagnostic, PictureKind* kind = nullptr);

// Where a diagnostic points, as the command line prints it: "FILE:LINE" for a
// line of the settings file; for a part of the scene "SCENE: ground texture"
// or "SCENE: far object 2" (entries counted from 1, SCENE the settings file's
// name, left out when empty); otherwise the file, else SCENE (what the render
// of the scene could not do), or nothing.
std::string DiagnosticWhere(const Diagnostic& diagnostic, std::string_view scene = {});
// "WHERE: warning: TEXT" (or "warning: TEXT" when it points nowhere).
std::string FormatDiagnostic(const Diagnostic& diagnostic, std::string_view scene = {});

}  // namespace horizonmill
