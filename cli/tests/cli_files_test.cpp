// The tool's picture outputs (-o FILE, -t bmp|wmf|emf and the drawing
// options): each file is compared with what the engine's exports, called in
// this process with the settings the options stand for, write; the BMP
// files are also read pixel by pixel and by the decoders.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_support.h"
#include "tesserine.h"
#include "tests/support/bmp_reader.h"

namespace {

using tesserine::clitest::CliRun;
using tesserine::clitest::readFile;
using tesserine::clitest::runCli;
using tesserine::clitest::writeFile;
using tesserine::testing::Bmp;
using tesserine::testing::parseBmp;

// What a set of options stands for, in the engine's terms.
struct Picture {
  std::string text = "Tesserine";
  double moduleCm = 0.2;
  int orientation = 1, border = 0;
  int width = 0, height = 0;  // 0: the symbol and 4 modules on every side
  int fg[3] = {0, 0, 0}, bg[3] = {255, 255, 255};
  int dpi = 96;
  int version = 0, level = 0;
};

// The module size the display's resolution gives, worked out here the way
// the engine describes it (the width in single precision, halves down).
int moduleSize(const Picture& p) {
  const double x = p.dpi * static_cast<double>(static_cast<float>(p.moduleCm)) * 0.39370078740157477;
  const int whole = static_cast<int>(x);
  return whole + (x - whole > 0.5 ? 1 : 0);
}

int symbolSide(const Picture& p) {
  QRSetDefault();
  QRSetMessage(p.text.c_str());
  QRConfigure(p.version, p.level, 0);
  short rows = 0, columns = 0;
  QRGetActualRC(&rows, &columns);
  return rows;
}

// Sets the engine up as the tool should for `p`.
void configureEngine(const Picture& p) {
  const int n = symbolSide(p);
  QRSetDisplayResolution(p.dpi, p.dpi);
  QRSetBackColor(p.bg[0], p.bg[1], p.bg[2]);
  QRSetBarColor(p.fg[0], p.fg[1], p.fg[2]);
  QRAppearance(p.moduleCm, p.orientation, p.border);
  const int side = (n + 8) * moduleSize(p);
  QRSetSize(p.width > 0 ? p.width : side, p.width > 0 ? p.height : side);
}

// A private directory for the files of one test.
class CliFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "tesserine_files_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    QRSetDisplayResolution(96, 96);
    tesserine::testing::capture("rm -rf " + tesserine::testing::quoted(dir_));
  }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }

  // The engine's own file of type 'b', 'w' or 'e' for `p`.
  std::string engineFile(const Picture& p, char type) {
    configureEngine(p);
    const std::string file = path(std::string("engine.") + type);
    if (type == 'b') {
      EXPECT_EQ(QRSaveAsBMP(file.c_str()), -1);
    } else if (type == 'w') {
      EXPECT_EQ(QRSaveAsWMF(file.c_str()), -1);
    }
    if (type != 'e') {
      std::string bytes = readFile(file);
      ::unlink(file.c_str());
      return bytes;
    }
    EXPECT_EQ(QRCopyToClipboard(), -1);
    unsigned int length = 0;
    QRGetClipboardData(nullptr, &length);
    std::string bytes(length, '\0');
    EXPECT_EQ(QRGetClipboardData(reinterpret_cast<unsigned char*>(bytes.data()), &length), -1);
    return bytes;
  }

  std::string dir_;
};

// The tool's options for `p` (only those that differ from the defaults, so
// that the defaults are what is tested when nothing is given).
std::vector<std::string> optionsFor(const Picture& p) {
  std::vector<std::string> args;
  auto hex = [](const int c[3]) {
    char s[8];
    std::snprintf(s, sizeof s, "%02X%02x%02X", c[0], c[1], c[2]);
    return std::string(s);
  };
  if (p.moduleCm != 0.2) args.insert(args.end(), {"--module-cm", std::to_string(p.moduleCm)});
  if (p.orientation != 1) args.insert(args.end(), {"--orientation", std::to_string(p.orientation)});
  if (p.border != 0) args.push_back("--border=" + std::string(p.border == 1 ? "dashed" : "solid"));
  if (p.width > 0) args.insert(args.end(), {"--size", std::to_string(p.width) + "x" + std::to_string(p.height)});
  if (p.fg[0] || p.fg[1] || p.fg[2]) args.insert(args.end(), {"--fg", hex(p.fg)});
  if (p.bg[0] != 255 || p.bg[1] != 255 || p.bg[2] != 255) args.insert(args.end(), {"--bg", "#" + hex(p.bg)});
  if (p.dpi != 96) args.insert(args.end(), {"--dpi", std::to_string(p.dpi)});
  if (p.version != 0) args.insert(args.end(), {"-v", std::to_string(p.version)});
  if (p.level != 0) args.insert(args.end(), {"-l", std::string(1, "LMQH"[p.level])});
  return args;
}

