#include "foundation/byte_buffer.h"
#include "foundation/serial_port.h"
#include "foundation/smpte_timecode.h"
#include "foundation/status.h"
#include "foundation/text_string.h"
#include "foundation/thread.h"
#include "reproducer/port_info_elements.h"
#include "reproducer/reelvox_data_document.h"
#include "reproducer/reelvox_system.h"
#include "reproducer/reproducer_elements.h"
#include "reproducer/reproducer_units.h"
#include "reproducer/smpte_interface.h"
#include "reproducer/smpte_settings_element.h"
#include "tests/support/fast_waits.h"
#include "tests/support/reproducer_emulator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

using testing_support::ReelvoxAnswer;
using testing_support::ReelvoxFrame;
using testing_support::ReelvoxRule;
using testing_support::ReproducerEmulator;
using testing_support::ReproducerEmulatorOptions;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A system with an interface, lent a port on the emulator's pseudo-terminal.
class SystemOnEmulator : public ::testing::Test {
protected:
    // Time-outs and pauses run ten times faster (declared first: it outlives the peers).
    platform::FastWaits fastWaits_{testing_support::kFastWaitFactor};

    void Open(ReproducerEmulatorOptions options = {}) {
        emulator = std::make_unique<ReproducerEmulator>(std::move(options));
        ASSERT_TRUE(emulator->Start());
        QORString_c name;
        name.Assign(emulator->SlavePath().c_str(), -1, QOR_FALSE);
        ASSERT_EQ(port.SetCommPort(&name), QOR_OK);
        ASSERT_EQ(system.AttachSMPTEInterface(std::make_unique<ReelvoxSMPTEInterface_c>()), QOR_OK);
        ASSERT_EQ(system.SetSerialPort(&port), QOR_OK);
    }
    void TearDown() override {
        system.SetSerialPort(nullptr);
        port.Close();
    }
    ReelvoxSMPTEInterface_c& Smpte() { return *system.SMPTEInterface(); }
    std::vector<ReelvoxFrame> Frames() const { return emulator->Frames(); }
    // What the emulator saw, for the failure messages.
    std::string Seen() const {
        std::string text;
        for (const auto& f : emulator->Frames()) {
            for (std::uint8_t b : f.bytes) {
                static const char kHex[] = "0123456789ABCDEF";
                text += kHex[b >> 4];
                text += kHex[b & 15];
                text += ' ';
            }
            text += f.checksumOk ? "| " : "(bad) | ";
        }
        return text;
    }
    static Bytes Frame(std::uint8_t destination, std::uint8_t command, Bytes data) {
        return ReelvoxBuildFrame(0xFF, destination, command, data.data(),
                                 static_cast<std::int32_t>(data.size()));
    }
    void SetVersion(const char* text) {
        ReelvoxDataSMPTEInterface_c* e = system.Document()->Root()->SMPTE();
        ASSERT_EQ(ShowXMLInterface_c::SetNodeText(e->VersionElement(), e, text), QOR_OK);
    }

    std::unique_ptr<ReproducerEmulator> emulator;
    QORSerial_c port;
    Reelvox_c system;
};

} // namespace

