// What every test of twbkf needs: a folder of its own, the program run in
// it, and backups made by the project's own MTF writer.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tests/cli/run_program.h"
#include "tests/support/mtf_writer.h"

namespace tallowin {

namespace fs = std::filesystem;
using test::FileEntry;
using test::MtfWriter;
using test::RunProgram;

inline std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class TwbkfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("twbkf-test-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  test::ProgramResult Twbkf(std::vector<std::string> arguments,
                            const std::function<void(pid_t)>& whileRunning = {}) {
    arguments.insert(arguments.begin(), TWBKF_PATH);
    return RunProgram(arguments, {"HOME=" + dir_.string()}, whileRunning);
  }
  fs::path Bkf(const MtfWriter& writer, const std::string& name = "backup.bkf") {
    writer.WriteTo(dir_ / name);
    return dir_ / name;
  }
  // A sparse file far too large to scan in a moment, with `head` at its start.
  fs::path HugeSparseBkf(const MtfWriter& head) {
    const fs::path path = Bkf(head, "huge.bkf");
    fs::resize_file(path, std::uintmax_t{64} << 30);
    return path;
  }

  fs::path dir_;
};

inline MtfWriter TwoFiles() {
  MtfWriter writer;
  writer.Tape().DataSet(u"Daily").Directory(u"Docs");
  writer.File({.name = u"a.txt", .data = "alpha"}).File({.name = u"b.doc", .data = std::string(3000, 'b')});
  return writer;
}

}  // namespace tallowin
