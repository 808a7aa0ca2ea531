#include "reelvox_config_fixture.h"

#include "foundation/smpte_timecode.h"
#include "reproducer/smpte_settings_element.h"
#include "reproducer/timecode_trigger_elements.h"
#include "reproducer/trigger_table.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

namespace {

// Records every table command and answers it as the test says (accepted by default).
class RecordingOwner : public ReelvoxTriggerTableOwner_c {
public:
    struct Sent {
        std::uint8_t command;
        Bytes data;
        std::uint32_t timeout;
    };

    std::int32_t SendTriggerCommand(std::uint8_t command, const std::uint8_t* data,
                                    std::int32_t length, std::uint32_t timeoutMs) override {
        sent.push_back({command, Bytes(data, data + length), timeoutMs});
        const auto answer = answers.find(sent.size());
        return answer != answers.end() ? answer->second : length + 4;
    }

    std::vector<std::uint8_t> Commands() const {
        std::vector<std::uint8_t> commands;
        for (const Sent& s : sent) {
            commands.push_back(s.command);
        }
        return commands;
    }

    std::vector<Sent> sent;
    // 1-based number of the exchange -> its answer.
    std::map<std::size_t, std::int32_t> answers;
};

struct TableFixture {
    TableFixture() {
        smpte = document.Root()->SMPTE();
        table.Bind(&owner, smpte->WorkingTimecode(), &document);
    }

    ReelvoxTrigger_c* Add() { return table.AddTrigger(); }

    void Time(QORSMPTETimecode_c& time, std::uint32_t h, std::uint32_t m, std::uint32_t s,
              std::uint32_t f) {
        time.SetFrameRate(smpte->WorkingTimecode()->FrameRateIndex(), 0);
        time.SetTime(h, m, s, f);
    }

    ReelvoxDataDocument_c document;
    ReelvoxDataSMPTEInterface_c* smpte = nullptr;
    RecordingOwner owner;
    ReelvoxTriggerTable_c table;
};

Bytes Record(ReelvoxTrigger_c* trigger) {
    std::int32_t length = 0;
    const std::uint8_t* record = trigger->Encode(&length);
    return record != nullptr ? Bytes(record, record + length) : Bytes{};
}

std::uint8_t Checksum(const Bytes& bytes) {
    std::uint8_t sum = 0;
    for (std::uint8_t b : bytes) {
        sum = static_cast<std::uint8_t>(sum + b);
    }
    return static_cast<std::uint8_t>(sum >> 1);
}

// A reproducer trigger with every encoder field set.
void MakePlay(ReelvoxTrigger_c* trigger, std::uint8_t action, std::uint8_t location,
              std::uint8_t number, std::int32_t name, bool loop, const char* left,
              const char* right, std::uint8_t socket) {
    ReelvoxDataTrigger_c* data = trigger->Trigger();
    trigger->SetAction(action);
    trigger->SetLocation(number, location);
    trigger->SetName(name);
    data->SetSocket(socket);
    ShowXMLInterface_c::SetBoolAttribute("loop", data, loop ? QOR_TRUE : QOR_FALSE, QOR_FALSE);
    ShowXMLInterface_c::SetBoolAttribute("left", data, std::string(left) == "true" ? 3 : 253,
                                         std::string(left) == "true" ? 253 : 3);
    ShowXMLInterface_c::SetBoolAttribute("right", data, std::string(right) == "true" ? 3 : 253,
                                         std::string(right) == "true" ? 253 : 3);
}

} // namespace