TEST(ReelvoxSystem, NewSystemAndItsReproducers) {
    Reelvox_c system;
    EXPECT_EQ(system.GetState(), REELVOX_SYSTEM_COMPLETE);
    EXPECT_EQ(system.SMPTEInterface(), nullptr);
    EXPECT_EQ(system.ReproducerCount(), 16);
    EXPECT_EQ(system.AttachSMPTEInterface(nullptr), QOR_ERROR);
    ASSERT_EQ(system.AttachSMPTEInterface(std::make_unique<ReelvoxSMPTEInterface_c>()), QOR_OK);
    EXPECT_EQ(system.AttachSMPTEInterface(std::make_unique<ReelvoxSMPTEInterface_c>()), QOR_ERROR);

    ReelvoxReproducer_c* third = system.Reproducer(3);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(system.Reproducer(3), third);
    EXPECT_EQ(third->Unit(), 3);
    EXPECT_EQ(system.Reproducer(17), nullptr);
    EXPECT_EQ(system.Reproducer(0), nullptr);

    system.SetReproducerCount(4);
    EXPECT_EQ(system.AttachReproducer(5, std::make_unique<ReelvoxReproducer_c>()), QOR_ERROR);

    // The big unit takes 20 legacy reproducers and ignores errors; the compact one cuts to 16.
    EXPECT_EQ(system.SMPTEInterface()->SetUnitType(1), QOR_OK);
    EXPECT_EQ(system.ReproducerCount(), 20);
    EXPECT_EQ(system.Reproducer(3)->Product(), REELVOX_PRODUCT_LEGACY);
    EXPECT_EQ(system.Document()->Root()->IgnoreErrors(), QOR_TRUE);
    EXPECT_EQ(system.SMPTEInterface()->TriggerTable()->MaxTriggers(), 64);
    EXPECT_EQ(system.SMPTEInterface()->SetUnitType(0), QOR_OK);
    EXPECT_EQ(system.ReproducerCount(), 16);
    EXPECT_EQ(system.Reproducer(17), nullptr);
    EXPECT_EQ(system.SMPTEInterface()->TriggerTable()->MaxTriggers(), 250);
    EXPECT_DOUBLE_EQ(system.SMPTEInterface()->SampleClockRate(), 48000.0);

    system.ResetDevices();
    EXPECT_EQ(system.SMPTEInterface(), nullptr);
}

// The configuration's text, with the hidden declaration attributes.
std::string ConfigurationText(Reelvox_c& system) {
    QORBuffer_c buffer;
    system.Document()->Save(&buffer);
    return std::string(reinterpret_cast<const char*>(buffer.Data()),
                       static_cast<std::size_t>(buffer.Size()));
}

// Every system, and every reset, starts from the same defaults; an edit after a reset is a change
// of the document like any other.
TEST(ReelvoxSystem, ResetGivesTheDefaultsAndLaterEditsAreChanges) {
    Reelvox_c fresh;
    const std::string defaults = ConfigurationText(fresh);
    EXPECT_NE(defaults.find("<state name=\"cobranet\" eb=\"false\" />"), std::string::npos);

    Reelvox_c edited;
    ASSERT_EQ(edited.AttachSMPTEInterface(std::make_unique<ReelvoxSMPTEInterface_c>()), QOR_OK);
    edited.SMPTEInterface()->SetUnitType(1);
    edited.SetReproducerCount(4);
    ASSERT_NE(ConfigurationText(edited), defaults);
    edited.ResetDevices();
    EXPECT_EQ(ConfigurationText(edited), defaults);

    for (Reelvox_c* system : {&fresh, &edited}) {
        ASSERT_EQ(system->AttachSMPTEInterface(std::make_unique<ReelvoxSMPTEInterface_c>()),
                  QOR_OK);
        ReelvoxDataDocument_c* document = system->Document();
        document->SetFlags(0);
        system->SMPTEInterface()->SetFrameRate(2);
        EXPECT_EQ(document->Flags() & ReelvoxDataDocument_c::kModified,
                  ReelvoxDataDocument_c::kModified);
    }
}