// ---- Each type, its name and standard output -----------------------------------

TEST_F(CliFiles, EachTypeIsTheEnginesFileAndStandardOutputTheSameBytes) {
  struct Case {
    const char* name;  // the file name given to -o
    const char* type;  // -t, or "" for none
    char written;      // what the file must be: b, w or e
  };
  const Case cases[] = {
      {"a.bmp", "", 'b'},       {"a.wmf", "", 'w'},      {"a.emf", "", 'e'},
      {"UPPER.BMP", "", 'b'},   {"x.Emf", "", 'e'},
      {"a.bmp", "wmf", 'w'},    {"a.wmf", "emf", 'e'},   {"a.emf", "BMP", 'b'},  // -t wins
      {"noext", "bmp", 'b'},    {"a.txt", "emf", 'e'},
  };
  const Picture p;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " -t " + c.type);
    const std::string want = engineFile(p, c.written);
    ASSERT_GT(want.size(), 100u);
    std::vector<std::string> args = {"-o", path(c.name), p.text};
    if (*c.type != '\0') args.insert(args.begin(), {"-t", c.type});
    const CliRun run = runCli(args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(readFile(path(c.name)) == want);
    ::unlink(path(c.name).c_str());

    // -o - gives the same bytes on standard output, leaving no file behind.
    if (*c.type != '\0') {
      const CliRun piped = runCli({"-t", c.type, "-o", "-", p.text});
      EXPECT_EQ(piped.exitCode, 0) << piped.err;
      EXPECT_TRUE(piped.out == want);
    }
  }
  // Kind marks of the three formats, as a player sees them.
  EXPECT_EQ(engineFile(p, 'b').substr(0, 2), "BM");
  EXPECT_EQ(engineFile(p, 'w').substr(0, 4), "\xD7\xCD\xC6\x9A");
  EXPECT_EQ(engineFile(p, 'e').substr(40, 4), " EMF");
}

TEST_F(CliFiles, TextTypesWriteToTheFileToo) {
  for (const char* type : {"utf8", "pattern"}) {
    SCOPED_TRACE(type);
    const CliRun toStdout = runCli({"-t", type, "Tesserine"});
    const CliRun toFile = runCli({"-t", type, "-o", path("out.txt"), "Tesserine"});
    const CliRun dash = runCli({"-t", type, "-o", "-", "Tesserine"});
    EXPECT_EQ(toFile.exitCode, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(readFile(path("out.txt")), toStdout.out);
    EXPECT_EQ(dash.out, toStdout.out);
  }
}

// ---- The output area -----------------------------------------------------------

TEST_F(CliFiles, DefaultAreaIsTheSymbolAndFourModulesEachWayAndDecodes) {
  struct Case {
    Picture p;
    int module;  // pixels a module
  };
  std::vector<Case> cases;
  cases.push_back({{}, 8});
  Picture v7;
  v7.text = "https://example.org/tesserine/command-line?picture=bmp&check=1";
  v7.level = 2;
  cases.push_back({v7, 8});
  Picture small;  // 0.07 cm: 3 pixels a module, the least a decoder is given
  small.text = std::string(300, 'Z');
  small.moduleCm = 0.07;
  cases.push_back({small, 3});
  Picture dense;  // 120 dots per inch: 9 pixels a module
  dense.text = "\xC3\xA9t\xC3\xA9 \xFF\x01 bytes";
  dense.dpi = 120;
  cases.push_back({dense, 9});
  Picture v40;
  v40.text = "40";
  v40.version = 40;
  v40.moduleCm = 0.1;
  cases.push_back({v40, 4});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.p.text.substr(0, 12) + " at " + std::to_string(c.p.dpi));
    std::vector<std::string> args = optionsFor(c.p);
    args.insert(args.end(), {"-o", path("a.bmp"), c.p.text});
    const CliRun run = runCli(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Bmp bmp = parseBmp(tesserine::testing::readFile(path("a.bmp")));
    ASSERT_TRUE(bmp.valid);
    const int n = symbolSide(c.p);
    if (c.p.version == 40) {
      EXPECT_EQ(n, 177);
    }
    const int area = (n + 8) * c.module;
    EXPECT_EQ(bmp.width, area);
    EXPECT_EQ(bmp.height, area);
    EXPECT_EQ(bmp.depth, 1u);
    // The quiet zone is light all round, and the finder's corners are dark.
    const int q = 4 * c.module, last = area - 1 - q;
    for (int i = 0; i < area; ++i) {
      for (int edge : {0, q - 1, area - q, area - 1}) {
        ASSERT_EQ(bmp.index(i, edge), 1) << i << "," << edge;
        ASSERT_EQ(bmp.index(edge, i), 1) << edge << "," << i;
      }
    }
    EXPECT_EQ(bmp.index(q, q), 0);
    EXPECT_EQ(bmp.index(last, q), 0);
    EXPECT_EQ(bmp.index(q, last), 0);
    EXPECT_TRUE(std::string(bmp.bytes.begin(), bmp.bytes.end()) == engineFile(c.p, 'b'));
    EXPECT_EQ(tesserine::testing::zbarDecode(path("a.bmp")), c.p.text);
    EXPECT_EQ(tesserine::testing::zxingDecode(path("a.bmp")), c.p.text);
  }
}

