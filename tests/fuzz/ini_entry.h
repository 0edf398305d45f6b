// The INI reader's fuzzing entry point, shared by the libFuzzer target and by
// the regression test that replays the corpus with the normal compiler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "platform/PrivateProfile.h"

namespace horizonmill::fuzz {

using IniValues = std::map<std::pair<std::string, std::string>, std::string>;

inline std::string Folded(std::string name) {
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return name;
}

// Every (section, key) a reader can see, the names in lower case, with its value.
inline IniValues VisibleValues(const IniDocument& doc) {
  IniValues values;
  for (const std::string& section : doc.SectionNames()) {
    for (const std::string& key : doc.KeyNames(section)) {
      values[{Folded(section), Folded(key)}] = doc.Find(section, key).value_or("<missing>");
      doc.ReadInteger(section, key, 0);
    }
  }
  return values;
}

// Parses the bytes and checks that they serialise back unchanged, and that a
// write, a key deletion and a section erasure each change what they name and
// nothing else a reader sees, also after the result is parsed again. Returns
// what went wrong, empty when nothing did.
inline std::string CheckIniInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const IniDocument doc = IniDocument::Parse(bytes);
  if (doc.Serialize() != bytes) return "the bytes do not serialise back unchanged";
  const IniValues before = VisibleValues(doc);
  const auto names = doc.SectionNames();
  const std::string section = names.empty() ? "Menu" : names.front();
  const auto keys = doc.KeyNames(section);
  const std::string key = keys.empty() ? "BGMax" : keys.front();
  const std::pair<std::string, std::string> name{Folded(section), Folded(key)};

  // Applies `change` to a copy; `expect` tells what the values must be after it.
  auto check = [&](const char* what, const std::function<void(IniDocument&)>& change,
                   const std::function<void(IniValues&)>& expect) -> std::string {
    IniDocument changed = doc;
    try {
      change(changed);
    } catch (const IniTextError&) {
      // Refused (a name CP932 cannot hold): nothing may have changed.
      return changed.Serialize() == bytes ? ""
                                          : std::string(what) + " refused but changed the file";
    }
    IniValues expected = before;
    expect(expected);
    if (VisibleValues(changed) != expected) return std::string(what) + ": wrong values";
    if (VisibleValues(IniDocument::Parse(changed.Serialize())) != expected)
      return std::string(what) + ": wrong values once parsed again";
    return "";
  };
  std::string problem = check(
      "write", [&](IniDocument& d) { d.WriteString(section, key, "v=7"); },
      [&](IniValues& v) { v[name] = "v=7"; });
  if (problem.empty() && !keys.empty()) {
    problem = check(
        "delete", [&](IniDocument& d) { d.DeleteKey(section, key); },
        [&](IniValues& v) {
          // A later key of the same name, if any, is seen now.
          v.erase(name);
          IniDocument d = doc;
          d.DeleteKey(section, key);
          if (auto next = d.Find(section, key)) v[name] = *next;
        });
  }
  if (problem.empty()) {
    problem = check(
        "erase", [&](IniDocument& d) { d.EraseSection(section); },
        [&](IniValues& v) {
          std::erase_if(v, [&](const auto& e) { return e.first.first == name.first; });
        });
  }
  return problem;
}

}  // namespace horizonmill::fuzz
