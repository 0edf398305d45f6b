// horizonmill-render on settings files: runs the built program in a temporary
// directory and looks at its exit status, its messages and the image it wrote.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "codecs/ImageOutput.h"
#include "image/WorkBitmap.h"

namespace horizonmill {
namespace {

namespace fs = std::filesystem;

class CliSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "hm-cli-XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const {
    fs::create_directories(fs::path(Path(name)).parent_path());
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  void WritePicture(const std::string& name) const {
    fs::create_directories(fs::path(Path(name)).parent_path());
    WorkBitmap bitmap(8, 8);
    FillWorkBitmap(bitmap, BgrPixel{10, 200, 30});
    SaveAsBmp(bitmap, Path(name));
  }

  // Runs the program inside the directory; keeps the exit status and stderr.
  void Run(const std::string& args) {
    const std::string command = "cd '" + dir_ + "' && '" HORIZONMILL_CLI_PATH "' --quiet " + args +
                                " >/dev/null 2>stderr.txt";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    exit_ = WEXITSTATUS(status);
    std::ifstream in(Path("stderr.txt"));
    err_ = std::string(std::istreambuf_iterator<char>(in), {});
  }

  // Width and height from a BMP file's info header.
  std::pair<std::int32_t, std::int32_t> BmpSize(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    unsigned char h[26] = {};
    in.read(reinterpret_cast<char*>(h), sizeof h);
    auto at = [&](int i) {
      return std::int32_t(h[i] | h[i + 1] << 8 | h[i + 2] << 16 | h[i + 3] << 24);
    };
    return {at(18), at(22)};
  }
  int Lines() const { return static_cast<int>(std::count(err_.begin(), err_.end(), '\n')); }

