// Runs the built tesserine tool as a separate process and checks what it
// prints against the engine's own exports, called in this process.
#include <unistd.h>
#include <zbar.h>

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_support.h"
#include "tesserine.h"

namespace {

using tesserine::clitest::CliRun;
using tesserine::clitest::runCli;
using tesserine::clitest::TempFile;

// The engine's pattern for a text: version 0 automatic, level 0..3, mask -1
// automatic or 0..7. Empty when the text fits no version.
std::string enginePattern(const std::string& text, int version = 0, int level = 0, int mask = -1) {
  QRSetDefault();
  QRSetMessage(text.c_str());
  QRConfigure(version, level, mask + 1);
  unsigned int length = 0;
  short rows = 0, columns = 0;
  if (QRGetPatternData(nullptr, &length, &rows, &columns) != 0) return {};
  std::string pattern(length, '?');
  EXPECT_EQ(QRGetPatternData(pattern.data(), &length, nullptr, nullptr), -1);
  return pattern;
}

int sideOf(const std::string& pattern) {
  int n = 21;
  while (n * n < static_cast<int>(pattern.size())) n += 4;
  return n;
}

// The upright symbol, row r and column c from the top left.
using Matrix = std::vector<std::vector<bool>>;

Matrix uprightFromPattern(const std::string& pattern) {
  const int n = sideOf(pattern);
  Matrix m(n, std::vector<bool>(n));
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) m[r][c] = pattern[c * n + (n - 1 - r)] == '1';
  return m;
}

// Parses the half-block picture back into modules, checking its layout on
// the way: equal line widths, a light quiet zone of 4 on every side, and a
// light row below the picture. Ink means dark unless `inverted`.
Matrix matrixFromUtf8(const std::string& text, bool inverted) {
  std::vector<std::vector<bool>> rows;  // picture rows, ink = dark module
  std::istringstream lines(text);
  std::string line;
  size_t width = 0;
  while (std::getline(lines, line)) {
    std::vector<bool> upper, lower;
    for (size_t i = 0; i < line.size();) {
      int bits = -1;
      if (line[i] == ' ') {
        bits = 0, i += 1;
      } else if (line.compare(i, 3, "\xE2\x96\x84") == 0) {
        bits = 1, i += 3;
      } else if (line.compare(i, 3, "\xE2\x96\x80") == 0) {
        bits = 2, i += 3;
      } else if (line.compare(i, 3, "\xE2\x96\x88") == 0) {
        bits = 3, i += 3;
      } else {
        ADD_FAILURE() << "unexpected byte " << int(static_cast<unsigned char>(line[i])) << " at " << i;
        return {};
      }
      upper.push_back(((bits & 2) != 0) != inverted);
      lower.push_back(((bits & 1) != 0) != inverted);
    }
    if (width == 0) width = upper.size();
    EXPECT_EQ(upper.size(), width) << "ragged line " << rows.size() / 2;
    rows.push_back(upper);
    rows.push_back(lower);
  }
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  // The side is odd, so the last line's lower half lies below the picture.
  EXPECT_EQ(rows.size(), width + 1);
  const int n = static_cast<int>(width) - 8;
  EXPECT_GE(n, 21);
  if (n < 21 || rows.size() != width + 1) return {};
  for (size_t y = 0; y < rows.size(); ++y) {
    for (size_t x = 0; x < width; ++x) {
      const bool inSymbol = y >= 4 && y < 4 + static_cast<size_t>(n) && x >= 4 && x < 4 + static_cast<size_t>(n);
      if (!inSymbol) {
        EXPECT_FALSE(rows[y][x]) << "quiet zone dark at " << y << "," << x;
      }
    }
  }
  Matrix m(n, std::vector<bool>(n));
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) m[r][c] = rows[r + 4][c + 4];
  return m;
}

std::string withNewline(std::string s) { return s + '\n'; }

// ---- Sources ---------------------------------------------------------------

