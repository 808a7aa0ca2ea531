// The main window's status bar: panes with their own text colour and tip, progress panes (a
// progress meter inside the pane, optionally behind a percentage text), spare width shared by
// stretching panes, and a signal for a double click on a pane.
#pragma once

#include "platform/qt/colors.h"
#include "platform/qt/gdi.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

// A progress meter: a sunken frame filled from the left in the highlight colour.
class CYNProgressCtrl : public QWidget {
    Q_OBJECT
public:
    CYNProgressCtrl(int id, QWidget* parent);
    int Id() const { return id_; }
    void SetRange(int low, int high);
    // Clamped into the range.
    void SetPos(int pos);
    int Low() const { return low_; }
    int High() const { return high_; }
    int Pos() const { return pos_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int id_;
    int low_ = 0;
    int high_ = 100;
    int pos_ = 0;
};

class CYNStatusBar : public QWidget {
    Q_OBJECT
public:
    // Pane styles.
    static constexpr unsigned SBPS_NORMAL = 0x0;
    static constexpr unsigned SBPS_NOBORDERS = 0x100;
    static constexpr unsigned SBPS_POPOUT = 0x200;
    static constexpr unsigned SBPS_OWNERDRAW = 0x1000;
    static constexpr unsigned SBPS_PROGRESS = 0x2000000;
    static constexpr unsigned SBPS_DISABLED = 0x4000000;
    static constexpr unsigned SBPS_STRETCH = 0x8000000;

    // The bar's border widths: around the panes, above them, and between two panes.
    struct Borders {
        int horizontal = 0;
        int vertical = 2;
        int gap = 2;
    };
    static constexpr int kTopBorder = 2; // the inside rectangle starts this far down

    // What the layout needs of a pane.
    struct PaneLayout {
        int width = 0;
        bool stretch = false;
    };
    // The panes' right edges for an inside width: each pane is its width + 6 wide, panes are
    // `gap` apart, and the spare width (inside width + gap - sum of (width + 6 + gap)) goes to
    // the stretching panes in order, each taking spare / (stretching panes still to come).
    static std::vector<int> LayoutPaneEdges(int insideWidth, const Borders& borders,
                                            const std::vector<PaneLayout>& panes);

    struct CEvolInfo {
        std::unique_ptr<CYNProgressCtrl> control; // absent until created
        int percent = 0;
        platform::qt::GdiRect rect; // the control's rectangle in the bar
        bool showPercent = false;
        bool created = false;
    };

    // The status window id the framework gives a frame's status bar.
    static constexpr int kStatusBarId = 59393;

    explicit CYNStatusBar(QWidget* parent = nullptr);
    ~CYNStatusBar() override;

    // Texts of pane ids: the program's string resources. The default knows the indicator ids
    // 59137-59141 ("CAP", "NUM", "SCRL", "OVR", "REC"); the lookup answers an empty text for
    // an id it does not know.
    using StringLookup = std::function<QString(unsigned id)>;
    void SetStringLookup(StringLookup lookup);

    // Resets the panes: one per id, text from the id's string (id 0: no text), width the text's
    // width in the bar's font, colour the system button-text colour, no tip, no progress.
    // Pane 0 stretches and starts 0 wide; other panes of id 0 start a quarter of the screen
    // wide. Answers true.
    bool DefinePanes(const std::vector<unsigned>& ids);
    int GetCount() const { return static_cast<int>(panes_.size()); }

    // Answers 1.
    int EnablePaneTips(bool on);
    bool PaneTipsEnabled() const { return tipsEnabled_; }
    // Answers 1; 0 for an index outside the panes.
    int SetPaneTip(int index, const QString& text);
    QString GetPaneTip(int index) const;

    // Sets id, style and width: a new width or a change of the stretch bit lays the panes out
    // again; another style change only redraws the text. Nothing for a bad index.
    void ConfigurePane(int index, unsigned id, unsigned style, int width);
    void GetPaneInfo(int index, unsigned& id, unsigned& style, int& width) const;

    // Sets the text; a colour other than the system button-text colour makes the pane draw its
    // text in that colour (owner-drawn style), the button-text colour turns that off. Answers
    // 0 for a bad index, else 1.
    int SetPaneTextAndColour(int index, const QString& text, platform::qt::COLORREF colour,
                             bool update = true);
    bool SetPaneText(int index, const QString& text, bool update = true);
    QString GetPaneText(int index) const;
    platform::qt::COLORREF GetPaneColour(int index) const;
    unsigned GetItemID(int index) const;
    // The index of the pane with an id, -1 when none.
    int CommandToIndex(unsigned id) const;
    // The pane's rectangle in the bar (empty for a bad index).
    platform::qt::GdiRect GetItemRect(int index) const;

    // Makes the pane a progress pane (a new meter at 0). The second argument is not used.
    // Answers 1; 0 for a bad index.
    int MakeProgressPane(int index, int unused, bool showPercent);
    // Range 0..range and position for a progress pane's meter; with the percentage shown, the
    // pane text becomes position * 100 / range ("37%"; 0% for range 0). The second argument
    // is not used (MakeProgressPane's flag decides). Nothing for a pane without progress or
    // whose meter cannot be made (an empty pane).
    void UpdatePaneProgress(int index, int unused, int range, int position);
    const CEvolInfo* GetProgressInfo(int index) const;

    // The height the bar wants at least (the framework's minimum height).
    void SetMinHeight(int height);

    // The tool under a point: none while the left button is down (by the key state), over a
    // progress meter its pane's tip with id = pane index + count, over a pane the pane's tip
    // with id = the pane's id.
    struct ToolHit {
        bool hit = false;
        int pane = -1;
        int toolId = 0;
        QString text;
        platform::qt::GdiRect rect;
    };
    ToolHit HitTestTip(QPoint point) const;
    // The pane under a point, -1 when none.
    int PaneAt(QPoint point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Lays the panes out for the current size (resizing does it too).
    void RecalcLayout();

signals:
    // A double click on a pane, with the pane's id.
    void PaneDoubleClicked(unsigned id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Pane {
        unsigned id = 0;
        unsigned style = 0;
        int width = 0;
        QString text;
        platform::qt::COLORREF colour = 0;
        QString tip;
        std::unique_ptr<CEvolInfo> progress;
        bool refreshText = false;
        platform::qt::GdiRect rect; // from the last layout
    };

    bool ValidIndex(int index) const { return index >= 0 && index < GetCount(); }
    platform::qt::GdiRect InsideRect() const;
    platform::qt::GdiRect InnerRect(int index) const;
    bool CreateProgressControl(int index);
    int PercentTextWidth() const;

    std::vector<Pane> panes_;
    Borders borders_;
    StringLookup lookup_;
    bool tipsEnabled_ = false;
    int minHeight_ = 0;
};
