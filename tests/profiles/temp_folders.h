// A fresh documents folder per test, so profile files never reach a real user's folder.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/system/ini.h"

namespace vz::testing {

class TempDocuments : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vz-profiles-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    ASSERT_EQ(setenv("VZ_DOCUMENTS_DIR", (root_ + "/docs").c_str(), 1), 0);
    ini::DropCache();
  }
  void TearDown() override {
    std::filesystem::remove_all(root_);
    ini::DropCache();
  }
  std::string root_;
};

}  // namespace vz::testing