  std::string dir_;
  int exit_ = -1;
  std::string err_;
};

using Size = std::pair<std::int32_t, std::int32_t>;

TEST_F(CliSettings, RendersTheFileAtItsResolutionIntoItsOutputName) {
  Write("scene.hm", "Output_Resolution 64 32\r\nOutput_Filename out.bmp\r\n");
  Run("scene.hm");
  EXPECT_EQ(exit_, 0) << err_;
  EXPECT_EQ(BmpSize("out.bmp"), (Size{64, 32}));

  // --size and -o win over the file.
  Run("scene.hm --size 40x20 -o other.bmp");
  EXPECT_EQ(exit_, 0) << err_;
  EXPECT_EQ(BmpSize("other.bmp"), (Size{40, 20}));

  // The old output format holds the resolution at 3072 x 1536, as the window does.
  Write("old.hm", "Output_Resolution 64 32\nOutput_Format Old\nOutput_Filename old.bmp\n");
  Run("old.hm");
  EXPECT_EQ(exit_, 0) << err_;
  EXPECT_EQ(BmpSize("old.bmp"), (Size{3072, 1536}));
}

TEST_F(CliSettings, FailuresAreOneLineNamingTheFile) {
  Write("noname.hm", "Output_Resolution 64 32\n");
  Run("noname.hm");
  EXPECT_EQ(exit_, 1);
  EXPECT_NE(err_.find("Output_Filename"), std::string::npos) << err_;

  Run("missing.hm -o out.bmp");
  EXPECT_EQ(exit_, 1);
  EXPECT_EQ(Lines(), 1) << err_;
  EXPECT_NE(err_.find("missing.hm: No such file or directory"), std::string::npos) << err_;

  // A picture that is there but is no picture.
  Write("junk.bmp", "this is text");
  Write("scene.hm", "Objects_CreateObject Far\nObjects_Filename C:\\pics\\junk.bmp\n");
  Run("scene.hm -o out.bmp");
  EXPECT_EQ(exit_, 1);
  EXPECT_EQ(Lines(), 1) << err_;
  EXPECT_NE(err_.find(Path("junk.bmp") + ": "), std::string::npos) << err_;
  EXPECT_NE(err_.find("scene.hm"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(Path("out.bmp")));
}

TEST_F(CliSettings, MissingPicturesAreLookedForInEachSearchDirInTurn) {
  Write("scenes/scene.hm",
        "Ground_TextureFilename C:\\pics\\ground.bmp\nOutput_Resolution 32 16\n"
        "Output_Filename out.bmp\n");
  Write("first/ground.bmp", "not a picture");
  WritePicture("second/ground.bmp");

  Run("scenes/scene.hm --search-dir nowhere --search-dir second --search-dir first");
  EXPECT_EQ(exit_, 0) << err_;
  EXPECT_EQ(err_, "");
  // The output name is relative to the current directory, not to the scene.
  EXPECT_EQ(BmpSize("out.bmp"), (Size{32, 16}));
  EXPECT_FALSE(fs::exists(Path("scenes/out.bmp")));

  // The first directory that has the name wins, even when its file is bad.
  Run("scenes/scene.hm --search-dir first --search-dir second");
  EXPECT_EQ(exit_, 1);
  EXPECT_NE(err_.find("first/ground.bmp"), std::string::npos) << err_;

  // Found nowhere: a warning, and the render goes on with the missing-picture tile.
  Run("scenes/scene.hm --search-dir nowhere -o tile.bmp");
  EXPECT_EQ(exit_, 0) << err_;
  EXPECT_NE(err_.find("scenes/scene.hm: ground texture: warning: ground texture "
                      "\"C:\\pics\\ground.bmp\" not found; the layer shows the missing-picture "
                      "tile"),
            std::string::npos)
      << err_;
  EXPECT_EQ(BmpSize("tile.bmp"), (Size{32, 16}));

  // Beside the scene file it is found without any search directory.
  WritePicture("scenes/ground.bmp");
  Run("scenes/scene.hm -o beside.bmp");
  EXPECT_EQ(exit_, 0) << err_;
  EXPECT_EQ(err_, "");
}

TEST_F(CliSettings, ASceneFolderMovedAnywhereOpensWithThePicturesOfItsSubFolders) {
  // Written on Windows: "\" between folders, CRLF.
  Write("project/scene.hm",
        "Objects_CreateObject Near\r\nObjects_OpaqueColor 1 2 3 255\r\n"
        "Objects_Filename pics\\tree.bmp\r\nObjects_Manual 180 0 1\r\n"
        "Ground_TextureFilename tex\\water.bmp\r\nOutput_Resolution 64 32\r\n"
        "Output_Filename renders\\view.png\r\n");
  WritePicture("project/pics/tree.bmp");
  WritePicture("project/tex/water.bmp");
  fs::create_directories(Path("elsewhere/deeper"));
  fs::rename(Path("project"), Path("elsewhere/deeper/project"));
  fs::create_directory(Path("renders"));

  Run("elsewhere/deeper/project/scene.hm");
  EXPECT_EQ(exit_, 0) << err_;
  EXPECT_EQ(err_, "");  // every picture found, no question, no warning
  // The output name is relative to the current folder, "\" a separator there too.
  std::ifstream out(Path("renders/view.png"), std::ios::binary);
  char magic[4] = {};
  out.read(magic, 4);
  EXPECT_EQ(std::string(magic, 4), "\x89PNG");
}

TEST_F(CliSettings, AUtf8SceneWithJapaneseNamesReachesTheFileSystemIntact) {
  // UTF-8 without the mark, as a text editor here saves it.
  Write("scene.hm",
        "Objects_CreateObject Near\nObjects_Filename 写真\\木.bmp\nObjects_Manual 180 0 1\n"
        "Output_Resolution 64 32\nOutput_Filename 出力.bmp\n");
  WritePicture("写真/木.bmp");
  Run("scene.hm");
  EXPECT_EQ(exit_, 0) << err_;
  EXPECT_EQ(err_, "");  // the picture was found under its name
  EXPECT_EQ(BmpSize("出力.bmp"), (Size{64, 32}));
}

TEST_F(CliSettings, WarningsNameTheFileAndLineAndStrictRefusesToRender) {
  Write("scene.hm",
        "# a scene\nOutput_Resolution 64 32\nGradation1_Color 1 2 3 4\nOutput_Filename out.bmp\n");
  Run("scene.hm");
  EXPECT_EQ(exit_, 0) << err_;
  EXPECT_EQ(err_,
            "horizonmill-render: scene.hm:3: warning: unknown key \"Gradation1_Color\" (did you "
            "mean \"Gradation1_Colors\"?); the line is skipped\n");
  EXPECT_EQ(BmpSize("out.bmp"), (Size{64, 32}));

  fs::remove(Path("out.bmp"));
  Run("scene.hm --strict");
  EXPECT_EQ(exit_, 1);
  EXPECT_NE(err_.find("1 warning, which --strict makes an error: nothing was rendered"),
            std::string::npos)
      << err_;
  EXPECT_FALSE(fs::exists(Path("out.bmp")));
}

// A relative --search-dir is the current directory's, wherever the scene is.
TEST_F(CliSettings, ARelativeSearchDirIsTakenFromTheCurrentDirectory) {
  Write("scenes/scene.hm",
        "Ground_TextureFilename C:\\pics\\ground.bmp\nOutput_Resolution 32 16\n");
  WritePicture("pictures/ground.bmp");
  Run("scenes/scene.hm --search-dir pictures --strict -o found.bmp");
  EXPECT_EQ(exit_, 0) << err_;
  EXPECT_EQ(err_, "");
  EXPECT_EQ(BmpSize("found.bmp"), (Size{32, 16}));
  // From elsewhere the same name is another folder: nothing there.
  Run("--search-dir ../pictures --strict " + Path("scenes/scene.hm") + " -o none.bmp");
  EXPECT_EQ(exit_, 1);
  EXPECT_NE(err_.find("ground texture: warning: ground texture"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(Path("none.bmp")));
}

// An object whose picture is found nowhere is left out, named by its group
// and place; with --strict that is an error, as it is when the render itself
// cannot draw an object copy (a manual copy at distance 0): the render
// stops and nothing is written.
TEST_F(CliSettings, StrictFailsOnMissingPicturesAndOnWhatTheRenderCannotDraw) {
  WritePicture("tree.bmp");
  Write("missing.hm",
        "Objects_CreateObject Far\nObjects_Filename tree.bmp\n"
        "Objects_CreateObject Far\nObjects_Filename gone.bmp\nOutput_Resolution 64 32\n");
  Run("missing.hm -o a.bmp");
  EXPECT_EQ(exit_, 0) << err_;
  EXPECT_EQ(err_,
            "horizonmill-render: missing.hm: far object 2: warning: object picture \"gone.bmp\" "
            "not found; the object is left out\n");
  Run("missing.hm --strict -o b.bmp");
  EXPECT_EQ(exit_, 1);
  EXPECT_FALSE(fs::exists(Path("b.bmp")));

  Write("zero.hm",
        "Objects_CreateObject Near\nObjects_Filename tree.bmp\nObjects_Manual 10 0 0\n"
        "Output_Resolution 64 32\n");
  Run("zero.hm -o c.bmp");
  EXPECT_EQ(exit_, 0) << err_;
  EXPECT_EQ(Lines(), 1) << err_;  // told once, though both passes failed
  EXPECT_EQ(err_.find("horizonmill-render: zero.hm: near object 1: warning: a copy at angle 10, "
                      "height 0, distance 0 cannot be drawn"),
            0u)
      << err_;
  EXPECT_EQ(BmpSize("c.bmp"), (Size{64, 32}));
  Run("zero.hm --strict -o d.bmp");
  EXPECT_EQ(exit_, 1);
  EXPECT_NE(err_.find("the render could not draw everything, which --strict makes an error: "
                      "nothing was written"),
            std::string::npos)
      << err_;
  EXPECT_FALSE(fs::exists(Path("d.bmp")));

  // More copies than a pass draws: the objects are left out, told once.
  Write("many.hm",
        "Objects_CreateObject Mid\nObjects_Filename tree.bmp\n"
        "Objects_NumberOfObjects 2147483647\nOutput_Resolution 64 32\n");
  Run("many.hm --strict -o e.bmp");
  EXPECT_EQ(exit_, 1);
  EXPECT_NE(err_.find("more than the 2097152 a pass draws"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(Path("e.bmp")));
}

TEST_F(CliSettings, AFileThatIsNoSettingsFileIsAnErrorNotTheDefaultScene) {
  WritePicture("picture.bmp");
  Write("utf16.hm", std::string("\xFF\xFER\0a\0n\0", 8));
  for (const char* scene : {"picture.bmp", "utf16.hm"}) {
    Run(std::string(scene) + " -o out.bmp");
    EXPECT_EQ(exit_, 1) << scene;
    EXPECT_EQ(Lines(), 1) << err_;
    EXPECT_EQ(err_.find(std::string("horizonmill-render: ") + scene + ": is "), 0u) << err_;
    EXPECT_FALSE(fs::exists(Path("out.bmp")));
  }
}

}  // namespace
}  // namespace horizonmill
