// The SMPTE settings of a script: the new-script defaults, the [Smpte] section read and written,
// and the Configure SMPTE command.
#include "foundation/smpte_timecode.h"
#include "foundation/status.h"
#include "reproducer/smpte_interface.h"
#include "script/smpte_dialog.h"
#include "tests/script/ksf_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ksf_test::KsfTest;
using ksf_test::Save;

// The [Smpte] section of a saved script, header to the next empty line; empty when none.
std::string SmpteSection(CVLDoc& doc) {
    const std::string text = Save(doc);
    const std::size_t at = text.find("[Smpte]\r\n");
    if (at == std::string::npos)
        return {};
    return text.substr(at, text.find("\r\n\r\n", at) + 2 - at);
}

std::string InsertSmpte(const std::string& script, const std::string& lines) {
    std::string text = script;
    text.insert(text.find("\r\n[Inputs]"), "\r\n[Smpte]\r\n" + lines);
    return text;
}

TEST_F(KsfTest, NewScriptHasTheSmpteDefaultsAndNoSection) {
    auto doc = NewDoc();
    EXPECT_EQ(doc->m_nSmpteUsed, 0);
    EXPECT_EQ(doc->m_nSmpteDevice, 2);
    EXPECT_EQ(doc->m_wChaseDropoutTolerance, 5);
    ReelvoxSMPTEInterface_c* smpte = doc->m_Reelvox.SMPTEInterface();
    ASSERT_NE(smpte, nullptr);
    EXPECT_EQ(smpte->GetUnitType(), 2);
    EXPECT_EQ(smpte->GetBitsCapable(), 0);
    EXPECT_EQ(smpte->IsGenerating(), QOR_TRUE);
    EXPECT_EQ(smpte->GetVideoSync(), QOR_FALSE);
    EXPECT_EQ(smpte->GetFrameRate(), 5);
    EXPECT_EQ(smpte->GetClockFreq(), 4);
    EXPECT_EQ(smpte->GetSmpteReset(), QOR_TRUE);
    EXPECT_EQ(Save(*doc).find("[Smpte]"), std::string::npos);

    // With SMPTE used the defaults are written in the section's order.
    doc->m_nSmpteUsed = 1;
    EXPECT_EQ(SmpteSection(*doc), ksf_test::Crlf("[Smpte]\n"
                                                 "Mode=Generate-NoVideoGenlock\n"
                                                 "SmpteDevice=Tembrel\n"
                                                 "SmpteSampleClk=48.0\n"
                                                 "SmpteGenlockNTSC=YES\n"
                                                 "EnabledOnPowerUp=NO\n"
                                                 "StartButtonRestarts=YES\n"
                                                 "StopAtEndTime=YES\n"
                                                 "ShowControlPortConfiguredAsMIDI=NO\n"
                                                 "UseMTC=NO\n"
                                                 "EnableTimeStamp=NO\n"
                                                 "MuteWhenStopped=NO\n"
                                                 "FrameRate=30 FPS\n"
                                                 "ChaseDropoutTolerance=5\n"
                                                 "PrerollTime=00:00:00.00\n"
                                                 "StartTime=00:00:00.00\n"
                                                 "EndTime=00:00:00.00\n"));
}

