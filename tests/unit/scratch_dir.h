// A fresh empty working directory for each test that touches files, since the stored
// files live in the working directory; the previous one is restored afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class ScratchDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    // A random name: other test runs, native and under Wine, share the temporary folder.
    std::random_device random;
    do {
      dir_ = std::filesystem::temp_directory_path() /
             ("qv_unit_" + std::to_string(random()) + "_" + std::to_string(random()));
    } while (!std::filesystem::create_directory(dir_));
    std::filesystem::current_path(dir_);
  }

  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    // Read-only files would keep the directory from going away on Windows.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_, ignored)) {
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(dir_, ignored);
  }

  static void writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out << bytes;
  }

  static std::string readFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  static bool exists(const std::string& name) { return std::filesystem::exists(name); }

  static void setReadOnly(const std::string& name, bool readOnly) {
    using std::filesystem::perms;
    std::filesystem::permissions(
        name, perms::owner_write | perms::group_write | perms::others_write,
        readOnly ? std::filesystem::perm_options::remove : std::filesystem::perm_options::add);
  }

 private:
  std::filesystem::path previous_;
  std::filesystem::path dir_;
};
