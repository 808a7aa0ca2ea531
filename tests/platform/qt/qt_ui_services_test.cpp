// A dialog request that reaches no handler is the program's fault and says so; a handler
// registered by the request's type gets the request as that type.
#include "platform/qt/mdi_template.h"
#include "platform/qt/qt_ui_services.h"
#include "tests/support/qt_test_app.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct AskName : platform::DialogRequest {
    static constexpr const char* kDialogName = "CAskNameDlg";
    const char* DialogName() const override { return kDialogName; }
    std::string name;
};

// Records its boxes instead of showing them.
class RecordingUi : public platform::qt::QtUiServices {
public:
    platform::MsgResult MessageBox(const platform::MessageBoxRequest& request) override {
        boxes.push_back(request);
        return platform::DefaultAnswer(request);
    }
    std::vector<platform::MessageBoxRequest> boxes;
};

TEST(DialogHandlers, ARequestWithoutAHandlerNamesTheMissingDialog) {
    testsupport::QtApp();
    RecordingUi ui;
    AskName request;
    EXPECT_FALSE(ui.RunDialog(request));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("CAskNameDlg"), std::string::npos) << ui.boxes[0].text;
    EXPECT_EQ(ui.boxes[0].icon, platform::MsgIcon::Stop);
    EXPECT_FALSE(ui.HasDialogHandler(AskName::kDialogName));

    platform::qt::ViewRegistry registry;
    registry.RegisterDialog<AskName>([](AskName& asked) {
        asked.name = "Fountain";
        return true;
    });
    registry.InstallDialogs(ui);
    EXPECT_TRUE(ui.HasDialogHandler(AskName::kDialogName));
    EXPECT_TRUE(ui.RunDialog(request));
    EXPECT_EQ(request.name, "Fountain");
    EXPECT_EQ(ui.boxes.size(), 1u);
}

} // namespace