TEST(CliSources, ArgumentStandardInputAndFileGiveTheSameSymbol) {
  const std::vector<std::string> texts = {
      "Tesserine",
      "",
      "0123456789012345",
      "HELLO WORLD $%*+-./:",
      "line one\nline two\n",  // the final newline stays part of the text
      "\xC3\xA9t\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC",
      "\xFF\xFE\x01\x7F high and low bytes",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE("text: " + text);
    const std::string expected = withNewline(enginePattern(text));
    ASSERT_GT(expected.size(), 441u);
    TempFile file(text);
    const std::vector<CliRun> runs = {
        runCli({"-t", "pattern", text}),
        runCli({"-t", "pattern"}, text),
        runCli({"-t", "pattern", "-"}, text),
        runCli({"-t", "pattern", "-r", file.path}),
        runCli({"-t", "pattern", "--read-from=" + file.path}),
        runCli({"-t", "pattern", "-r", "-"}, text),
    };
    for (size_t i = 0; i < runs.size(); ++i) {
      EXPECT_EQ(runs[i].exitCode, 0) << "source " << i << ": " << runs[i].err;
      EXPECT_EQ(runs[i].out, expected) << "source " << i;
      EXPECT_EQ(runs[i].err, "") << "source " << i;
    }
  }
  // Bytes are taken exactly: a trailing newline makes a different symbol.
  EXPECT_NE(runCli({"-t", "pattern"}, "abc\n").out, runCli({"-t", "pattern", "abc"}).out);
}

TEST(CliSources, TextAfterDoubleDashMayStartWithADash) {
  const CliRun run = runCli({"-t", "pattern", "--", "-v"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, withNewline(enginePattern("-v")));
}

// ---- Pattern output and the encoding options -------------------------------

TEST(CliPattern, EqualsTheEnginesPatternDataForEachSetting) {
  struct Case {
    std::vector<std::string> options;
    int version, level, mask;
  };
  const Case cases[] = {
      {{}, 0, 0, -1},
      {{"-l", "m"}, 0, 1, -1},
      {{"-lQ"}, 0, 2, -1},
      {{"--level=h"}, 0, 3, -1},
      {{"--level", "L"}, 0, 0, -1},
      {{"-v", "7"}, 7, 0, -1},
      {{"-v40", "-l", "H"}, 40, 3, -1},
      {{"--symversion=12", "--mask", "5"}, 12, 0, 5},
      {{"--mask=auto", "-l", "q"}, 0, 2, -1},
      {{"--mask", "0", "-v", "2"}, 2, 0, 0},
  };
  const std::string text = "https://example.org/tesserine?case=1";
  for (const Case& c : cases) {
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"-t", "pattern", text});
    const CliRun run = runCli(args);
    const std::string expected = enginePattern(text, c.version, c.level, c.mask);
    SCOPED_TRACE(::testing::PrintToString(c.options));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, withNewline(expected));
  }
}

TEST(CliPattern, MinimumVersionIsRaisedAsFarAsTheTextNeeds) {
  struct Case {
    std::string text;
    std::string version;
    int side;
  };
  const std::string hundred(100, 'a');  // byte mode: version 5 at level L holds 106
  const Case cases[] = {
      {"A", "1", 21},  {"A", "10", 57}, {"A", "40", 177},
      {hundred, "1", 37}, {hundred, "4", 37}, {hundred, "6", 41},
  };
  for (const Case& c : cases) {
    const CliRun run = runCli({"-t", "pattern", "-v", c.version, c.text});
    SCOPED_TRACE(c.text.substr(0, 5) + " -v " + c.version);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.size(), static_cast<size_t>(c.side * c.side + 1));
  }
}

// ---- The terminal picture --------------------------------------------------

