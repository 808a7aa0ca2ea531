#include "script/view_kind.h"

#include "platform/document.h"

#include <array>

namespace {

using Title = ViewKind::Title;

constexpr std::array<ViewKind, 15> kKinds{{
    {"CSeqListView", Title::Script, "Sequences of ", false, false, true, true, false},
    {"CEvntView", Title::Subject, "", false, true, false, true, false},
    {"CInputView", Title::Script, "Inputs of ", false, false, false, true, false},
    {"COutputView", Title::Script, "Outputs of ", false, false, false, true, false},
    {"CFlagView", Title::Script, "Flags of ", false, false, false, true, false},
    {"CVarView", Title::Script, "Vars of ", false, false, false, true, false},
    {"CPortView", Title::Script, "Ports of ", false, false, false, true, false},
    {"CDataStrView", Title::Script, "Data Strings of ", false, false, false, true, false},
    {"CLcdStrView", Title::Script, "LCD Strings of ", false, false, false, true, false},
    {"CXRefView", Title::Sortable, "Cross Reference of ", false, false, false, true, false},
    {"CsmpteView", Title::Sortable, "Timecode Triggers of ", false, false, true, true, false},
    {"CCompileView", Title::None, "", true, false, false, true, false},
    {"CDatView", Title::None, "", false, false, false, false, false},
    {"CDatHexView", Title::None, "", false, false, false, false, true},
    {"CVwTimeline", Title::None, "", false, false, false, false, false},
}};

} // namespace

const ViewKind& kSequenceListKind = kKinds[0];
const ViewKind& kEventEditorKind = kKinds[1];
const ViewKind& kInputKind = kKinds[2];
const ViewKind& kOutputKind = kKinds[3];
const ViewKind& kFlagKind = kKinds[4];
const ViewKind& kVarKind = kKinds[5];
const ViewKind& kPortKind = kKinds[6];
const ViewKind& kDataStringKind = kKinds[7];
const ViewKind& kLcdStringKind = kKinds[8];
const ViewKind& kXRefKind = kKinds[9];
const ViewKind& kSmpteKind = kKinds[10];
const ViewKind& kCompileViewKind = kKinds[11];
const ViewKind& kImageKind = kKinds[12];
const ViewKind& kImageDumpKind = kKinds[13];
const ViewKind& kTimelineKind = kKinds[14];

const ViewKind* FindViewKind(std::string_view className) {
    for (const ViewKind& kind : kKinds)
        if (kind.className == className)
            return &kind;
    return nullptr;
}

const ViewKind* KindOf(const platform::View& view) {
    return FindViewKind(view.ViewClassName());
}
