// Saving the order: the save dialog answered from a thread of the test, the file read back.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>

#include "app/order_write_form.h"
#include "files/file_system.h"
#include "tests/app/order/dialog_driver.h"
#include "tests/app/order/order_form_fixture.h"

namespace {

constexpr char kSaveTitle[] = "Save registration as...";

class OrderFormSaveTest : public OrderFormFixture {
 protected:
  void SetUp() override {
    OrderFormFixture::SetUp();
    ASSERT_EQ(FileLayerStart(), kOk);
    FileSetDialogModule(GetModuleHandleA(nullptr));  // a console program gets the prompts otherwise
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    path_ = std::string(folder) + "skyward order save test.txt";
    DeleteFileA(path_.c_str());
  }
  void TearDown() override {
    DeleteFileA(path_.c_str());
    FileSetDialogModule(nullptr);
    OrderFormFixture::TearDown();
  }
  Status Save() { return OrderWriteForm(kOrderSave, OrderFormSources{table(), nullptr, kDate, nullptr}); }
  std::string FileBytes() {
    std::ifstream file(path_, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
  }

  std::string path_;
};

TEST_F(OrderFormSaveTest, TheChosenFileHoldsTheSavedTextByteForByte) {
  DialogDriver driver(kSaveTitle, IDOK, path_);
  EXPECT_EQ(Save(), kOk);
  driver.Join();
  EXPECT_TRUE(driver.shown() && driver.closed());
  EXPECT_EQ(FileBytes(), Text(true));
}

TEST_F(OrderFormSaveTest, CancellingTheDialogIsMinus7007AndWritesNothing) {
  DialogDriver driver(kSaveTitle, IDCANCEL);
  EXPECT_EQ(Save(), kErrCancelled);
  driver.Join();
  EXPECT_TRUE(driver.shown() && driver.closed());
  EXPECT_EQ(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(OrderFormSaveTest, AnIncompleteOrderAsksForNoFile) {
  Remove("user_phone");
  EXPECT_EQ(Save(), kErrState);  // fails before any dialog, so none needs answering
  EXPECT_EQ(FindWindowA("#32770", kSaveTitle), nullptr);
}

TEST_F(OrderFormSaveTest, OtherModesAndAMissingTableAreRefused) {
  EXPECT_EQ(OrderWriteForm(3, OrderFormSources{table(), nullptr, kDate, nullptr}), kErrArgument);
  EXPECT_EQ(OrderWriteForm(kOrderSave, OrderFormSources{nullptr, nullptr, kDate, nullptr}), kErrState);
  // Outside the running program there is no table.
  EXPECT_EQ(OrderWriteForm(kOrderSave), kErrState);
}

}  // namespace