TEST_F(KsfTest, SmpteSectionReadsAndWritesBack) {
    const std::string base = Save(*NewDoc());
    struct Case {
        const char* lines;
        const char* written; // lines expected in the section written back
    };
    const Case cases[] = {
        {"SmpteDevice=Reelvox2016bit\r\n", "SmpteDevice=ReelvoxLegacy\r\n"},
        {"SmpteDevice=reelvox2424BIT\r\n", "SmpteDevice=ReelvoxAll\r\n"},
        {"SmpteDevice=Unknown\r\n", "SmpteDevice=Tembrel\r\n"},
        {"UseMTC=YES\r\nShowControlPortConfiguredAsMIDI=NO\r\n",
         "ShowControlPortConfiguredAsMIDI=NO\r\nUseMTC=NO\r\nEnableTimeStamp=YES\r\n"},
        {"Mode=Generate-NoVideoGenlock\r\n", "Mode=Generate-NoVideoGenlock\r\n"},
        {"Mode=ReadExternal\r\nEnabledOnPowerUp=enabled\r\n",
         "Mode=ReadExternal\r\nSmpteDevice=Tembrel\r\nSmpteSampleClk=48.0\r\n"
         "SmpteGenlockNTSC=YES\r\nEnabledOnPowerUp=YES\r\n"},
        {"Mode=whatever\r\n", "Mode=Generate-NoVideoGenlock\r\n"},
        {"SmpteSampleClk=44.0\r\nSmpteGenlockNTSC=no\r\n",
         "SmpteSampleClk=44.0\r\nSmpteGenlockNTSC=NO\r\n"},
        {"StopAtEndTime=false\r\nStartButtonRestarts=Disabled\r\n",
         "StartButtonRestarts=NO\r\nStopAtEndTime=NO\r\n"},
        {"FrameRate=29.97 Drop FPS\r\nStartTime=01:02:03.04\r\n",
         "FrameRate=29.97 Drop FPS\r\nChaseDropoutTolerance=5\r\nPrerollTime=00:00:00.00\r\n"
         "StartTime=01:02:03.04\r\n"},
        {"FrameRate=60 FPS\r\nChaseDropoutTolerance=12\r\n",
         "FrameRate=30 FPS\r\nChaseDropoutTolerance=12\r\n"},
        {"MuteWhenStopped=true\r\n", "MuteWhenStopped=YES\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        auto doc = Load(InsertSmpte(base, c.lines));
        EXPECT_EQ(doc->m_nSmpteUsed, 1);
        EXPECT_NE(SmpteSection(*doc).find(c.written), std::string::npos) << SmpteSection(*doc);
    }

    auto legacy = Load(InsertSmpte(base, "SmpteDevice=Reelvox2016bit\r\n"));
    EXPECT_EQ(legacy->m_nSmpteDevice, 1);
    EXPECT_EQ(legacy->m_Reelvox.SMPTEInterface()->GetUnitType(), 1);
    auto power = Load(InsertSmpte(base, "EnabledOnPowerUp=YES\r\nMode=ReadExternal\r\n"));
    EXPECT_EQ(power->m_Reelvox.SMPTEInterface()->GetStartOnPower(), QOR_TRUE);
}

TEST_F(KsfTest, ScriptWithSmpteOpensAndSavesIdentically) {
    const std::string text = ksf_test::ReadDataFile("full_form.ksf");
    auto doc = Load(text);
    EXPECT_EQ(doc->m_nSmpteUsed, 1);
    EXPECT_EQ(doc->m_wChaseDropoutTolerance, 8);
    EXPECT_TRUE(ksf_test::SameText(text, Save(*doc)));
    // Saved again after another read: still the same bytes.
    auto again = Load(Save(*doc));
    EXPECT_TRUE(ksf_test::SameText(text, Save(*again)));
}

TEST_F(KsfTest, ConfigureSmpteUnchangedKeepsTheScriptUnmodified) {
    auto doc = Load(ksf_test::ReadDataFile("full_form.ksf"));
    doc->SetModifiedFlag(false);
    const std::string before = Save(*doc);
    CSmpteDlg seen;
    ui.QueueDialog([&](platform::DialogRequest& request) {
        seen = dynamic_cast<CSmpteDlg&>(request);
        return true; // OK without a change
    });
    doc->OnConfigureSmpte();
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(Save(*doc), before);
    EXPECT_EQ(seen.smpteUsed, 1);
    EXPECT_EQ(seen.device, 1);
    EXPECT_EQ(seen.dropoutTolerance, 8);
    EXPECT_EQ(seen.controlPort, CSmpteDlg::kMidiPort);
    EXPECT_EQ(seen.useMtc, 1);
    EXPECT_EQ(seen.mode, CSmpteDlg::kGenerateVideoSync);
    EXPECT_EQ(seen.frameRate, 2);
    EXPECT_EQ(seen.clockFrequency, 3);
    EXPECT_EQ(seen.end, "01:30:00.12");

    // Cancel changes nothing, whatever the dialog holds.
    ui.QueueDialog([](platform::DialogRequest& request) {
        dynamic_cast<CSmpteDlg&>(request).dropoutTolerance = 3;
        return false;
    });
    doc->OnConfigureSmpte();
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->m_wChaseDropoutTolerance, 8);
}

TEST_F(KsfTest, ConfigureSmpteChangesMarkTheScript) {
    struct Case {
        const char* what;
        void (*edit)(CSmpteDlg&);
        const char* written;
    };
    const Case cases[] = {
        {"tolerance", [](CSmpteDlg& d) { d.dropoutTolerance = 9; }, "ChaseDropoutTolerance=9\r\n"},
        {"used", [](CSmpteDlg& d) { d.smpteUsed = 1; }, "[Smpte]\r\n"},
        {"interface setting",
         [](CSmpteDlg& d) {
             d.smpteUsed = 1;
             d.mode = CSmpteDlg::kReadExternal;
             d.controlPort = CSmpteDlg::kNoPort;
             d.enableTimeStamp = 1;
         },
         "Mode=ReadExternal\r\n"},
        {"time",
         [](CSmpteDlg& d) {
             d.smpteUsed = 1;
             d.preroll = "00:00:10.05";
         },
         "PrerollTime=00:00:10.05\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto doc = NewDoc();
        doc->SetModifiedFlag(false);
        if (std::string(c.what) != "used")
            doc->m_nSmpteUsed = 1;
        ui.QueueDialog([&](platform::DialogRequest& request) {
            c.edit(dynamic_cast<CSmpteDlg&>(request));
            return true;
        });
        doc->OnConfigureSmpte();
        EXPECT_TRUE(doc->IsModified());
        EXPECT_NE(SmpteSection(*doc).find(c.written), std::string::npos) << SmpteSection(*doc);
    }
}

TEST_F(KsfTest, ConfigureNowDownloadsThroughTheInstalledEntry) {
    auto doc = NewDoc();
    std::vector<std::array<bool, 3>> calls;
    app.App().entries.downloadSmpte = [&](CVLDoc&, bool inlineDownload, bool loadTriggers,
                                          bool full) {
        calls.push_back({inlineDownload, loadTriggers, full});
        return 2;
    };
    ui.QueueDialog([](platform::DialogRequest& request) {
        dynamic_cast<CSmpteDlg&>(request).configureNow = 1;
        return true;
    });
    doc->OnConfigureSmpte();
    EXPECT_EQ(calls, (std::vector<std::array<bool, 3>>{{false, false, true}}));
}

} // namespace