// A reset from a finished configuration gives a copy of it: an interface attached afterwards
// binds to the copy when first used (here through its trigger table) and sees the unit type's
// consequences; an edit is a change of the copy only; a plain reset goes back to the defaults.
TEST(ReelvoxPrototype, ResetFromAPrototypeCopiesItAndEditsStayInTheCopy) {
    Reelvox_c prototype;
    ASSERT_EQ(prototype.AttachSMPTEInterface(std::make_unique<ReelvoxSMPTEInterface_c>()), QOR_OK);
    prototype.SMPTEInterface()->SetUnitType(1);
    prototype.SMPTEInterface()->SetFrameRate(2);
    const std::string text = ConfigurationText(prototype);

    Reelvox_c system;
    const std::string defaults = ConfigurationText(system);
    system.ResetDevices(prototype.Document());
    ASSERT_EQ(system.AttachSMPTEInterface(std::make_unique<ReelvoxSMPTEInterface_c>()), QOR_OK);
    ReelvoxSMPTEInterface_c& smpte = *system.SMPTEInterface();
    EXPECT_EQ(smpte.TriggerTable()->MaxTriggers(), 64);
    EXPECT_EQ(ConfigurationText(system), text);
    EXPECT_EQ(smpte.GetUnitType(), 1);
    EXPECT_EQ(smpte.GetFrameRate(), 2);
    EXPECT_EQ(system.ReproducerCount(), 20);

    system.Document()->SetFlags(0);
    smpte.SetFrameRate(3);
    EXPECT_EQ(system.Document()->Flags() & ReelvoxDataDocument_c::kModified,
              ReelvoxDataDocument_c::kModified);
    EXPECT_EQ(prototype.SMPTEInterface()->GetFrameRate(), 2);
    EXPECT_EQ(ConfigurationText(prototype), text);

    system.ResetDevices();
    EXPECT_EQ(ConfigurationText(system), defaults);
}

// The first use of a newly attached interface may come from a download thread while the window
// reads a setting: the configuration is laid out and bound once, for both.
TEST(ReelvoxPrototype, FirstUseFromTwoThreadsBindsOnce) {
    Reelvox_c prototype;
    ASSERT_EQ(prototype.AttachSMPTEInterface(std::make_unique<ReelvoxSMPTEInterface_c>()), QOR_OK);
    prototype.SMPTEInterface()->SetUnitType(3);
    for (int round = 0; round < 20; ++round) {
        Reelvox_c system;
        system.ResetDevices(prototype.Document());
        ASSERT_EQ(system.AttachSMPTEInterface(std::make_unique<ReelvoxSMPTEInterface_c>()), QOR_OK);
        ReelvoxSMPTEInterface_c* smpte = system.SMPTEInterface();
        std::int32_t maximum = 0;
        std::thread worker([&] { maximum = smpte->TriggerTable()->MaxTriggers(); });
        EXPECT_EQ(smpte->GetUnitType(), 3);
        worker.join();
        EXPECT_EQ(maximum, 256);
    }
}

TEST(ReelvoxSystem, WithoutTransportNothingIsSent) {
    Reelvox_c system;
    ASSERT_EQ(system.AttachSMPTEInterface(std::make_unique<ReelvoxSMPTEInterface_c>()), QOR_OK);
    EXPECT_EQ(system.SetSerialPort(nullptr), QOR_OK);
    EXPECT_EQ(system.Document()->Root()->Port()->Type(), 0);
    EXPECT_EQ(system.SendFrame(nullptr, 0xFE, 13, 0), -2);
    EXPECT_EQ(system.WaitResponse(100), QOR_ERROR);
    EXPECT_EQ(system.CloseTransport(), -2);
    EXPECT_EQ(system.SMPTEInterface()->SendDisable(), 0);
    EXPECT_EQ(system.SMPTEInterface()->SendSetting(2, 255), -2);
    // The ethernet transport has no socket: it fails instead of reaching for one.
    system.Document()->Root()->Port()->SetType(3);
    EXPECT_EQ(system.SendFrame(nullptr, 0xFE, 13, 0), -2);
    EXPECT_EQ(system.CloseTransport(), -2);
    EXPECT_EQ(system.Download(QOR_FALSE, QOR_TRUE, QOR_FALSE), QOR_ERROR);
    EXPECT_EQ(system.SMPTEInterface()->FailedStep(), 0);
}

TEST(ReelvoxSystem, DownloadWithoutInterfaceFails) {
    Reelvox_c system;
    EXPECT_EQ(system.Download(QOR_FALSE, QOR_TRUE, QOR_FALSE), QOR_ERROR);
    EXPECT_EQ(system.GetState(), REELVOX_SYSTEM_SMPTE);
    // With the SMPTE step off the video step has no unit type to go by: it fails too.
    system.Document()->Root()->States()->SetEnabled(REELVOX_STATE_SMPTE, QOR_FALSE);
    EXPECT_EQ(system.Download(QOR_FALSE, QOR_TRUE, QOR_FALSE), QOR_ERROR);
    EXPECT_EQ(system.GetState(), REELVOX_SYSTEM_VIDEO);
}

