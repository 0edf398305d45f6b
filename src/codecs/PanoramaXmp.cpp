#include "codecs/PanoramaXmp.h"

namespace horizonmill {

std::string PanoramaXmpPacket(int width, int height) {
  const std::string w = std::to_string(width), h = std::to_string(height);
  // "begin" holds U+FEFF in UTF-8: it tells a reader the packet's encoding.
  return "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
         "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
         " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
         "  <rdf:Description rdf:about=\"\"\n"
         "    xmlns:GPano=\"http://ns.google.com/photos/1.0/panorama/\"\n"
         "    xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\"\n"
         "    xmp:CreatorTool=\"Horizonmill\"\n"
         "    GPano:ProjectionType=\"equirectangular\"\n"
         "    GPano:UsePanoramaViewer=\"True\"\n"
         "    GPano:FullPanoWidthPixels=\"" +
         w +
         "\"\n"
         "    GPano:FullPanoHeightPixels=\"" +
         h +
         "\"\n"
         "    GPano:CroppedAreaImageWidthPixels=\"" +
         w +
         "\"\n"
         "    GPano:CroppedAreaImageHeightPixels=\"" +
         h +
         "\"\n"
         "    GPano:CroppedAreaLeftPixels=\"0\"\n"
         "    GPano:CroppedAreaTopPixels=\"0\"/>\n"
         " </rdf:RDF>\n"
         "</x:xmpmeta>\n"
         "<?xpacket end=\"r\"?>";
}

std::string XmpPacketFor(int width, int height, ImageMetadata metadata) {
  return MarksPanorama(width, height, metadata) ? PanoramaXmpPacket(width, height) : std::string();
}

}  // namespace horizonmill