TEST_F(CliFiles, ApplicationSizeGivesItsFile) {
  Picture p;
  p.text = "HELLO WORLD";
  p.width = p.height = 500;
  const CliRun run = runCli({"--size", "500x500", "-o", path("a.bmp"), p.text});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string file = readFile(path("a.bmp"));
  EXPECT_EQ(file.size(), 32062u);
  EXPECT_TRUE(file == engineFile(p, 'b'));
  const Bmp bmp = parseBmp(std::vector<uint8_t>(file.begin(), file.end()));
  // Version 1 at 8 pixels a module: margins of 166.
  EXPECT_EQ(bmp.index(165, 165), 1);
  EXPECT_EQ(bmp.index(166, 166), 0);
  EXPECT_EQ(bmp.index(333, 166), 0);
  EXPECT_EQ(bmp.index(334, 166), 1);

  // An area smaller than the symbol is drawn as asked, with a warning.
  const CliRun cut = runCli({"--size", "100X90", "-o", path("b.bmp"), p.text});
  EXPECT_EQ(cut.exitCode, 0);
  EXPECT_EQ(cut.err, "tesserine: warning: the symbol (168x168) does not fit the 100x90 picture and is cut off\n");
  const Bmp small = parseBmp(tesserine::testing::readFile(path("b.bmp")));
  EXPECT_EQ(small.width, 100);
  EXPECT_EQ(small.height, 90);
}

// ---- The drawing options ----------------------------------------------------------

// The picture the default area should hold for `p`: dark where the matrix
// module that the orientation puts there is dark. The room is 8 modules,
// so the symbol's corner is at 4 modules in every orientation.
bool expectedDark(const std::string& pattern, int n, int m, int orientation, int x, int y) {
  const int cx = x / m - 4, cy = y / m - 4;
  if (x < 4 * m || y < 4 * m || cx >= n || cy >= n) return false;
  int r = 0, c = 0;
  switch (orientation) {
    case 0: r = n - 1 - cx, c = cy; break;
    case 1: r = cy, c = cx; break;
    case 2: r = cx, c = n - 1 - cy; break;
    default: r = n - 1 - cy, c = n - 1 - cx; break;
  }
  return pattern[static_cast<size_t>(c) * n + (n - 1 - r)] == '1';
}