TEST_F(SystemOnEmulator, SingleCommandsSendTheirExactFrames) {
    Open();
    EXPECT_EQ(Smpte().SendDisable(), 4);
    EXPECT_EQ(Smpte().SendEnable(), 4);
    EXPECT_EQ(Smpte().SendUnitNumber(), 5);
    EXPECT_EQ(Smpte().SendUnitGroups(), 6);
    // 25 fps, reading, stop on SMPTE stop, transition 0, start 01:00:00.00, end 02:00:00.00.
    ASSERT_EQ(Smpte().SetFrameRate(2), QOR_OK);
    Smpte().SetTransition(0);
    Smpte().SetGenerate(QOR_FALSE);
    Smpte().SetVideoSync(QOR_FALSE);
    Smpte().SetSmpteReset(QOR_FALSE);
    ASSERT_EQ(Smpte().GetUnitNumber(), 1); // a new configuration's unit
    system.Document()->Root()->SMPTE()->SetStopOnSmpteStop(QOR_TRUE);
    QORSMPTETimecode_c t;
    t.SetFrameRate(2, QOR_FALSE);
    t.SetTime(1, 0, 0, 0);
    ASSERT_EQ(Smpte().SetStart(&t), QOR_OK);
    t.SetTime(2, 0, 0, 0);
    ASSERT_EQ(Smpte().SetEnd(&t), QOR_OK);
    EXPECT_EQ(Smpte().SendDefaults(), 14);
    EXPECT_EQ(Smpte().SendPreroll(), 8);
    EXPECT_EQ(Smpte().SendSetting(23, 255), 0);
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 6U);
    EXPECT_EQ(frames[0].bytes, (Bytes{0xFF, 0xFE, 0x0D, 0x05}));
    EXPECT_EQ(frames[1].bytes, (Bytes{0xFF, 0xFE, 0x0E, 0x05}));
    EXPECT_EQ(frames[2].bytes, Frame(0xFE, 6, {0x0A}));
    EXPECT_EQ(frames[3].bytes, Frame(0xFE, 7, {0x01, 0x32}));
    EXPECT_EQ(frames[4].bytes, Frame(0xFE, 9, {0x41, 1, 0, 0, 0, 2, 0, 0, 0, 0x10}));
    EXPECT_EQ(frames[5].bytes, Frame(0xFE, 23, {0, 0, 0, 0}));
}

TEST_F(SystemOnEmulator, ReproducerAndCobraNetFrames) {
    Open();
    ReelvoxReproducer_c* first = system.Reproducer(1);
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->Element()->SetProduct(9), QOR_OK);
    EXPECT_EQ(first->SendColorspace(), 5);
    auto group = std::make_unique<ReelvoxReproducer_c>();
    group->SetOwner(&system);
    group->SetAddressing(ReelvoxReproducer_c::kGroupAddressing);
    EXPECT_EQ(group->SetUnit(0), QOR_OK);
    EXPECT_EQ(group->Destination(), 0xBF);
    EXPECT_EQ(first->SetUnit(21), QOR_ERROR);
    EXPECT_EQ(first->Unit(), 0);

    ReelvoxCobraNet_c cobranet;
    cobranet.SetOwner(&system);
    EXPECT_EQ(cobranet.SendKeyValue("IpMon-X", "1"), 17) << Seen();

    ASSERT_TRUE(emulator->WaitForFrames(2, std::chrono::milliseconds(2000)));
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 2U);
    EXPECT_EQ(frames[0].bytes, Frame(0x80, 23, {0x00}));
    EXPECT_EQ(frames[1].destination, 0x9E);
    EXPECT_EQ(frames[1].command, 82);
    EXPECT_EQ(frames[1].data,
              (Bytes{' ', '3', ' ', 'i', 'p', 'm', 'o', 'n', '-', 'x', ' ', '1', '\r'}));
}