TEST(CliUtf8, PictureDecodesBackToThePattern) {
  struct Case {
    std::string text;
    std::vector<std::string> options;
    int version, level;
  };
  const Case cases[] = {
      {"Tesserine", {}, 0, 0},                            // version 1
      {std::string(150, 'x'), {"-l", "M"}, 0, 1},         // version 7, with version information
      {std::string(2000, '7'), {"-v", "40"}, 40, 0},      // the largest symbol
  };
  for (const Case& c : cases) {
    const std::string pattern = enginePattern(c.text, c.version, c.level);
    const Matrix expected = uprightFromPattern(pattern);
    for (const char* type : {"", "utf8", "UTF8", "utf8i"}) {
      SCOPED_TRACE(c.text.substr(0, 5) + " -t " + type);
      std::vector<std::string> args = c.options;
      if (*type != '\0') args.insert(args.end(), {"-t", type});
      args.push_back(c.text);
      const CliRun run = runCli(args);
      EXPECT_EQ(run.exitCode, 0) << run.err;
      EXPECT_EQ(matrixFromUtf8(run.out, std::string(type) == "utf8i"), expected);
    }
  }
}

// A decoder reads the text back from the picture as printed. (It also reads
// a mirror image, so the orientation is held by the format information test
// below.)
TEST(CliUtf8, DecoderReadsTheTextBackFromThePicture) {
  const std::vector<std::string> texts = {"Tesserine", "0123456789", "https://example.org/a?b=c&d=e",
                                          std::string(300, 'Z')};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text.substr(0, 12));
    const CliRun run = runCli({text});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Matrix m = matrixFromUtf8(run.out, false);
    ASSERT_FALSE(m.empty());
    const int scale = 4, n = static_cast<int>(m.size()), side = (n + 8) * scale;
    std::vector<unsigned char> gray(static_cast<size_t>(side) * side, 255);
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) {
        const int r = y / scale - 4, c = x / scale - 4;
        if (r >= 0 && r < n && c >= 0 && c < n && m[r][c]) gray[static_cast<size_t>(y) * side + x] = 0;
      }
    zbar::ImageScanner scanner;
    scanner.set_config(zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    scanner.set_config(zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
    scanner.set_config(zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_BINARY, 1);
    zbar::Image image(side, side, "Y800", gray.data(), gray.size());
    ASSERT_EQ(scanner.scan(image), 1);
    EXPECT_EQ(image.symbol_begin()->get_data(), text);
  }
}

// ---- Masks ------------------------------------------------------------------

// Format information of the upright matrix: both copies must agree and be a
// valid code word; returns (level bits << 3 | mask), or -1. The copies sit
// differently in a transposed matrix, so this also checks the orientation.
int formatData(const Matrix& m) {
  const int n = static_cast<int>(m.size());
  int first = 0, second = 0;
  for (int i = 0; i <= 5; ++i) first |= m[i][8] << i;
  first |= m[7][8] << 6 | m[8][8] << 7 | m[8][7] << 8;
  for (int i = 9; i < 15; ++i) first |= m[8][14 - i] << i;
  for (int i = 0; i < 8; ++i) second |= m[8][n - 1 - i] << i;
  for (int i = 8; i < 15; ++i) second |= m[n - 15 + i][8] << i;
  EXPECT_TRUE(m[n - 8][8]) << "the dark module";
  if (first != second) return -1;
  const int bits = first ^ 0x5412;
  const int data = bits >> 10;
  int rem = data;
  for (int i = 0; i < 10; ++i) rem = (rem << 1) ^ ((rem >> 9) * 0x537);
  return (rem & 0x3FF) == (bits & 0x3FF) ? data : -1;
}

TEST(CliMask, FixedMaskIsTheOneInTheFormatInformation) {
  constexpr int kLevelBits[] = {1, 0, 3, 2};  // L, M, Q, H as the format information codes them
  const char* levels[] = {"L", "M", "Q", "H"};
  for (int level = 0; level < 4; ++level)
    for (int mask = 0; mask < 8; ++mask) {
      SCOPED_TRACE(std::string(levels[level]) + " mask " + std::to_string(mask));
      const CliRun run = runCli({"-l", levels[level], "--mask", std::to_string(mask), "Mask test"});
      ASSERT_EQ(run.exitCode, 0) << run.err;
      const Matrix m = matrixFromUtf8(run.out, false);
      ASSERT_FALSE(m.empty());
      EXPECT_EQ(formatData(m), kLevelBits[level] << 3 | mask);
      EXPECT_EQ(m, uprightFromPattern(enginePattern("Mask test", 0, level, mask)));
    }
}