TEST_F(CliFiles, OrientationsAndColoursReachThePixels) {
  const std::string text = "ORIENTATION";
  QRSetDefault();
  QRSetMessage(text.c_str());
  unsigned int length = 0;
  short n = 0, columns = 0;
  ASSERT_EQ(QRGetPatternData(nullptr, &length, &n, &columns), 0);
  std::string pattern(length, '0');
  ASSERT_EQ(QRGetPatternData(pattern.data(), &length, nullptr, nullptr), -1);

  struct Case {
    int orientation;
    const char* fg;
    const char* bg;
    uint32_t dark, light;  // as the file's colour table holds them, 0x00BBGGRR
    unsigned depth;
  };
  const Case cases[] = {
      {0, "000000", "FFFFFF", 0x000000, 0xFFFFFF, 1},
      {1, "800000", "ffff00", 0x000080, 0x00FFFF, 4},  // dark red on yellow: both in the 16-colour table
      {2, "#000080", "#C0C0C0", 0x800000, 0xC0C0C0, 4},  // navy on silver
      {3, "008080", "FFFFFF", 0x808000, 0xFFFFFF, 4},  // teal on white
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("orientation " + std::to_string(c.orientation) + " " + c.fg + " on " + c.bg);
    const CliRun run = runCli({"--orientation", std::to_string(c.orientation), "--fg", c.fg, "--bg", c.bg, "-o",
                               path("a.bmp"), text});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Bmp bmp = parseBmp(tesserine::testing::readFile(path("a.bmp")));
    ASSERT_TRUE(bmp.valid);
    EXPECT_EQ(bmp.depth, c.depth);
    ASSERT_EQ(bmp.width, (n + 8) * 8);
    int wrong = 0;
    for (int y = 0; y < bmp.height; ++y)
      for (int x = 0; x < bmp.width; ++x)
        wrong += bmp.colour(x, y) != (expectedDark(pattern, n, 8, c.orientation, x, y) ? c.dark : c.light);
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(CliFiles, BordersAndMetafileSettingsReachTheFiles) {
  // The border is drawn with the default pen, black, along the picture's edges.
  for (const char* style : {"none", "0", "dashed", "1", "solid", "2", "SOLID"}) {
    SCOPED_TRACE(style);
    const CliRun run = runCli({"--border", style, "--bg", "FFFF00", "-o", path("a.bmp"), "BORDER"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Bmp bmp = parseBmp(tesserine::testing::readFile(path("a.bmp")));
    ASSERT_TRUE(bmp.valid);
    const char kind = style[0] == '2' || style[0] == 's' || style[0] == 'S' ? 's' : style[0] == '1' || style[0] == 'd' ? 'd' : 'n';
    for (int x : {0, 3, 4, 7, 8, bmp.width / 2}) {
      const bool ink = kind == 's' || (kind == 'd' && (x / 4) % 2 == 0);
      EXPECT_EQ(bmp.colour(x, 0), ink ? 0x000000u : 0x00FFFFu) << x;
      EXPECT_EQ(bmp.colour(x, bmp.height - 1), ink ? 0x000000u : 0x00FFFFu) << x;
    }
    EXPECT_EQ(bmp.colour(0, bmp.height / 2) == 0, kind == 's');
  }

  // Every option at once, in the three formats: the engine's own files.
  Picture p;
  p.text = "All the options";
  p.moduleCm = 0.15;
  p.orientation = 2;
  p.border = 1;
  p.width = 333;
  p.height = 211;
  p.fg[0] = 0x12, p.fg[1] = 0x34, p.fg[2] = 0x56;
  p.bg[0] = 0xFE, p.bg[1] = 0xDC, p.bg[2] = 0xBA;
  p.dpi = 150;
  p.level = 3;
  for (const char* ext : {"bmp", "wmf", "emf"}) {
    SCOPED_TRACE(ext);
    std::vector<std::string> args = optionsFor(p);
    args.insert(args.end(), {"-o", path(std::string("all.") + ext), p.text});
    const CliRun run = runCli(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(readFile(path(std::string("all.") + ext)) == engineFile(p, ext[0]));
  }
  // The WMF states the display's resolution as its units per inch.
  const std::string wmf = readFile(path("all.wmf"));
  ASSERT_GT(wmf.size(), 16u);
  EXPECT_EQ(static_cast<unsigned char>(wmf[14]) | static_cast<unsigned char>(wmf[15]) << 8, 150);
}

// ---- Failures -----------------------------------------------------------------------

TEST_F(CliFiles, BadValuesExitWithTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {"--module-cm", "0"},    {"--module-cm", "-0.2"}, {"--module-cm", "abc"},  {"--module-cm", "100.5"},
      {"--module-cm", "nan"},  {"--module-cm", "inf"},  {"--module-cm", "0.2cm"}, {"--module-cm", ""},
      {"--orientation", "4"},  {"--orientation", "-1"}, {"--orientation", "up"},
      {"--border", "3"},       {"--border", "dotted"},
      {"--size", "0x5"},       {"--size", "5x"},        {"--size", "x5"},         {"--size", "500"},
      {"--size", "5x5x5"},     {"--size", "1000001x5"}, {"--size", "-5x5"},
      {"--fg", "12345"},       {"--fg", "GGGGGG"},      {"--fg", "1234567"},      {"--fg", "#12345"},
      {"--bg", "FFFFFFFF"},    {"--bg", ""},
      {"--dpi", "0"},          {"--dpi", "9601"},       {"--dpi", "96.5"},
      {"-o", ""},              {"-o", "x.png"},         {"-o", "noext"},          {"-o", ".bmp"},
      {"-t", "bmp"},           {"-t", "emf", "-r", "-"},
  };
  for (std::vector<std::string> args : cases) {
    SCOPED_TRACE(::testing::PrintToString(args));
    const bool hasOutput = std::find(args.begin(), args.end(), "-o") != args.end() ||
                           std::find(args.begin(), args.end(), "-t") != args.end();
    if (!hasOutput) args.insert(args.end(), {"-o", path("a.bmp")});
    if (std::find(args.begin(), args.end(), "-r") == args.end()) args.push_back("x");
    const CliRun run = runCli(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("tesserine: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("\nusage: tesserine"), std::string::npos) << run.err;
    EXPECT_NE(access(path("a.bmp").c_str(), F_OK), 0) << "a file was written";
  }
}

TEST_F(CliFiles, FailuresExitWithOneAndAMessage) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::string missing = path("no/such/dir/a.bmp");
  const Case cases[] = {
      {{"-o", missing, "x"}, "cannot write '" + missing + "': No such file or directory"},
      {{"-o", path("no/a.wmf"), "x"}, "cannot write '" + path("no/a.wmf") + "': No such file or directory"},
      {{"-o", path("no/a.emf"), "x"}, "cannot write '" + path("no/a.emf") + "': No such file or directory"},
      {{"-t", "pattern", "-o", path("no/a.txt"), "x"},
       "cannot write '" + path("no/a.txt") + "': No such file or directory"},
      {{"-o", dir_, "-t", "bmp", "x"}, "cannot write '" + dir_ + "': Is a directory"},
      {{"-o", path("a.bmp"), std::string(7090, '1')}, "text of 7090 bytes does not fit any version at level L"},
      {{"--module-cm", "0.001", "-o", path("a.bmp"), "x"},
       "a module of 0.001 cm is under half a pixel on the display; give a larger --module-cm"},
      {{"--size", "9000x8000", "-o", path("a.bmp"), "x"},
       "a picture of 9000x8000 pixels is too large for a BMP file (at most 67108864 pixels)"},
      {{"--module-cm", "100", "-v", "40", "-o", path("a.bmp"), "x"},
       "a picture of 699300x699300 pixels is too large for a BMP file (at most 67108864 pixels)"},
      {{"--size", "32768x100", "-o", path("a.wmf"), "x"},
       "a picture of 32768x100 units is too large for a WMF file (at most 32767 a side)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const CliRun run = runCli(c.args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "tesserine: " + c.message + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_NE(access(path("a.bmp").c_str(), F_OK), 0);
    EXPECT_NE(access(path("a.wmf").c_str(), F_OK), 0);
  }
  // Standard output that cannot be written.
  if (access("/dev/full", W_OK) == 0) {
    for (const char* type : {"bmp", "wmf", "emf"}) {
      const CliRun run = runCli({"-t", type, "-o", "-", "x"}, {}, "/dev/full");
      EXPECT_EQ(run.exitCode, 1) << type;
      EXPECT_EQ(run.err, "tesserine: cannot write to standard output\n") << type;
    }
  }
  // A picture of the largest size each format takes is written.
  EXPECT_EQ(runCli({"--size", "8192x8192", "-o", path("big.bmp"), "x"}).exitCode, 0);
  EXPECT_EQ(runCli({"--size", "32767x10", "-o", path("big.wmf"), "x"}).exitCode, 0);
}

TEST_F(CliFiles, HelpNamesThePictureOptions) {
  const CliRun run = runCli({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* word : {"--output", "--module-cm", "--orientation", "--border", "--size", "--fg", "--bg", "--dpi",
                           "bmp", "wmf", "emf"})
    EXPECT_NE(run.out.find(word), std::string::npos) << word;
}

}  // namespace