TEST_F(SystemOnEmulator, TypeThreeFormsFollowTheFirmware) {
    Open();
    ASSERT_EQ(Smpte().SetUnitType(3), QOR_OK);
    EXPECT_EQ(Smpte().TriggerTable()->MaxTriggers(), 256);
    EXPECT_EQ(Smpte().SendUnitNumber(), 6);
    SetVersion("SMPTE V1.13");
    EXPECT_GT(Smpte().SendDefaults(), 0);
    const std::size_t old = Frames().size();
    SetVersion("SMPTE V1.14");
    EXPECT_GT(Smpte().SendDefaults(), 0);
    const auto frames = Frames();
    EXPECT_EQ(frames[0].bytes, Frame(0xFE, 68, {0x07, 0x00})); // unit 1
    EXPECT_EQ(old - 1, 11U);
    EXPECT_EQ(frames.size() - old, 13U);
    EXPECT_EQ(frames[1].data, (Bytes{2, Smpte().GetFrameRate()}));
}

TEST_F(SystemOnEmulator, TypeThreeAddressMustBeFourPieces) {
    Open();
    ASSERT_EQ(Smpte().SetUnitType(3), QOR_OK);
    EXPECT_EQ(Smpte().SendSetting(16, 255), 9);
    // The unit's address changed: nothing more goes out until a port is lent again.
    EXPECT_EQ(system.Document()->Root()->Port()->Type(), 0);
    EXPECT_EQ(Smpte().SendSetting(17, 255), -2);
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 1U);
    EXPECT_EQ(frames[0].data, (Bytes{16, 192, 168, 0, 254}));
}

TEST_F(SystemOnEmulator, DownloadSendsTheStepsInOrder) {
    Open();
    ReelvoxReproducer_c* first = system.Reproducer(1);
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->SetProduct(9), QOR_OK); // takes 23 and 33
    ReelvoxReproducer_c* second = system.Reproducer(2);
    ASSERT_EQ(second->SetProduct(3), QOR_OK); // takes 23 only
    ASSERT_EQ(system.Reproducer(3)->SetProduct(0), QOR_OK);

    EXPECT_EQ(system.Download(QOR_FALSE, QOR_TRUE, QOR_FALSE), QOR_OK);
    EXPECT_EQ(system.GetState(), REELVOX_SYSTEM_COMPLETE);
    EXPECT_EQ(Smpte().GetState(), SMPTE_STEP_DONE);
    EXPECT_EQ(Smpte().FailedStep(), 8);
    EXPECT_FALSE(port.IsOpen()); // the transport is closed at the end
    ASSERT_TRUE(emulator->WaitForFrames(7, std::chrono::milliseconds(2000)));
    const auto frames = Frames();
    std::vector<std::pair<int, int>> order;
    for (const auto& f : frames) {
        EXPECT_TRUE(f.checksumOk);
        order.emplace_back(f.destination, f.command);
    }
    EXPECT_EQ(
        order,
        (std::vector<std::pair<int, int>>{
            {0xFE, 13}, {0xFE, 9}, {0xFE, 23}, {0xFE, 8}, {0x80, 23}, {0x80, 33}, {0x81, 23}}));
}

TEST_F(SystemOnEmulator, RefusedStepStopsOrIsRecorded) {
    ReproducerEmulatorOptions options;
    options.rules.push_back(ReelvoxRule{0xFE, 23, std::nullopt, ReelvoxAnswer::Refuse, -1});
    Open(options);
    EXPECT_EQ(system.Download(QOR_FALSE, QOR_TRUE, QOR_FALSE), QOR_ERROR);
    EXPECT_EQ(Smpte().FailedStep(), SMPTE_STEP_PREROLL);
    EXPECT_EQ(system.GetState(), REELVOX_SYSTEM_SMPTE);
    EXPECT_EQ(Frames().size(), 3U);

    ASSERT_EQ(system.SetSerialPort(&port), QOR_OK);
    system.SetIgnoreErrors(QOR_TRUE);
    EXPECT_EQ(system.Download(QOR_FALSE, QOR_TRUE, QOR_FALSE), QOR_OK);
    EXPECT_EQ(Smpte().FailedStep(), SMPTE_STEP_PREROLL);
    EXPECT_EQ(system.GetState(), REELVOX_SYSTEM_COMPLETE);
    EXPECT_EQ(Frames().size(), 7U);
}

