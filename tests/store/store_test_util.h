// A store on the in-memory computer, with its configuration file in a folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fakes/memory_computer.h"
#include "fakes/memory_store_system.h"
#include "store/profile_store.h"
#include "test_text.h"

namespace lumatrove {

// A path of the tests as the store's path text.
inline std::u16string FromPath(const std::filesystem::path& path) {
  return path.u16string();
}

}  // namespace lumatrove

namespace lumatrove::test {

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           (std::string("lumatrove_") + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    system_.programPath = FromPath(dir_ / "lumatrove.exe");
    system_.currentDirectory = FromPath(dir_);
  }
  void TearDown() override {
    std::error_code error;
    std::filesystem::remove_all(dir_, error);
  }

  std::filesystem::path ConfigFile() const { return dir_ / "lumatrove.cfg"; }
  std::string ReadFile(const std::filesystem::path& p) const {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void WriteFile(const std::filesystem::path& p, const std::string& bytes) const {
    std::ofstream(p, std::ios::binary) << bytes;
  }
  // The document text as UTF-8, CR LF shown as "\n" for readable expectations.
  static std::string Text(const XmlDocument& d) {
    std::string s = U8(d.GetDocument());
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
      if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
      out += s[i];
    }
    return out;
  }

  std::filesystem::path dir_;
  MemoryComputer computer_;
  MemoryStoreSystem system_{computer_};
};

}  // namespace lumatrove::test
