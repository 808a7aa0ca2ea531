// The sequences of a script, a read-only list until the sequence editor comes. A script view,
// so File > Print and Print Preview print the script's listing from it.
#pragma once

#include "views/common/vl_view.h"

#include <string>

class QListWidget;
namespace platform::qt {
class ViewRegistry;
}

// The texts of Edit > Sequence Properties for a sequence (ids 32844 to 32851); empty for any
// other id.
std::string SequencePropertyText(const CSeq& sequence, unsigned id);

class SequenceListView : public CVLView {
public:
    SequenceListView(CVLDoc& doc, ViewServices& services, QWidget* parent = nullptr);
    const char* ViewClassName() const override { return "CSeqListView"; }
    void OnInitialUpdate() override;
    void OnUpdate(platform::View* sender, long hint, void* object) override;
    // "Sequences of " and the script's name.
    std::string FrameCaption() const override;
    QListWidget* List() const { return list_; }
    // The Sequence Properties items show the current sequence's settings.
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QListWidget* list_;
};

// Registers the script's views with the program's registry (the sequence list as
// "CSeqListView").
void RegisterScriptViews(platform::qt::ViewRegistry& registry, ViewServices& services);