TEST(TriggerEncoding, ReproducerRecords) {
    struct Case {
        const char* what;
        std::uint8_t action;
        std::uint8_t location;
        std::uint8_t number;
        std::int32_t name;
        bool loop;
        const char* left;
        const char* right;
        std::uint8_t socket;
        std::uint32_t offsetFrames;
        std::uint8_t unitType;
        Bytes body; // record without its checksum
    };
    const Case cases[] = {
        {"play", 1, 0, 3, 5, true, "true", "true", 64, 0, 0, {0x82, 0x01, 0x50, 0x05}},
        {"play big unit", 1, 0, 3, 5, true, "true", "true", 64, 0, 1, {0x82, 0x01, 0x10, 0x05}},
        {"play all", 1, 2, 0, 5, false, "true", "true", 32, 0, 0, {0xBF, 0x01, 0x20, 0x05}},
        {"play group 2", 1, 1, 2, 5, false, "true", "true", 0, 0, 0, {0xB3, 0x01, 0x00, 0x05}},
        {"left off", 1, 0, 1, 1000, true, "false", "true", 64, 0, 0, {0x80, 0x0D, 0x5F, 0x68}},
        {"right off", 1, 0, 1, 1000, true, "true", "false", 64, 0, 0, {0x80, 0x0D, 0x57, 0x68}},
        {"play from",
         1,
         0,
         20,
         130,
         false,
         "true",
         "true",
         64,
         2,
         0,
         {0x93, 0x04, 0, 0, 0, 2, 0x41, 0x02}},
        {"play next", 2, 0, 1, 0, true, "true", "true", 32, 2, 0, {0x80, 0x16, 0x30, 0x00}},
        {"pause", 3, 0, 2, 7, false, "true", "true", 64, 0, 0, {0x81, 0x0F}},
        {"still", 4, 0, 2, 7, false, "true", "true", 64, 0, 0, {0x81, 0x18}},
        {"stop", 5, 1, 13, 7, false, "true", "true", 64, 0, 0, {0xBE, 0x08}},
        {"search",
         6,
         0,
         1,
         1023,
         true,
         "true",
         "true",
         0,
         3,
         1,
         {0x80, 0x07, 0, 0, 0, 3, 0x47, 0x7F}},
    };
    for (const Case& c : cases) {
        TableFixture f;
        f.smpte->SetUnitType(c.unitType);
        ReelvoxTrigger_c* trigger = f.Add();
        ASSERT_NE(trigger, nullptr);
        MakePlay(trigger, c.action, c.location, c.number, c.name, c.loop, c.left, c.right,
                 c.socket);
        QORSMPTETimecode_c offset;
        f.Time(offset, 0, 0, 0, c.offsetFrames);
        trigger->SetOffset(&offset);
        Bytes expected = c.body;
        expected.push_back(Checksum(c.body));
        EXPECT_EQ(Record(trigger), expected) << c.what;
    }
    // The first case's checksum as the unit expects it.
    TableFixture f;
    ReelvoxTrigger_c* trigger = f.Add();
    MakePlay(trigger, 1, 0, 3, 5, true, "true", "true", 64);
    EXPECT_EQ(Record(trigger), (Bytes{0x82, 0x01, 0x50, 0x05, 0x6C}));
}

TEST(TriggerEncoding, ShowControllerRecordsAndTheirAddresses) {
    TableFixture f;
    ReelvoxTrigger_c* trigger = f.Add();
    ASSERT_EQ(trigger->SetStartSequence(3, 0), QOR_OK);
    EXPECT_EQ(reelvox_test::AttributeText(trigger->Trigger()->Element(), "seq"), "255");
    EXPECT_EQ(reelvox_test::AttributeText(trigger->Trigger()->Element(), "action"), "start_seq");
    EXPECT_EQ(Record(trigger), (Bytes{0xFE, 0x03, 0x18, 0xFE, Checksum({0xFE, 0x03, 0x18, 0xFE})}));

    trigger->SetAction(REELVOX_ACTION_SET_VAR);
    trigger->SetVariable(9);
    trigger->SetVariableValue(200);
    trigger->SetUnitAddress(49);
    const Bytes setVar = {0xFE, 49, 0x28, 8, 200};
    Bytes expected = setVar;
    expected.push_back(Checksum(setVar));
    EXPECT_EQ(Record(trigger), expected);

    // An address beyond what the record carries is refused, never wrapped.
    EXPECT_EQ(trigger->SetUnitAddress(50), QOR_ERROR);
    EXPECT_EQ(trigger->SetUnitAddress(200), QOR_ERROR);
    EXPECT_EQ(trigger->SetStartSequence(50, 1), QOR_ERROR);
    EXPECT_EQ(reelvox_test::AttributeText(trigger->Trigger()->Element(), "unit_address"), "49");
    ShowXMLInterface_c::SetNodeText(
        trigger->Trigger()->FieldNode(ReelvoxDataTrigger_c::kUnitAddress), trigger->Trigger(),
        "60");
    std::int32_t length = 7;
    EXPECT_EQ(trigger->Encode(&length), nullptr);
    EXPECT_EQ(length, 0);

    trigger->SetAction(REELVOX_ACTION_UNKNOWN);
    EXPECT_EQ(trigger->Encode(&length), nullptr);
}

