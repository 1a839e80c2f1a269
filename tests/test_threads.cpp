// Several threads calling setters and outputs at once. Every call holds the
// engine lock, so every output must be the whole symbol of one message and
// one configuration that some thread set, never a mixture or a torn copy.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/exports/tesserine.h"
#include "symbol_helpers.h"

namespace {

const std::vector<std::string> kMessages = {
    "12",  // what QRSetDefault sets
    "HELLO WORLD",
    "01234567",
    "thread-safe? 100% of the time",
    std::string(150, 'x') + "\xE4\xBD\xA0",
};

struct Config {
  int version, level, mask;
};
const std::vector<Config> kConfigs = {{0, 0, 0}, {0, 1, 3}, {5, 2, 0}, {2, 3, 8}, {0, 3, 0}};

struct Candidates {
  std::set<std::string> patterns;
  std::set<int> sizes;
};

Candidates allCandidates() {
  Candidates c;
  for (const std::string& m : kMessages)
    for (const Config& k : kConfigs) {
      testkit::EncodedSymbol s;
      if (!testkit::encode(m, k.version, k.level, k.mask, s)) throw std::runtime_error("candidate does not fit");
      c.patterns.insert(testkit::expectedPatternText(s.matrix));
      c.sizes.insert(s.size());
    }
  return c;
}

}  // namespace

TEST(Threads, MixedSettersAndOutputsGiveWholeSymbols) {
  const Candidates candidates = allCandidates();
  QRSetDefault();
  constexpr int kThreads = 4;
  constexpr int kOperations = 150;
  std::atomic<int> patterns{0}, torn{0}, badSize{0}, badProtocol{0}, tooSmallAgain{0};

  auto worker = [&](unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<char> buffer;
    for (int op = 0; op < kOperations; ++op) {
      switch (rng() % 7) {
        case 0:
          QRSetMessage(kMessages[rng() % kMessages.size()].c_str());
          break;
        case 1: {
          const Config& k = kConfigs[rng() % kConfigs.size()];
          QRConfigure(k.version, k.level, k.mask);
          break;
        }
        case 2:
          if (rng() % 4 == 0) QRSetDefault();
          else QRAppearance(0.1 * (1 + rng() % 5), static_cast<int>(rng() % 4), static_cast<int>(rng() % 3));
          break;
        case 3: {
          short rows = 0, columns = 0;
          QRGetActualRC(&rows, &columns);
          if (rows != columns || !candidates.sizes.count(rows)) ++badSize;
          break;
        }
        default: {
          // the two-call protocol; another thread may change the message in between
          unsigned int length = 0;
          short rows = 0, columns = 0;
          if (QRGetPatternData(nullptr, &length, &rows, &columns) != 0 || rows != columns ||
              length != static_cast<unsigned>(rows) * static_cast<unsigned>(rows)) {
            ++badProtocol;
            break;
          }
          buffer.assign(length + 1, '#');
          unsigned int capacity = length;
          const short result = QRGetPatternData(buffer.data(), &capacity, &rows, &columns);
          if (result == 0) {  // a larger symbol was set meanwhile
            if (capacity <= length) ++badProtocol;
            ++tooSmallAgain;
            break;
          }
          // the pattern is the leading run of '0'/'1'; '#' follows it
          const size_t written = std::string(buffer.begin(), buffer.end()).find('#');
          if (!candidates.patterns.count(std::string(buffer.data(), written))) ++torn;
          ++patterns;
        }
      }
    }
  };

  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) threads.emplace_back(worker, 1000u + t);
  for (auto& t : threads) t.join();

  EXPECT_EQ(torn.load(), 0);
  EXPECT_EQ(badSize.load(), 0);
  EXPECT_EQ(badProtocol.load(), 0);
  EXPECT_GT(patterns.load(), kThreads * kOperations / 4);
  // and the engine still works from one thread afterwards
  QRSetDefault();
  short rows = 0, columns = 0;
  QRGetActualRC(&rows, &columns);
  EXPECT_EQ(rows, 21);
}
