// Running the built tesserine tool as a separate process, for the tool's
// tests: its exit status and what it wrote to standard output and error.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tesserine::clitest {

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A fresh file in the test's temporary directory, removed with the object.
struct TempFile {
  std::string path;
  explicit TempFile(const std::string& contents = {}) {
    std::string pattern = ::testing::TempDir() + "tesserine_cli_XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) std::abort();
    close(fd);
    path = pattern;
    writeFile(path, contents);
  }
  ~TempFile() { std::remove(path.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
};

// Runs the tool with exactly these arguments and this standard input;
// standard output goes to `outputPath` when one is given.
inline CliRun runCli(const std::vector<std::string>& args, const std::string& input = {},
                     const std::string& outputPath = {}) {
  TempFile in(input), out, err;
  std::vector<char*> argv;
  std::string program = TESSERINE_CLI_PATH;
  argv.push_back(program.data());
  std::vector<std::string> copies = args;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid == 0) {
    const int fdIn = open(in.path.c_str(), O_RDONLY);
    const int fdOut = open(outputPath.empty() ? out.path.c_str() : outputPath.c_str(), O_WRONLY | O_TRUNC);
    const int fdErr = open(err.path.c_str(), O_WRONLY | O_TRUNC);
    if (fdIn < 0 || fdOut < 0 || fdErr < 0) _exit(127);
    dup2(fdIn, 0);
    dup2(fdOut, 1);
    dup2(fdErr, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  CliRun run;
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  run.out = readFile(out.path);
  run.err = readFile(err.path);
  return run;
}

}  // namespace tesserine::clitest