TEST(TriggerEncoding, LocationAndNameSettersReplaceOutOfRangeValues) {
    TableFixture f;
    ReelvoxTrigger_c* trigger = f.Add();
    ShowXML_c* element = trigger->Trigger()->Element();
    struct Case {
        std::uint8_t number;
        std::uint8_t kind;
        std::uint8_t status;
        const char* location;
        const char* written;
    };
    const Case cases[] = {{25, 0, QOR_ERROR, "repro", "1"}, {0, 0, QOR_ERROR, "repro", "20"},
                          {20, 0, QOR_OK, "repro", "20"},   {0, 1, QOR_ERROR, "group", "13"},
                          {14, 1, QOR_ERROR, "group", "1"}, {7, 2, QOR_OK, "all", "0"},
                          {5, 9, QOR_ERROR, "repro", "1"}};
    for (const Case& c : cases) {
        EXPECT_EQ(trigger->SetLocation(c.number, c.kind), c.status);
        EXPECT_EQ(reelvox_test::AttributeText(element, "location"), c.location);
        EXPECT_EQ(reelvox_test::AttributeText(element, "location_number"), c.written);
    }
    trigger->SetName(-4);
    EXPECT_EQ(trigger->Name(), 1023);
    trigger->SetName(1024);
    EXPECT_EQ(trigger->Name(), 0);
    EXPECT_EQ(trigger->Sequence(), 1);
    EXPECT_EQ(trigger->VariableValue(), 1);

    ReelvoxTrigger_c unbound;
    QORSMPTETimecode_c time;
    time.SetTime(1, 0, 0, 0);
    EXPECT_EQ(unbound.GetTimecode(&time), QOR_ERROR);
    EXPECT_EQ(time.FrameCount(), 0u);
    EXPECT_EQ(unbound.Sequence(), 1);
    EXPECT_EQ(unbound.VariableValue(), 0);
    EXPECT_EQ(unbound.Loop(), QOR_FALSE);
    EXPECT_EQ(unbound.Send(), QOR_ERROR);
}

TEST(TriggerTable, DownloadWithoutTriggersClearsSortsAndStores) {
    for (std::uint8_t flag : {QOR_TRUE, QOR_FALSE}) {
        TableFixture f;
        EXPECT_EQ(f.table.Download(flag), QOR_OK);
        EXPECT_EQ(f.table.GetState(), REELVOX_TABLE_STATE_DONE);
        const std::vector<std::uint8_t> expected = flag == QOR_TRUE
                                                       ? std::vector<std::uint8_t>{0, 0, 2, 3}
                                                       : std::vector<std::uint8_t>{0, 2, 3};
        EXPECT_EQ(f.owner.Commands(), expected);
        EXPECT_EQ(f.owner.sent[0].data, Bytes{0xFD});
        EXPECT_EQ(f.owner.sent[0].timeout, REELVOX_TABLE_CLEAR_TIMEOUT_MS);
        if (flag == QOR_TRUE) {
            EXPECT_EQ(f.owner.sent[1].data, Bytes{0x00});
        }
        EXPECT_EQ(f.owner.sent.back().timeout, REELVOX_TABLE_TIMEOUT_MS);
    }
}

