#include "cli/Options.h"

#include <charconv>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "image/PictureBudget.h"
#include "render/RenderContext.h"

namespace horizonmill::cli {

const char* const kUsage =
    R"(Usage: horizonmill-render [SCENE.hm] [-o OUT.jpg|OUT.png|OUT.bmp|OUT.exr|OUT.hdr]
                          [--cubemap DIR] [--sun-json FILE] [--sh-json FILE]
                          [options]
       horizonmill-render [SCENE.hm] -o - [--format png|jpg|bmp|exr|hdr] [options] > OUT
       horizonmill-render [SCENE.hm] --register HOST.ini --alias ALIAS --name NAME
                          [--jpeg] [--size WxH] [--quality Q] [--threads N]
                          [--search-dir DIR]... [--picture-budget SIZE] [--strict]
       horizonmill-render --list-registered HOST.ini
       horizonmill-render --unregister HOST.ini --alias ALIAS
       horizonmill-render --write-default SCENE.hm [--overwrite]
       horizonmill-render --version | --help

Renders a panorama background (a full turn, 2:1, 3072 x 1536 by default) from a
Horizonmill settings file, or the default scene when no file is given, and writes
it as a PNG file (when the output name ends in ".png"), a BMP file (".bmp"), an
OpenEXR file (".exr"), a Radiance HDR file (".hdr") or a JPEG file (".jpg",
".jpeg", and any other name, with a warning), and as a cube map, the sun's
direction or the ambient light's coefficients for 3D programs. OpenEXR and
Radiance HDR hold linear light (Rec. 709): the picture decoded from sRGB plus the
sun, raised so that it lights a 3D scene (see --sun-ratio).

Options:
  -o, --output FILE    the image to write; without it (and without --cubemap,
                       --sun-json and --sh-json) the scene's Output_Filename is
                       used (an error if that is empty). "\" in the name is a
                       folder separator. An existing file is replaced only once
                       the new one is complete, and only when it is a regular
                       file (a symbolic link there is replaced, not written
                       through); it keeps its mode and group. A name that cannot
                       be written (its folder missing or not writable, a folder,
                       a drive letter such as C:, a JPEG over 65500 pixels a
                       side) is an error before the render. A symbolic link
                       there is replaced only when it points to a regular file.
                       "-o -" writes the image to standard output (not to a
                       terminal).
                       No file of a run may be the scene itself or one of its
                       pictures, nor one file named twice ("./y.png" and
                       "y.png"). All the files of a run are written and
                       synced before any is put in place: a full disk or an
                       interrupt leaves every old file as it was.
  --format png|jpg|bmp|exr|hdr
                       the format of the image on standard output (-o -);
                       default png
  --overwrite          let the scene's Output_Filename replace an existing file
                       (without -o or this it never does, whatever the file: a
                       scene from elsewhere may name any file, by an absolute
                       name or "..\", its own pictures too; so rendering a
                       scene again needs --overwrite)
  --size WxH           render W x H pixels instead of the scene's resolution
                       (positive integers, e.g. --size 1024x512)
  --quality Q          JPEG quality 0..100; the default is the quality set in
                       the window (the program's INI file), else 90. It does not
                       apply to BMP and PNG (a warning says so)
  --png-level L        PNG compression 0..9: 0 stores the pixels uncompressed
                       (largest, fastest), 9 squeezes hardest (smallest,
                       slowest); default 4. The pixels are the same at every
                       level. It applies to PNG images and faces only (a
                       warning says so otherwise)
  --no-metadata        a JPEG or PNG image without the XMP that marks it as a
                       360-degree panorama (GPano: equirectangular, the full
                       size), an OpenEXR image without its latitude-longitude
                       environment map mark; by default panorama viewers
                       recognise it by that. Only an image twice as wide as
                       high is marked (any other size is no full sphere: a
                       warning says so)
  --cubemap DIR        also (or, without -o, only) write the panorama as the six
                       faces of a cube map into DIR, made if missing: px, nx,
                       py, ny, pz, nz (+X, -X, +Y, -Y, +Z, -Z), laid out for
                       OpenGL-style cube maps (azimuth 0 looks toward -Z, 90
                       toward +X, up is +Y). Existing faces there are replaced.
  --face-size N        the faces' side in pixels (default: the panorama's
                       width / 4)
  --cubemap-format png|bmp|jpg|exr|hdr
                       the faces' format (default png; jpg at the JPEG quality;
                       exr and hdr in linear light with the sun, as -o)
  --cubemap-layout faces|row|column|2x3|3x2|cross|vcross
                       faces (default): six files; the others one picture
                       DIR/cubemap.EXT: row 6x1 and column 1x6, 2x3 (two
                       faces a row) and 3x2 in the order +X -X +Y -Y +Z -Z,
                       cross (4x3) and vcross (3x4) with +Y above and -Y below
                       +Z (-X +Z +X -Z across the cross; in vcross -Z below
                       -Y, turned by 180 degrees)
  --cubemap-convention gl|threejs
                       gl (default): the faces as OpenGL-style cube maps
                       sample them; threejs: px and nx swapped and every face
                       mirrored, for three.js's CubeTextureLoader as a scene's
                       background
  --sun-ratio R        the OpenEXR and Radiance HDR outputs raise the sun so
                       that on a surface facing it the sun gives R times the
                       light of the rest of the panorama (default 6, about a
                       clear day's; 0 adds nothing); a number from 0 to 1000
  --sun-json FILE      also (or, without -o, only) write the sun's direction
                       as JSON for a 3D program's key light: azimuth and
                       elevation in degrees and a unit vector in the cube map's
                       frame, the sun's centre and outer colours, and the
                       colour of the sunlight that lights the objects (0..255),
                       the ratio R and the factor k of the HDR outputs (k null
                       when the run writes none). Alone it renders nothing.
  --sh-json FILE       also (or, without -o, only) write the ambient light as
                       JSON: the nine spherical-harmonic coefficients (red,
                       green, blue) of the panorama's irradiance in linear
                       light with the sun raised as in the HDR outputs, in the
                       convention of "irradiance, pre-scaled base" engines
                       (E(n)/pi = c0 + c1 y + c2 z + c3 x + c4 xy + c5 yz +
                       c6 (3z^2 - 1) + c7 xz + c8 (x^2 - y^2), the cube map's
                       frame)
  --threads N          render with N threads, 1..256 (default: the environment
                       variable HORIZONMILL_THREADS, else one per hardware
                       thread); the image is the same for every N
  --preview            render the 409 x 307 preview instead of the full image:
                       stars thinned to the full image's density, one pixel each
  --thumbnail SIZE     write the image (-o) scaled to fit SIZE x SIZE pixels
                       (1..65535), keeping its proportions, as PNG without
                       panorama metadata whatever the name's extension (a name
                       with none will do; one that names another format is an
                       error): a file manager's thumbnail, usually with
                       --preview --quiet (a larger SIZE than the preview's is
                       rendered at its own size); a layer or object whose
                       picture cannot be found or read is left out of it
  --search-dir DIR     where to look for pictures the settings file names but
                       which are neither beside the settings file, nor in the
                       program's folder, nor where it says; may be given several
                       times (searched in order; a relative folder is taken
                       from the current one). A picture found nowhere is left
                       out (an object) or drawn as a placeholder tile (a
                       texture), with a warning.
  --picture-budget SIZE
                       the memory the scene's pictures may take together, in
                       bytes or with K, M or G (e.g. 512M); a picture beyond it
                       is refused and the command fails. The default is
                       $HORIZONMILL_PICTURE_BUDGET, else the smaller of 2G and a
                       quarter of the physical memory. A picture counts 7 bytes
                       a pixel while it loads and 4 once loaded.
  --strict             treat every warning about the scene file or the output
                       name (unknown keys, values that do not convert, missing
                       pictures, an unknown extension...) as an error: exit 1
                       before the render, nothing written; and a warning of
                       the render itself (an object copy it cannot draw...):
                       the render stops, exit 1, nothing written
  --quiet              no progress display and no summary (warnings still show)
  --timings            print each stage's time and the file-writing time
  --write-default SCENE.hm
                       write the default scene as a settings file to start
                       from (an existing file only with --overwrite)
  --version            the program's version
  -h, --help           this text

