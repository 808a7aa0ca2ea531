// The sequences of a script, a read-only list until the sequence editor comes.
#pragma once

#include "compiler/diagnostics.h"
#include "platform/qt/mdi_view.h"

#include <QListWidget>

class SequenceListView : public QListWidget, public platform::qt::MdiView {
public:
    explicit SequenceListView(QWidget* parent = nullptr);
    const char* ViewClassName() const override { return "CSeqListView"; }
    void OnUpdate(platform::View* sender, long hint, void* object) override;
};
