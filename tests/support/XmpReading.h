// Reading back the XMP packet the program writes, as a panorama viewer finds
// it: the JPEG's APP1 segment or the PNG's iTXt chunk, then the packet's RDF
// description and the properties written as its attributes.
#pragma once

#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "codecs/JpegWriter.h"
#include "codecs/PngWriter.h"

namespace horizonmill::testing {

struct Segment {
  unsigned char marker;
  std::size_t start, size;  // the whole segment, marker and length included
  std::string body;         // after the length field
};

// The segments before the compressed data (SOI ... SOS).
inline std::vector<Segment> HeaderSegments(const std::string& jpeg) {
  std::vector<Segment> segments;
  if (jpeg.compare(0, 2, "\xFF\xD8") != 0) return segments;
  std::size_t at = 2;
  while (at + 4 <= jpeg.size() && static_cast<unsigned char>(jpeg[at]) == 0xFF) {
    const auto marker = static_cast<unsigned char>(jpeg[at + 1]);
    const std::size_t length =
        static_cast<unsigned char>(jpeg[at + 2]) << 8 | static_cast<unsigned char>(jpeg[at + 3]);
    segments.push_back({marker, at, length + 2, jpeg.substr(at + 4, length - 2)});
    if (marker == 0xDA) break;  // start of scan
    at += length + 2;
  }
  return segments;
}

// The XMP packet of a JPEG file: the APP1 segment opened by the XMP namespace.
inline std::optional<std::string> JpegXmp(const std::string& jpeg) {
  const std::string opening = std::string(kJpegXmpNamespace) + '\0';
  for (const Segment& s : HeaderSegments(jpeg))
    if (s.marker == 0xE1 && s.body.compare(0, opening.size(), opening) == 0)
      return s.body.substr(opening.size());
  return std::nullopt;
}

struct PngChunk {
  std::string type;
  std::size_t start, size;  // the whole chunk, length and CRC included
  std::string data;
};

// The chunks of a PNG file, in order (up to a chunk that runs past the end).
inline std::vector<PngChunk> PngChunks(const std::string& png) {
  std::vector<PngChunk> chunks;
  if (png.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0) return chunks;
  auto byte = [&](std::size_t i) {
    return static_cast<std::size_t>(static_cast<unsigned char>(png[i]));
  };
  std::size_t at = 8;
  while (at + 12 <= png.size()) {
    const std::size_t length =
        byte(at) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
    if (length > png.size() - at - 12) break;
    chunks.push_back({png.substr(at + 4, 4), at, length + 12, png.substr(at + 8, length)});
    at += length + 12;
  }
  return chunks;
}

// The XMP packet of a PNG file: the text of the iTXt chunk with the XMP
// keyword, stored uncompressed and without a language tag or a translated
// keyword, as XMP readers expect it.
inline std::optional<std::string> PngXmp(const std::string& png) {
  const std::string opening = std::string(kPngXmpKeyword) + std::string("\0\0\0\0\0", 5);
  for (const PngChunk& c : PngChunks(png))
    if (c.type == "iTXt" && c.data.compare(0, opening.size(), opening) == 0)
      return c.data.substr(opening.size());
  return std::nullopt;
}

// Reads a packet piece by piece; white space may stand between the pieces.
class XmpScanner {
 public:
  explicit XmpScanner(std::string_view text) : rest_(text) {}
  // Takes `piece` when the text goes on with it.
  bool Take(std::string_view piece) {
    SkipSpace();
    if (!rest_.starts_with(piece)) return false;
    rest_.remove_prefix(piece.size());
    return true;
  }
  // name="value" pairs up to "/>", which is taken too; nothing when the text
  // is no such list.
  std::optional<std::vector<std::pair<std::string, std::string>>> Attributes() {
    std::vector<std::pair<std::string, std::string>> attributes;
    while (!Take("/>")) {
      const auto name = rest_.find_first_not_of(
          "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_:");
      if (name == 0 || name == std::string_view::npos || rest_.substr(name, 2) != "=\"") return {};
      const auto end = rest_.find('"', name + 2);
      if (end == std::string_view::npos) return {};
      attributes.emplace_back(rest_.substr(0, name), rest_.substr(name + 2, end - name - 2));
      rest_.remove_prefix(end + 1);
    }
    return attributes;
  }
  bool AtEnd() {
    SkipSpace();
    return rest_.empty();
  }

 private:
  void SkipSpace() {
    while (!rest_.empty() && std::isspace(static_cast<unsigned char>(rest_.front())))
      rest_.remove_prefix(1);
  }
  std::string_view rest_;
};

// The properties of the packet's rdf:Description written as attributes, with
// their namespace prefixes resolved to the namespace URIs. Checks the packet's
// wrapper on the way; an empty map when anything is amiss.
inline std::map<std::string, std::string> XmpProperties(const std::string& packet) {
  // The wrapper starts the packet at once: a reader looks for it byte by byte.
  if (!packet.starts_with("<?xpacket")) return {};
  XmpScanner scan(packet);
  if (!scan.Take("<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>") ||
      !scan.Take("<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">") ||
      !scan.Take("<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">") ||
      !scan.Take("<rdf:Description "))
    return {};
  const auto attributes = scan.Attributes();
  if (!attributes || !scan.Take("</rdf:RDF>") || !scan.Take("</x:xmpmeta>") ||
      !(scan.Take("<?xpacket end=\"r\"?>") || scan.Take("<?xpacket end=\"w\"?>")) || !scan.AtEnd())
    return {};
  std::map<std::string, std::string> prefixes, values;
  for (const auto& [name, value] : *attributes) {
    if (name.starts_with("xmlns:"))
      prefixes[name.substr(6)] = value;
    else
      values[name] = value;
  }
  std::map<std::string, std::string> properties;
  for (const auto& [name, value] : values) {
    const auto colon = name.find(':');
    const std::string prefix = name.substr(0, colon);
    if (prefix == "rdf") continue;
    if (!prefixes.count(prefix)) return {};  // a prefix nobody declared
    properties[prefixes[prefix] + name.substr(colon + 1)] = value;
  }
  return properties;
}

}  // namespace horizonmill::testing
