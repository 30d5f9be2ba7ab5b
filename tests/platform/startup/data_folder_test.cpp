// The folder a program that reads its data from its working directory
// starts in, given which folders hold the data, and what it says when none does.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/startup/data_folder.h"

namespace {

namespace fs = std::filesystem;
using winlayer::startup::DataFound;
using winlayer::startup::FindDataFolder;
using winlayer::startup::MissingDataMessage;

// Two folders under the test's own, removed afterwards: the one the program
// is started in and the one that holds it.
class DataFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::current_path() / ("data-folder-test." + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                  "." + testing::UnitTest::GetInstance()->current_test_info()->name());
    working_ = root_ / "started in";
    program_ = root_ / "Operation Brannoway";
    fs::create_directories(working_);
    fs::create_directories(program_);
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path root_;
  fs::path working_, program_;
};

TEST_F(DataFolderTest, TheWorkingFolderWinsThenTheProgramsOwnThenNeither) {
  EXPECT_EQ(FindDataFolder(working_, program_, "Media"), DataFound::Nowhere);

  fs::create_directory(program_ / "Media");
  EXPECT_EQ(FindDataFolder(working_, program_, "Media"), DataFound::InProgramFolder);

  fs::create_directory(working_ / "Media");
  EXPECT_EQ(FindDataFolder(working_, program_, "Media"), DataFound::InWorkingFolder);
  // Started in its own folder, as the launcher and a plain double click do.
  EXPECT_EQ(FindDataFolder(program_, program_, "Media"), DataFound::InWorkingFolder);
}

TEST_F(DataFolderTest, AFileNamedLikeTheFolderOrAnUnknownProgramFolderHoldsNothing) {
  std::FILE* file = std::fopen((working_ / "Media").c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  EXPECT_EQ(FindDataFolder(working_, program_, "Media"), DataFound::Nowhere);

  fs::create_directory(program_ / "Media");
  EXPECT_EQ(FindDataFolder(working_, program_, "Media"), DataFound::InProgramFolder);
  // A program whose own path the system would not tell, started elsewhere.
  EXPECT_EQ(FindDataFolder(working_, fs::path(), "Media"), DataFound::Nowhere);
  EXPECT_EQ(FindDataFolder(fs::path(), fs::path(), "Media"), DataFound::Nowhere);
}

TEST_F(DataFolderTest, TheMessageNamesTheFoldersLookedInOnceEachAndTheAdvice) {
  const std::string both = MissingDataMessage("OperationBrannoway", working_, program_, "Media", "Extract the whole ZIP.");
  EXPECT_NE(both.find("OperationBrannoway can't find its Media folder"), std::string::npos) << both;
  EXPECT_NE(both.find(program_.string()), std::string::npos) << both;
  EXPECT_NE(both.find(working_.string()), std::string::npos) << both;
  EXPECT_NE(both.find("Extract the whole ZIP."), std::string::npos) << both;

  // Started in its own folder: that folder once.
  const std::string own = MissingDataMessage("OperationBrannoway", program_, program_, "Media", "");
  const auto first = own.find(program_.string());
  ASSERT_NE(first, std::string::npos) << own;
  EXPECT_EQ(own.find(program_.string(), first + 1), std::string::npos) << own;
}

}  // namespace