Warnings about the scene file go to standard error as FILE:LINE: warning: ...
(unknown keys with the nearest known key, values that do not convert, values
missing or left over on a line, sky colours and positions that differ in
number, pictures not found). What is read does not change because of them.

Registering with a Qora-L host system (HOST.ini is the host's INI file, such as
QoraL2.ini; folders in it written as "C:\..." are looked up in the Wine prefix,
$WINEPREFIX or ~/.wine):
  --register HOST.ini  render the scene and register it with the host: the
                       picture NAME.bmp (NAME.jpg with --jpeg), the catalog
                       picture c_NAME.bmp (104 x 80) and the Direct3D texture
                       NAME.jpg (1024 x 1024) go into the host's folders, the
                       background into the host's list under ALIAS
  --alias ALIAS        the name shown in the host's list: at most 32 bytes in
                       the Japanese code page (16 full-width characters), no ","
  --name NAME          the pictures' file name without extension: at most 32
                       characters, none of / \ : , * ? " < > |, no "." or blank
                       at its end, and no Windows device name (CON, PRN, AUX,
                       NUL, COM1-COM9, LPT1-LPT9, also before an extension)
  --jpeg               the picture as JPEG (quality from --quality, else the
                       program's setting, else 90) instead of BMP
  --list-registered HOST.ini
                       one line per background this program registered there:
                       key, alias, catalog file and picture file, TAB-separated
  --unregister HOST.ini
                       remove the first registered background named --alias:
                       its pictures, its entry in the host's list (found by its
                       contents wherever the host moved it; later entries move
                       up) and its record
