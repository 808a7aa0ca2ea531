// A part of the program that was handed no services says so at once instead of doing nothing.
#include "script/app_services.h"
#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

namespace {

TEST(AppServices, MissingServicesThrow) {
    AppServices none;
    EXPECT_THROW(none.Products(), MissingService);
    EXPECT_THROW(none.Settings(), MissingService);
    EXPECT_THROW(none.OpenDocuments(), MissingService);
    // A script registers in the list of open scripts as it is made.
    EXPECT_THROW(CVLDoc{none}, MissingService);
}

TEST(AppServices, ScriptWithoutAProgramThrowsOnItsFirstService) {
    testing_support::ScriptedUi ui;
    CVLDoc loose;
    EXPECT_THROW(loose.InitNewScript("Harnel4"), MissingService);
    EXPECT_THROW(loose.CompileScript(), MissingService);
}

TEST(AppServices, EntriesTheOwnerDidNotSetThrow) {
    testing_support::AppFixture fixture;
    CVLDoc doc(fixture.App());
    ASSERT_TRUE(doc.InitNewScript("Harnel4"));
    fixture.App().entries.compile = nullptr;
    fixture.App().entries.downloadSmpte = nullptr;
    EXPECT_THROW(fixture.App().Compile(doc), MissingService);
    EXPECT_THROW(fixture.App().DownloadSmpte(doc, false, false, true), MissingService);
    // The archive store alone is optional: without it the download offers no archive.
    fixture.App().entries.storeArchive = nullptr;
    EXPECT_FALSE(fixture.App().CanStoreArchive());
}

} // namespace