TEST_F(SystemOnEmulator, SilentUnitTimesOutAtTheFirstStep) {
    ReproducerEmulatorOptions options;
    options.defaultAnswer = ReelvoxAnswer::Silent;
    Open(options);
    EXPECT_EQ(system.Download(QOR_FALSE, QOR_TRUE, QOR_FALSE), QOR_TIMEOUT);
    EXPECT_EQ(Smpte().FailedStep(), SMPTE_STEP_DISABLE);
    EXPECT_EQ(system.GetState(), REELVOX_SYSTEM_SMPTE);
    EXPECT_EQ(Frames().size(), 1U);
}

namespace {
class DownloadWork : public QORRunnable_c {
public:
    explicit DownloadWork(Reelvox_c& system) : system_(system) {}
    void Run() override { result.store(system_.Download(QOR_FALSE, QOR_TRUE, QOR_TRUE)); }
    std::atomic<std::uint8_t> result{0};

private:
    Reelvox_c& system_;
};
} // namespace

// Also run under ThreadSanitizer (the Makefile's tsan target).
class ReelvoxCancel : public SystemOnEmulator {};

TEST_F(ReelvoxCancel, WorkerStopsQuicklyWithThePortClosed) {
    ReproducerEmulatorOptions options;
    options.defaultAnswer = ReelvoxAnswer::Silent;
    Open(options);
    system.SetIgnoreErrors(QOR_TRUE);
    DownloadWork work(system);
    QORThread_c thread;
    ASSERT_EQ(thread.Start(&work), QOR_OK);
    ASSERT_TRUE(emulator->WaitForFrames(1, std::chrono::milliseconds(3000)));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto start = Clock::now();
    EXPECT_EQ(thread.Terminate(), QOR_OK);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(150));
    EXPECT_EQ(thread.RunState(), QOR_FALSE);
    EXPECT_EQ(work.result.load(), QOR_ERROR);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(system.GetState(), REELVOX_SYSTEM_SMPTE);
}

TEST_F(SystemOnEmulator, TriggersAddTheTableDownloadAsStepSeven) {
    Open();
    ASSERT_EQ(system.Reproducer(1)->SetProduct(0), QOR_OK);
    EXPECT_EQ(system.Download(QOR_FALSE, QOR_TRUE, QOR_TRUE), QOR_OK);
    EXPECT_EQ(Smpte().GetState(), SMPTE_STEP_DONE);
    EXPECT_EQ(system.GetState(), REELVOX_SYSTEM_COMPLETE);
    const auto frames = Frames();
    ASSERT_GT(frames.size(), 4U);
    EXPECT_EQ(frames[3].command, 8);
    for (std::size_t i = 4; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].destination, 0xFE);
    }

    // A refused table download is the download's answer, with no failed step recorded.
    ReproducerEmulatorOptions refusing;
    ASSERT_EQ(system.SetSerialPort(nullptr), QOR_OK);
    port.Close();
    emulator->Stop();
    refusing.rules.push_back(
        ReelvoxRule{0xFE, frames[4].command, std::nullopt, ReelvoxAnswer::Refuse, -1});
    emulator = std::make_unique<ReproducerEmulator>(refusing);
    ASSERT_TRUE(emulator->Start());
    QORString_c name;
    name.Assign(emulator->SlavePath().c_str(), -1, QOR_FALSE);
    ASSERT_EQ(port.SetCommPort(&name), QOR_OK);
    ASSERT_EQ(system.SetSerialPort(&port), QOR_OK);
    EXPECT_EQ(system.Download(QOR_FALSE, QOR_TRUE, QOR_TRUE), QOR_ERROR);
    EXPECT_EQ(Smpte().GetState(), SMPTE_STEP_TRIGGERS);
    EXPECT_EQ(Smpte().FailedStep(), SMPTE_STEP_DONE);
}