A registration or removal stopped part way, even by kill -9, is finished or
taken back by the next --register, --list-registered or --unregister of the
host, which says what it tidied; while they run they hold HOST.ini.lock, so two
of them never interleave.
The program's INI file is $HORIZONMILL_INI, or
~/.config/horizonmill/horizonmill.INI, which the window uses too: --register
remembers the host there, and the JPEG quality is read from it.

All the files of one run are written together: an error or an interrupt in any
of them leaves every one as it was.

Progress goes to standard error: a bar when it is a terminal, one final line
otherwise. Ctrl-C (SIGINT) or SIGTERM stops the loading, the render or the
writing at its next step, up to the moment before the first file is renamed
into place, and leaves nothing written; one that comes after the renames ends
the program with 130 or 143 and says that the files are written. Where the
file system has no unnamed temporary files (FUSE, NFS, vfat) a file .hmXXXXXX
stands in beside the target; kill -9 may leave it behind.

Exit status: 0 success, 1 error (the message names the file and the reason; a
scene argument that is no settings file at all, such as a picture; with
--strict, any warning; for the registration commands also: the host is not
installed properly, the name is taken, no background has that alias; a picture
refused for memory), 2 bad usage, 130 interrupted by SIGINT, 143 by SIGTERM
(nothing is written or registered).
)";

