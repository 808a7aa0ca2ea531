// The views a script shows so far: its sequences (a read-only list until the sequence editor
// comes) and its compile view (the compile and download lines in their colours).
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

class CompileListView : public QListWidget,
                        public platform::qt::MdiView,
                        public CompileMessageSink {
public:
    explicit CompileListView(QWidget* parent = nullptr);
    const char* ViewClassName() const override { return "CCompileView"; }
    void ClearMessages() override;
    void AddMessage(const std::string& text, int kind, int resource, int event, int param,
                    std::int32_t colour) override;
};