TEST(TriggerTable, DownloadSendsEachTriggerAsAPacketInTimeOrder) {
    TableFixture f;
    ReelvoxTrigger_c* late = f.Add();
    QORSMPTETimecode_c lateTime;
    f.Time(lateTime, 0, 1, 0, 0);
    late->SetTimecode(&lateTime);
    MakePlay(late, 5, 0, 2, 3, false, "true", "true", 64);
    ReelvoxTrigger_c* start = f.Add();
    start->SetStartSequence(7, 12);
    QORSMPTETimecode_c startTime;
    f.Time(startTime, 0, 0, 1, 5);
    start->SetTimecode(&startTime);
    // A rebind sorts the triggers by time, as the next document binding would.
    f.smpte->Triggers()->Sort();

    ASSERT_EQ(f.table.Download(QOR_TRUE), QOR_OK);
    ASSERT_EQ(f.owner.Commands(), (std::vector<std::uint8_t>{0, 0, 1, 1, 2, 3}));
    const Bytes startRecord = {0xFE, 7, 0x18, 11};
    Bytes first = {0, 0, 1, 5, 0x00, 5};
    first.insert(first.end(), startRecord.begin(), startRecord.end());
    first.push_back(Checksum(startRecord));
    EXPECT_EQ(f.owner.sent[2].data, first);
    const Bytes stopRecord = {0x81, 0x08};
    EXPECT_EQ(f.owner.sent[3].data, (Bytes{0, 1, 0, 0, 0xFD, 3, 0x81, 0x08, Checksum(stopRecord)}));
    EXPECT_EQ(f.table.CurrentTriggerNumber(), 0);
}

TEST(TriggerTable, FailedStepsEndTheDownloadWhereTheyFailed) {
    struct Case {
        const char* what;
        std::size_t refused; // exchange answered -2 (or -5)
        std::int32_t answer;
        std::int16_t state;
        std::vector<std::uint8_t> commands;
        std::int32_t triggerNumber;
    };
    const Case cases[] = {
        {"clear", 1, -5, 0, {0}, 0},
        {"clear controller", 2, -2, 1, {0, 0}, 0},
        {"second trigger", 4, -2, 2, {0, 0, 1, 1, 4}, 2},
        {"trigger not sent", 3, 0, 2, {0, 0, 1, 4}, 1},
        {"sort", 6, -2, 3, {0, 0, 1, 1, 1, 2, 4}, 0},
        {"store", 7, -5, 4, {0, 0, 1, 1, 1, 2, 3, 4}, 0},
    };
    for (const Case& c : cases) {
        TableFixture f;
        for (int i = 0; i < 3; ++i) {
            ReelvoxTrigger_c* trigger = f.Add();
            ASSERT_NE(trigger, nullptr);
            MakePlay(trigger, 3, 0, 1, i, false, "true", "true", 64);
        }
        f.owner.answers[c.refused] = c.answer;
        EXPECT_EQ(f.table.Download(QOR_TRUE), QOR_ERROR) << c.what;
        EXPECT_EQ(f.table.GetState(), c.state) << c.what;
        EXPECT_EQ(f.owner.Commands(), c.commands) << c.what;
        // A refused trigger stays named for the report.
        EXPECT_EQ(f.table.CurrentTriggerNumber(), c.triggerNumber) << c.what;
    }
}

TEST(TriggerTable, AnUnencodableTriggerFailsTheDownload) {
    TableFixture f;
    ReelvoxTrigger_c* trigger = f.Add();
    trigger->SetAction(REELVOX_ACTION_UNKNOWN);
    EXPECT_EQ(f.table.Download(QOR_FALSE), QOR_ERROR);
    EXPECT_EQ(f.owner.Commands(), (std::vector<std::uint8_t>{0, 4}));
}

TEST(TriggerTable, AddTriggerStopsAtTheMaximumAndReloadEmptiesTheTable) {
    TableFixture f;
    EXPECT_EQ(f.table.MaxTriggers(), 256);
    f.table.SetMaxTriggers(2);
    EXPECT_EQ(
        reelvox_test::AttributeText(
            reelvox_test::Path(f.document.XMLRoot(), {"reelvox", "smpte", "triggers"}), "max"),
        "2");
    EXPECT_NE(f.Add(), nullptr);
    EXPECT_NE(f.Add(), nullptr);
    EXPECT_EQ(f.Add(), nullptr);
    EXPECT_EQ(f.table.TriggerCount(), 2);

    EXPECT_EQ(f.table.Reload(), 256);
    EXPECT_EQ(f.table.TriggerCount(), 0);
    EXPECT_EQ(
        reelvox_test::CountChildren(
            reelvox_test::Path(f.document.XMLRoot(), {"reelvox", "smpte", "triggers"}), "trigger"),
        0);
    EXPECT_NE(f.Add(), nullptr);

    ReelvoxTriggerTable_c unbound;
    EXPECT_EQ(unbound.AddTrigger(), nullptr);
    EXPECT_EQ(unbound.Reload(), 0);
    EXPECT_EQ(unbound.Download(QOR_TRUE), QOR_ERROR);
}