namespace {

std::optional<int> ParseInt(std::string_view text) {
  int value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

// A plain decimal number from 0 to kMaxSunRatio ("6", "2.5", "1e1").
constexpr double kMaxSunRatio = 1000;
std::optional<double> ParseRatio(std::string_view text) {
  double value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
  if (!(value >= 0 && value <= kMaxSunRatio)) return std::nullopt;
  return value;
}

// The options that go with each command.
bool CheckCommand(const Options& o, std::string& error) {
  const bool registers = o.command == Command::Register;
  const bool renders = o.command == Command::Render || registers;
  const bool writes = o.command == Command::WriteDefault;
  const bool extras =
      !o.cubemap.empty() || !o.sunJson.empty() || !o.shJson.empty() || o.noMetadata || o.sunRatio;
  if (o.thumbnail && (o.command != Command::Render || o.output.empty()))
    error = "--thumbnail goes with -o, the file to write the thumbnail to";
  else if (writes && (!o.scene.empty() || !o.output.empty() || o.width || o.quality || o.pngLevel ||
                      o.threads || o.preview || !o.searchDirs.empty() || o.pictureBudget ||
                      o.strict || o.timings || extras))
    error = "--write-default takes no scene file and no rendering options";
  else if (!renders && !writes &&
           (!o.scene.empty() || !o.output.empty() || o.width || o.quality || o.pngLevel ||
            o.threads || o.preview || !o.searchDirs.empty() || o.pictureBudget || o.overwrite ||
            o.strict || extras))
    error = "--list-registered and --unregister take no scene file and no rendering options";
  else if (registers && extras)
    error =
        "--cubemap, --sun-json, --sh-json, --sun-ratio and --no-metadata do not go with "
        "--register";
  else if (o.format && o.output != "-")
    error = "--format goes with -o - (the image on standard output)";
  else if ((o.faceSize || o.cubemapFormat || o.cubemapLayout || o.cubemapConvention) &&
           o.cubemap.empty())
    error =
        "--face-size, --cubemap-format, --cubemap-layout and --cubemap-convention go with "
        "--cubemap";
  else if (registers && (!o.output.empty() || o.preview || o.overwrite))
    error =
        "--register writes into the host's folders: -o, --overwrite and --preview do not go "
        "with it";
  else if (o.alias && !registers && o.command != Command::Unregister)
    error = "--alias goes with --register or --unregister";
  else if ((o.name || o.jpeg) && !registers)
    error = "--name and --jpeg go with --register";
  else if ((registers || o.command == Command::Unregister) && !o.alias)
    error = "--alias is missing";
  else if (registers && !o.name)
    error = "--name is missing";
  return error.empty();
}

}  // namespace

std::optional<Options> ParseOptions(int argc, char** argv, std::string& error) {
  Options o;
  auto value = [&](int& i, std::string_view name) -> const char* {
    if (i + 1 >= argc) {
      error = std::string(name) + " needs a value";
      return nullptr;
    }
    return argv[++i];
  };
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      o.help = true;
    } else if (arg == "-o" || arg == "--output") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      // One image a run: a second name is no choice between them.
      if (!o.output.empty()) {
        error = "-o names one image a run, and it was given twice (" + o.output + " and " +
                std::string(v) + ")";
        return std::nullopt;
      }
      o.output = v;
      if (o.output.empty()) {
        error = "the output name is empty";
        return std::nullopt;
      }
    } else if (arg == "--size") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      const std::string_view s = v;
      const auto x = s.find_first_of("xX");
      std::optional<int> w, h;
      if (x != std::string_view::npos) {
        w = ParseInt(s.substr(0, x));
        h = ParseInt(s.substr(x + 1));
      }
      if (!w || !h || *w < 1 || *h < 1) {
        error = "--size wants WxH with positive integers, not \"" + std::string(s) + "\"";
        return std::nullopt;
      }
      o.width = w;
      o.height = h;
    } else if (arg == "--quality") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      const auto q = ParseInt(v);
      if (!q || *q < 0 || *q > 100) {
        error = "--quality wants an integer from 0 to 100, not \"" + std::string(v) + "\"";
        return std::nullopt;
      }
      o.quality = q;
    } else if (arg == "--png-level") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      const auto level = ParseInt(v);
      if (!level || *level < kMinPngLevel || *level > kMaxPngLevel) {
        error = "--png-level wants an integer from 0 to 9, not \"" + std::string(v) + "\"";
        return std::nullopt;
      }
      o.pngLevel = level;
    } else if (arg == "--threads") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      const auto n = ParseInt(v);
      if (!n || *n < 1 || *n > kMaxRenderThreads) {
        error = "--threads wants an integer from 1 to " + std::to_string(kMaxRenderThreads) +
                ", not \"" + std::string(v) + "\"";
        return std::nullopt;
      }
      o.threads = n;
    } else if (arg == "--search-dir") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      // A relative folder is the current directory's, now: the search does
      // not depend on where the program runs later.
      std::error_code ec;
      const std::filesystem::path folder = std::filesystem::absolute(v, ec);
      o.searchDirs.emplace_back(ec ? std::string(v) : folder.lexically_normal().string());
    } else if (arg == "--picture-budget") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      o.pictureBudget = ParseByteSize(v);
      if (!o.pictureBudget) {
        error = "--picture-budget wants a positive size such as 512M or 2G, not \"" +
                std::string(v) + "\"";
        return std::nullopt;
      }
    } else if (arg == "--cubemap" || arg == "--sun-json" || arg == "--sh-json") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      (arg == "--cubemap" ? o.cubemap : arg == "--sun-json" ? o.sunJson : o.shJson) = v;
      if (*v == '\0') {
        error = std::string(arg) + " needs a name";
        return std::nullopt;
      }
    } else if (arg == "--thumbnail") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      o.thumbnail = ParseInt(v);
      if (!o.thumbnail || *o.thumbnail < 1 || *o.thumbnail > 65535) {
        error = "--thumbnail wants an integer from 1 to 65535, not \"" + std::string(v) + "\"";
        return std::nullopt;
      }
    } else if (arg == "--face-size") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      o.faceSize = ParseInt(v);
      if (!o.faceSize || *o.faceSize < 1 || *o.faceSize > 65535) {
        error = "--face-size wants an integer from 1 to 65535, not \"" + std::string(v) + "\"";
        return std::nullopt;
      }
    } else if (arg == "--cubemap-format") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      o.cubemapFormat = CubeFaceFormatNamed(v);
      if (!o.cubemapFormat) {
        error = "--cubemap-format wants png, bmp, jpg, exr or hdr, not \"" + std::string(v) + "\"";
        return std::nullopt;
      }
    } else if (arg == "--cubemap-layout") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      o.cubemapLayout = CubeLayoutNamed(v);
      if (!o.cubemapLayout) {
        error = "--cubemap-layout wants faces, row, column, 2x3, 3x2, cross or vcross, not \"" +
                std::string(v) + "\"";
        return std::nullopt;
      }
    } else if (arg == "--cubemap-convention") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      o.cubemapConvention = CubeConventionNamed(v);
      if (!o.cubemapConvention) {
        error = "--cubemap-convention wants gl or threejs, not \"" + std::string(v) + "\"";
        return std::nullopt;
      }
    } else if (arg == "--sun-ratio") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      o.sunRatio = ParseRatio(v);
      if (!o.sunRatio) {
        error = "--sun-ratio wants a number from 0 to 1000, not \"" + std::string(v) + "\"";
        return std::nullopt;
      }
    } else if (arg == "--format") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      o.format = CubeFaceFormatNamed(v);
      if (!o.format) {
        error = "--format wants png, jpg, bmp, exr or hdr, not \"" + std::string(v) + "\"";
        return std::nullopt;
      }
    } else if (arg == "--no-metadata") {
      o.noMetadata = true;
    } else if (arg == "--overwrite") {
      o.overwrite = true;
    } else if (arg == "--register" || arg == "--list-registered" || arg == "--unregister" ||
               arg == "--write-default") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      if (o.command != Command::Render) {
        error =
            "only one of --register, --list-registered, --unregister and --write-default at a "
            "time";
        return std::nullopt;
      }
      o.command = arg == "--register"          ? Command::Register
                  : arg == "--list-registered" ? Command::ListRegistered
                  : arg == "--unregister"      ? Command::Unregister
                                               : Command::WriteDefault;
      (o.command == Command::WriteDefault ? o.settingsFile : o.hostIni) = v;
      if (*v == '\0') {
        error =
            std::string(arg) + (o.command == Command::WriteDefault ? " needs a file name"
                                                                   : " needs the host's INI file");
        return std::nullopt;
      }
    } else if (arg == "--alias" || arg == "--name") {
      const char* v = value(i, arg);
      if (!v) return std::nullopt;
      (arg == "--alias" ? o.alias : o.name) = v;
    } else if (arg == "--jpeg") {
      o.jpeg = true;
    } else if (arg == "--preview") {
      o.preview = true;
    } else if (arg == "--quiet") {
      o.quiet = true;
    } else if (arg == "--strict") {
      o.strict = true;
    } else if (arg == "--version") {
      o.version = true;
    } else if (arg == "--timings") {
      o.timings = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + std::string(arg);
      return std::nullopt;
    } else if (o.scene.empty()) {
      o.scene = arg;
    } else {
      error = "more than one scene file: " + o.scene + " and " + std::string(arg);
      return std::nullopt;
    }
  }
  if (!CheckCommand(o, error)) return std::nullopt;
  return o;
}

}  // namespace horizonmill::cli
