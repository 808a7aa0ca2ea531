// What each kind of the script's views is, described once: the class name a script stores for
// it, the title the script gives its frame, and the roles the script, the compiler and the
// windows ask of a view (the compile window, the event editor of a sequence, ...). Code asks a
// view's kind for a role; it never compares class names.
#pragma once

#include <string>
#include <string_view>

namespace platform {
class View;
}

struct ViewKind {
    // The class name stored in script files ("CEvntView").
    std::string_view className;
    // How the script titles the view's frame.
    enum class Title {
        None,     // the view titles itself
        Script,   // `titlePrefix` and the script's name
        Sortable, // the same, and how to sort the table
        Subject,  // "[subject] of script"
    } title = Title::None;
    std::string_view titlePrefix;
    bool compileOutput = false;    // the script's compile window: the compiler writes to it
    bool eventEditor = false;      // edits the events of the sequence it shows
    bool sequenceOverview = false; // lists the sequences: shown again when one's start changes
    bool cellTips = false;         // its grid's cell tips follow "Spreadsheet Hints"
    bool imageDump = false;        // the dump of a compiled image
};

// The kind of the views of class `className`, or null for a view the script does not know.
const ViewKind* FindViewKind(std::string_view className);
// The kind of `view`, or null.
const ViewKind* KindOf(const platform::View& view);

// Every kind, by identity: a view is opened, and asked for, by its kind.
extern const ViewKind& kSequenceListKind;
extern const ViewKind& kEventEditorKind;
extern const ViewKind& kInputKind;
extern const ViewKind& kOutputKind;
extern const ViewKind& kFlagKind;
extern const ViewKind& kVarKind;
extern const ViewKind& kPortKind;
extern const ViewKind& kDataStringKind;
extern const ViewKind& kLcdStringKind;
extern const ViewKind& kXRefKind;
extern const ViewKind& kSmpteKind;
extern const ViewKind& kCompileViewKind;
extern const ViewKind& kImageKind; // the listing of a compiled image
extern const ViewKind& kImageDumpKind;
extern const ViewKind& kTimelineKind;

// Whether `view` is of a kind with the role `role` (a member of ViewKind).
inline bool HasRole(const platform::View& view, bool ViewKind::*role) {
    const ViewKind* kind = KindOf(view);
    return kind && kind->*role;
}