// ---- Failures ----------------------------------------------------------------

TEST(CliErrors, TextThatFitsNoVersionExitsWithOne) {
  struct Case {
    std::vector<std::string> options;
    std::string text;
    std::string message;
  };
  const std::string digits(7090, '5');
  const Case cases[] = {
      {{}, digits, "text of 7090 bytes does not fit any version at level L"},
      {{"-l", "h"}, digits, "text of 7090 bytes does not fit any version at level H"},
      {{"-l", "H", "-v", "40"}, std::string(1274, 'a'), "text of 1274 bytes does not fit any version at level H"},
      {{}, std::string(8000, 'a'), "text of 8000 bytes does not fit any version at level L"},
      {{}, std::string(100000, '1'), "text of 100000 bytes does not fit any version at level L"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    TempFile file(c.text);
    std::vector<std::vector<std::string>> sources = {c.options, c.options, c.options};
    sources[0].push_back(c.text);
    sources[2].insert(sources[2].end(), {"-r", file.path});
    for (const auto& args : sources) {
      const CliRun run = runCli(args, c.text);
      EXPECT_EQ(run.exitCode, 1);
      EXPECT_EQ(run.err, "tesserine: " + c.message + "\n");
      EXPECT_EQ(run.out, "");
    }
  }
  // The same length fits at a lower level.
  EXPECT_EQ(runCli({"-l", "L", std::string(1274, 'a')}).exitCode, 0);
}

TEST(CliErrors, BadCommandLineExitsWithTwoAndAUsageLine) {
  const std::vector<std::vector<std::string>> cases = {
      {"-v", "0", "x"},     {"-v", "41", "x"},      {"-v", "abc", "x"}, {"-v", "", "x"},
      {"-v", "5x", "x"},    {"-v"},                  {"-l", "X", "x"},   {"-l", "LM", "x"},
      {"--mask", "8", "x"}, {"--mask=-1", "x"},      {"--mask", "x"},    {"-t", "png", "x"},
      {"--bogus", "x"},     {"-x", "x"},             {"a", "b"},         {"-r", "f", "text"},
      {"--help=yes"},       {"-hV"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(::testing::PrintToString(args));
    const CliRun run = runCli(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("tesserine: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("\nusage: tesserine [OPTION]... [TEXT]\n"), std::string::npos) << run.err;
  }
}

TEST(CliErrors, UnreadableInputOrNulByteExitsWithOne) {
  const std::string missing = ::testing::TempDir() + "tesserine_no_such_file";
  CliRun run = runCli({"-r", missing});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err.rfind("tesserine: cannot open '" + missing + "': ", 0), 0u) << run.err;
  EXPECT_EQ(run.out, "");

  // A NUL would cut the engine's text short: refused rather than truncated.
  const std::string withNul("ab\0cd", 5);
  TempFile file(withNul);
  for (const CliRun& r : {runCli({"-r", file.path}), runCli({}, withNul)}) {
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "tesserine: text holds a NUL byte at offset 2; texts with NUL bytes cannot be encoded\n");
    EXPECT_EQ(r.out, "");
  }
}

TEST(CliErrors, FailedWriteExitsWithOne) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  for (const char* type : {"utf8", "pattern"}) {
    const CliRun run = runCli({"-t", type, "Tesserine"}, {}, "/dev/full");
    EXPECT_EQ(run.exitCode, 1) << type;
    EXPECT_EQ(run.err, "tesserine: cannot write to standard output\n") << type;
  }
}

TEST(CliInfo, HelpAndVersionExitWithZero) {
  for (const char* flag : {"-h", "--help"}) {
    const CliRun run = runCli({flag});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("usage: tesserine [OPTION]... [TEXT]\n", 0), 0u);
    for (const char* word : {"--read-from", "--symversion", "--level", "--mask", "--type", "utf8", "pattern"})
      EXPECT_NE(run.out.find(word), std::string::npos) << word;
  }
  for (const char* flag : {"-V", "--version"}) {
    const CliRun run = runCli({flag});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "tesserine " TESSERINE_VERSION_STRING "\n");
  }
}

}  // namespace
