// Encoding speed of the engine, through its exports, against libqrencode and
// Nayuki's qrcodegen, on the same messages at the same level and mode.
//
//   tesserine_bench            9 repetitions per case, then a table of the
//                              medians (CPU time) and the ratios
//   tesserine_bench --quick    a few short repetitions: does it run at all
//
// Any --benchmark_* flag given on the command line overrides the defaults
// (for example --benchmark_repetitions=15 or --benchmark_filter=v40).
#include <benchmark/benchmark.h>
#include <qrcodegen/qrcodegen.hpp>
#include <qrencode.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "tesserine.h"

namespace {

// One message of the comparison. `level` is 0 L .. 3 H in the engine's
// numbering; every library gets the same level and the same single mode.
struct Message {
  const char* name;  // v1, v10, v40
  int version;       // the version the message lands on
  int level;
  bool alphanumeric;  // alphanumeric mode, else byte mode
  std::string text;
};

// Printable bytes from a fixed seed; the leading lower-case letter keeps the
// message in byte mode.
std::string byteText(size_t length, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int> printable(0x20, 0x7E);
  std::string s(length, 'a');
  for (size_t i = 1; i < length; ++i) s[i] = static_cast<char>(printable(gen));
  return s;
}

const std::vector<Message>& messages() {
  static const std::vector<Message> all = {
      {"v1", 1, 2, true, "HELLO WORLD"},  // 11 alphanumeric characters, Q
      {"v10", 10, 0, false, byteText(250, 10)},  // 10-L holds 231 to 271 bytes
      {"v40", 40, 0, false, byteText(2953, 40)},  // the full capacity of 40-L
  };
  return all;
}

QRecLevel qrencodeLevel(int level) {
  static constexpr QRecLevel kLevels[4] = {QR_ECLEVEL_L, QR_ECLEVEL_M, QR_ECLEVEL_Q, QR_ECLEVEL_H};
  return kLevels[level];
}

qrcodegen::QrCode::Ecc nayukiLevel(int level) {
  using E = qrcodegen::QrCode::Ecc;
  static constexpr E kLevels[4] = {E::LOW, E::MEDIUM, E::QUARTILE, E::HIGH};
  return kLevels[level];
}

// ---- the three encoders, one symbol per call ----------------------------

// maskSetting 0 automatic, 1..8 pattern 0..7. `buffer` holds the largest
// symbol, so one call hands over the pattern text.
void encodeOurs(const Message& m, int maskSetting, std::vector<char>& buffer) {
  QRSetMessage(m.text.c_str());
  QRConfigure(0, m.level, maskSetting);
  unsigned int length = static_cast<unsigned int>(buffer.size());
  QRGetPatternData(buffer.data(), &length, nullptr, nullptr);
}

QRcode* encodeQrencode(const Message& m) {
  if (!m.alphanumeric) return QRcode_encodeString8bit(m.text.c_str(), 0, qrencodeLevel(m.level));
  QRinput* input = QRinput_new2(0, qrencodeLevel(m.level));
  if (input == nullptr) return nullptr;
  QRcode* code = nullptr;
  if (QRinput_append(input, QR_MODE_AN, static_cast<int>(m.text.size()),
                     reinterpret_cast<const unsigned char*>(m.text.data())) == 0)
    code = QRcode_encodeInput(input);
  QRinput_free(input);
  return code;
}

// mask -1 automatic, 0..7 fixed.
qrcodegen::QrCode encodeNayuki(const Message& m, int mask) {
  using qrcodegen::QrSegment;
  std::vector<QrSegment> segments;
  if (m.alphanumeric) {
    segments.push_back(QrSegment::makeAlphanumeric(m.text.c_str()));
  } else {
    segments.push_back(QrSegment::makeBytes(std::vector<uint8_t>(m.text.begin(), m.text.end())));
  }
  return qrcodegen::QrCode::encodeSegments(segments, nayukiLevel(m.level), 1, 40, mask, false);
}

// ---- benchmarks -----------------------------------------------------------

constexpr int kFixedPattern = 0;  // fixed-mask cases use pattern 0 (setting 1)

void oursAuto(benchmark::State& state, const Message* m) {
  std::vector<char> buffer(177 * 177);
  for (auto _ : state) {
    encodeOurs(*m, 0, buffer);
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
}

void oursFixed(benchmark::State& state, const Message* m) {
  std::vector<char> buffer(177 * 177);
  for (auto _ : state) {
    encodeOurs(*m, kFixedPattern + 1, buffer);
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
}

void qrencodeAuto(benchmark::State& state, const Message* m) {
  for (auto _ : state) {
    QRcode* code = encodeQrencode(*m);
    benchmark::DoNotOptimize(code);
    QRcode_free(code);
  }
}

void nayukiAuto(benchmark::State& state, const Message* m) {
  for (auto _ : state) {
    qrcodegen::QrCode code = encodeNayuki(*m, -1);
    benchmark::DoNotOptimize(code);
  }
}

void nayukiFixed(benchmark::State& state, const Message* m) {
  for (auto _ : state) {
    qrcodegen::QrCode code = encodeNayuki(*m, kFixedPattern);
    benchmark::DoNotOptimize(code);
  }
}

struct Case {
  const char* name;
  void (*run)(benchmark::State&, const Message*);
};
constexpr Case kCases[] = {
    {"ours_auto", oursAuto},         {"ours_fixed", oursFixed},   {"qrencode_auto", qrencodeAuto},
    {"nayuki_auto", nayukiAuto},     {"nayuki_fixed", nayukiFixed},
};

void registerAll() {
  for (const Message& m : messages())
    for (const Case& c : kCases)
      benchmark::RegisterBenchmark((std::string(c.name) + "/" + m.name).c_str(), c.run, &m)
          ->Unit(benchmark::kMicrosecond);
}

// ---- sanity: the libraries encode the same symbol -------------------------

// Before timing anything: every encoder lands on the expected version, and
// the engine's fixed-mask symbol equals qrcodegen's with the same pattern
// (both follow the standard there; only the automatic choice differs).
bool checkAgreement() {
  bool ok = true;
  std::vector<char> buffer(177 * 177);
  for (const Message& m : messages()) {
    const int n = 17 + 4 * m.version;
    unsigned int length = 0;
    short rows = 0, columns = 0;
    QRSetMessage(m.text.c_str());
    QRConfigure(0, m.level, kFixedPattern + 1);
    QRGetPatternData(nullptr, &length, &rows, &columns);
    encodeOurs(m, kFixedPattern + 1, buffer);
    const qrcodegen::QrCode nayuki = encodeNayuki(m, kFixedPattern);
    QRcode* qrencode = encodeQrencode(m);
    const int qrencodeVersion = qrencode ? qrencode->version : 0;
    QRcode_free(qrencode);
    bool same = rows == n && nayuki.getSize() == n;
    for (int c = 0; same && c < n; ++c)
      for (int r = 0; r < n; ++r)
        if ((buffer[static_cast<size_t>(c) * n + (n - 1 - r)] == '1') != nayuki.getModule(c, r)) {
          same = false;
          break;
        }
    if (rows != n || nayuki.getVersion() != m.version || qrencodeVersion != m.version || !same) {
      std::fprintf(stderr, "%s: expected version %d; engine %d modules, qrencode version %d, qrcodegen version %d, "
                   "fixed-mask symbols %s\n", m.name, m.version, rows, qrencodeVersion, nayuki.getVersion(),
                   same ? "equal" : "differ");
      ok = false;
    }
  }
  return ok;
}

// ---- the summary table ----------------------------------------------------

// Shows the runs as usual and keeps each case's median CPU time.
class MedianCollector : public benchmark::ConsoleReporter {
 public:
  explicit MedianCollector(bool color) : ConsoleReporter(color ? OO_Color : OO_None) {}
  void ReportRuns(const std::vector<Run>& reports) override {
    ConsoleReporter::ReportRuns(reports);
    for (const Run& run : reports) {
      if (run.error_occurred) continue;
      // With one repetition there is no aggregate; the single run stands in.
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      if (median || single) medians_[run.run_name.function_name] = run.GetAdjustedCPUTime();
    }
  }
  // Median in microseconds, or a negative value when the case did not run.
  double median(const std::string& name) const {
    const auto it = medians_.find(name);
    return it == medians_.end() ? -1.0 : it->second;
  }

 private:
  std::map<std::string, double> medians_;
};

void printTable(const MedianCollector& results) {
  auto cell = [](double v) {
    char s[32];
    if (v < 0) std::snprintf(s, sizeof s, "%10s", "-");
    else std::snprintf(s, sizeof s, "%10.2f", v);
    return std::string(s);
  };
  auto ratio = [](double a, double b) {
    char s[32];
    if (a < 0 || b <= 0) std::snprintf(s, sizeof s, "%8s", "-");
    else std::snprintf(s, sizeof s, "%8.3f", a / b);
    return std::string(s);
  };
  std::printf("\nMedian CPU time per symbol, microseconds (targets: v40 auto/qrencode <= 0.5, "
              "fixed/nayuki <= 0.25)\n");
  std::printf("%-5s%10s%10s%10s%10s%10s  %8s%8s%8s\n", "size", "ours_a", "ours_f", "qrenc_a", "nayuki_a", "nayuki_f",
              "a/qrenc", "f/nayf", "a/naya");
  for (const Message& m : messages()) {
    auto t = [&](const char* c) { return results.median(std::string(c) + "/" + m.name); };
    const double oa = t("ours_auto"), of = t("ours_fixed"), qa = t("qrencode_auto"), na = t("nayuki_auto"),
                 nf = t("nayuki_fixed");
    if (oa < 0 && of < 0 && qa < 0 && na < 0 && nf < 0) continue;
    std::printf("%-5s%s%s%s%s%s  %s%s%s\n", m.name, cell(oa).c_str(), cell(of).c_str(), cell(qa).c_str(),
                cell(na).c_str(), cell(nf).c_str(), ratio(oa, qa).c_str(), ratio(of, nf).c_str(),
                ratio(oa, na).c_str());
  }
}

bool hasFlag(int argc, char** argv, const char* prefix) {
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], prefix, std::strlen(prefix)) == 0) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  // Defaults first, so that the caller's own flags, read later, win.
  std::vector<std::string> args = {argv[0]};
  bool quick = false;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--quick") == 0) quick = true;
  if (quick) {
    args.push_back("--benchmark_repetitions=3");
    args.push_back("--benchmark_min_time=0.01");
  } else {
    args.push_back("--benchmark_repetitions=9");
  }
  if (!hasFlag(argc, argv, "--benchmark_display_aggregates_only"))
    args.push_back("--benchmark_display_aggregates_only=true");
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--quick") != 0) args.push_back(argv[i]);
  std::vector<char*> view;
  for (std::string& a : args) view.push_back(a.data());
  int count = static_cast<int>(view.size());
  view.push_back(nullptr);

  benchmark::Initialize(&count, view.data());
  if (benchmark::ReportUnrecognizedArguments(count, view.data())) return 1;
  if (!checkAgreement()) return 1;
  registerAll();
  MedianCollector collector(isatty(fileno(stdout)) != 0);
  benchmark::RunSpecifiedBenchmarks(&collector);
  printTable(collector);
  benchmark::Shutdown();
  return 0;
}