namespace {

// The table a unit uploads: count, entries laid out as trigger packets, byte sum.
Bytes UploadOf(const std::vector<Bytes>& entries) {
    Bytes upload = {static_cast<std::uint8_t>(entries.size())};
    for (const Bytes& entry : entries) {
        upload.insert(upload.end(), entry.begin(), entry.end());
    }
    std::uint8_t sum = 0;
    for (std::uint8_t b : upload) {
        sum = static_cast<std::uint8_t>(sum + b);
    }
    upload.push_back(sum);
    return upload;
}

Bytes Entry(Bytes time, std::uint8_t kind, Bytes record) {
    record.push_back(
        Checksum(std::vector<std::uint8_t>(record.begin() + (kind == 0 ? 0 : 0), record.end())));
    Bytes entry = time;
    entry.push_back(kind);
    entry.push_back(static_cast<std::uint8_t>(record.size()));
    entry.insert(entry.end(), record.begin(), record.end());
    return entry;
}

std::uint8_t Feed(ReelvoxTriggerTable_c& table, const Bytes& bytes, std::size_t piece) {
    std::uint8_t status = 0;
    for (std::size_t at = 0; at < bytes.size() && status == 0; at += piece) {
        const std::size_t n = std::min(piece, bytes.size() - at);
        Bytes chunk(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
        QORBuffer_c input;
        input.Resize(static_cast<std::int32_t>(n));
        input.CopyIn(static_cast<std::int32_t>(n), chunk.data());
        status = table.UploadReply(&input);
    }
    return status;
}

} // namespace

TEST(TriggerTable, AnUploadedTableBecomesTheTriggerElements) {
    const Bytes upload = UploadOf({
        Entry({0, 0, 9, 0}, 0xFD, {0x82, 0x0D, 0x5F, 0x68}),
        Entry({0, 0, 2, 0}, 0x00, {0xFE, 4, 0x28, 2, 99}),
        Entry({0, 0, 5, 0}, 0xFD, {0xB3, 0x07, 0, 0, 1, 2, 0x60, 0x01}),
    });
    for (std::size_t piece : {std::size_t{1}, std::size_t{5}, upload.size()}) {
        TableFixture f;
        f.table.UploadReply(nullptr);
        ASSERT_EQ(Feed(f.table, upload, piece), QOR_OK) << piece;
        ASSERT_EQ(f.table.TriggerCount(), 3);
        ReelvoxDataTriggers_c* triggers = f.smpte->Triggers();
        // In time order: set_var at 2 s, search at 5 s, play at 9 s.
        auto* setVar = dynamic_cast<ReelvoxDataTrigger_c*>(triggers->ItemAt(0, 253));
        auto* search = dynamic_cast<ReelvoxDataTrigger_c*>(triggers->ItemAt(1, 253));
        auto* play = dynamic_cast<ReelvoxDataTrigger_c*>(triggers->ItemAt(2, 253));
        EXPECT_EQ(setVar->Action(), REELVOX_ACTION_SET_VAR);
        EXPECT_EQ(reelvox_test::AttributeText(setVar->Element(), "unit_address"), "4");
        EXPECT_EQ(reelvox_test::AttributeText(setVar->Element(), "var"), "3");
        EXPECT_EQ(reelvox_test::AttributeText(setVar->Element(), "var_value"), "99");
        EXPECT_EQ(search->Action(), REELVOX_ACTION_SEARCH);
        EXPECT_EQ(search->Location(), 1);
        EXPECT_EQ(search->LocationNumber(), 2);
        EXPECT_EQ(search->Socket(), REELVOX_SOCKET_PRIMARY);
        EXPECT_EQ(reelvox_test::ElementText(reelvox_test::Path(search->Element(), {"offset"})),
                  "00:00:01.02");
        EXPECT_EQ(play->Action(), REELVOX_ACTION_PLAY);
        EXPECT_EQ(reelvox_test::AttributeText(play->Element(), "name"), "1000");
        EXPECT_EQ(reelvox_test::AttributeText(play->Element(), "left"), "false");
        EXPECT_EQ(reelvox_test::AttributeText(play->Element(), "right"), "true");
        EXPECT_EQ(reelvox_test::AttributeText(play->Element(), "loop"), "true");
        EXPECT_EQ(reelvox_test::AttributeText(play->Element(), "number"), "3");
        EXPECT_EQ(reelvox_test::ElementText(reelvox_test::Path(play->Element(), {"tm"})),
                  "00:00:09.00");
    }
}

TEST(TriggerTable, BadUploadsAreRefused) {
    const Bytes good = Entry({0, 0, 1, 0}, 0xFD, {0x80, 0x08});
    struct Case {
        const char* what;
        Bytes upload;
        std::int32_t maximum;
        std::int32_t kept; // triggers afterwards
    };
    Bytes badSum = UploadOf({good});
    badSum.back() ^= 1;
    Bytes overflowing = {1, 0, 0, 1, 0, 0xFD, 255};
    overflowing.resize(400, 0x80);
    const Case cases[] = {
        {"refusal", {0x55}, 256, 1},
        {"entry longer than the reply buffer", overflowing, 256, 1},
        {"checksum", badSum, 256, 1},
        {"unknown command", UploadOf({good, Entry({0, 0, 2, 0}, 0xFD, {0x80, 0x30})}), 256, 1},
        {"unknown kind", UploadOf({Entry({0, 0, 2, 0}, 0x07, {0x80, 0x08})}), 256, 0},
        {"record too long", UploadOf({Entry({0, 0, 2, 0}, 0xFD, Bytes(13, 0x80))}), 256, 0},
        {"controller address 50", UploadOf({Entry({0, 0, 2, 0}, 0x00, {0xFE, 50, 0x18, 1})}), 256,
         0},
    };
    for (const Case& c : cases) {
        TableFixture f;
        ReelvoxTrigger_c* old = f.Add();
        ASSERT_NE(old, nullptr);
        f.table.SetMaxTriggers(c.maximum);
        f.table.UploadReply(nullptr);
        EXPECT_EQ(Feed(f.table, c.upload, 3), QOR_ERROR) << c.what;
        // Refused before loading, the old table stays; once loading began it was replaced.
        EXPECT_EQ(f.table.TriggerCount(), c.kept) << c.what;
    }
}

TEST(TriggerTable, EncodedTriggersDecodeToTheSameRecords) {
    TableFixture source;
    source.smpte->SetUnitType(1);
    std::vector<Bytes> entries;
    const std::uint8_t actions[] = {1, 2, 3, 4, 5, 6};
    std::uint32_t second = 1;
    for (std::uint8_t action : actions) {
        ReelvoxTrigger_c* trigger = source.Add();
        MakePlay(trigger, action, action % 3, 2, 300 + action, action % 2 == 0, "true",
                 action == 1 ? "false" : "true", action == 4 ? 0 : 32);
        QORSMPTETimecode_c offset;
        source.Time(offset, 0, 0, 0, action == 6 ? 7u : 0u);
        trigger->SetOffset(&offset);
        QORSMPTETimecode_c time;
        source.Time(time, 0, 0, second, 0);
        trigger->SetTimecode(&time);
        const Bytes record = Record(trigger);
        ASSERT_FALSE(record.empty());
        Bytes entry = {0, 0,    static_cast<std::uint8_t>(second++),
                       0, 0xFD, static_cast<std::uint8_t>(record.size())};
        entry.insert(entry.end(), record.begin(), record.end());
        entries.push_back(entry);
    }
    TableFixture target;
    target.smpte->SetUnitType(1);
    target.table.UploadReply(nullptr);
    ASSERT_EQ(Feed(target.table, UploadOf(entries), 7), QOR_OK);
    ASSERT_EQ(target.table.TriggerCount(), 6);
    ASSERT_EQ(target.table.Download(QOR_FALSE), QOR_OK);
    std::vector<Bytes> sent;
    for (const auto& s : target.owner.sent) {
        if (s.command == REELVOX_TABLE_ADD) {
            sent.push_back(s.data);
        }
    }
    EXPECT_EQ(sent, entries);
}
