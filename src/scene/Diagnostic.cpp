#include "scene/Diagnostic.h"

#include <utility>

namespace horizonmill {

std::string_view PictureKindName(PictureKind kind) {
  switch (kind) {
    case PictureKind::Object:
      return "object picture";
    case PictureKind::GroundTexture:
      return "ground texture";
    case PictureKind::CeilingTexture:
      return "ceiling texture";
  }
  return "picture";
}

std::string_view GroupName(GroupId group) {
  switch (group) {
    case GroupId::Far:
      return "far";
    case GroupId::Mid:
      return "middle";
    case GroupId::Near:
      return "near";
  }
  return "?";
}

Diagnostic TextureDiagnostic(DiagnosticCode code, PictureKind layer, std::string file,
                             std::string text) {
  Diagnostic d;
  d.code = code;
  d.file = std::move(file);
  d.subject = layer == PictureKind::GroundTexture ? DiagnosticSubject::GroundTexture
                                                  : DiagnosticSubject::CeilingTexture;
  d.text = std::move(text);
  return d;
}

Diagnostic EntryDiagnostic(DiagnosticCode code, GroupId group, std::size_t index, std::string file,
                           std::string text) {
  Diagnostic d;
  d.code = code;
  d.file = std::move(file);
  d.subject = DiagnosticSubject::Object;
  d.group = group;
  d.index = index;
  d.text = std::move(text);
  return d;
}

bool IsAboutPicture(const Diagnostic& diagnostic, PictureKind* kind) {
  PictureKind k = PictureKind::Object;
  switch (diagnostic.subject) {
    case DiagnosticSubject::None:
      return false;
    case DiagnosticSubject::GroundTexture:
      k = PictureKind::GroundTexture;
      break;
    case DiagnosticSubject::CeilingTexture:
      k = PictureKind::CeilingTexture;
      break;
    case DiagnosticSubject::Object:
      break;
  }
  if (kind != nullptr) *kind = k;
  return true;
}

std::string DiagnosticWhere(const Diagnostic& diagnostic, std::string_view scene) {
  if (diagnostic.line > 0) return diagnostic.file + ":" + std::to_string(diagnostic.line);
  std::string part;
  switch (diagnostic.subject) {
    case DiagnosticSubject::None:
      return diagnostic.file.empty() ? std::string(scene) : diagnostic.file;
    case DiagnosticSubject::GroundTexture:
      part = "ground texture";
      break;
    case DiagnosticSubject::CeilingTexture:
      part = "ceiling texture";
      break;
    case DiagnosticSubject::Object:
      part = std::string(GroupName(diagnostic.group)) + " object " +
             std::to_string(diagnostic.index + 1);
      break;
  }
  return scene.empty() ? part : std::string(scene) + ": " + part;
}

std::string FormatDiagnostic(const Diagnostic& diagnostic, std::string_view scene) {
  const std::string where = DiagnosticWhere(diagnostic, scene);
  return (where.empty() ? "" : where + ": ") + "warning: " + diagnostic.text;
}

}  // namespace horizonmill
