#include "unit_fixture.h"

#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/detail_file.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "storage/stat_form.h"

using namespace records;

namespace storage::testing {

void DataUnitTest::SetUp() {
  StorageTest::SetUp();
  testing_support::EnsureGuiApplication();
  CurrentCompanyNumber = [this] { return company_; };
}

void DataUnitTest::TearDown() {
  for (IsamFileBlock* fb : {&DetailFile, &MemoFile, &POMemoFile, &PODetailFile}) {
    if (*fb) Close(*fb);
  }
  CurrentCompanyNumber = nullptr;
  platform::ui::Application->DestroyForms();
  StatForm = nullptr;
  StorageTest::TearDown();
}

}  // namespace storage::testing
