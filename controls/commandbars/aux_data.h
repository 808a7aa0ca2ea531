// The toolkit's fonts and text-height metric, the auxiliary store of system colours and split
// cursors, and the start-up and shut-down of the toolkit's process-wide objects.
#pragma once

#include "controls/commandbars/colors.h"

#include <QCursor>
#include <QFont>
#include <QString>
#include <array>
#include <functional>
#include <memory>

// What the fonts are built from; tests replace it for a fixed font.
struct GVPFontSource {
    std::function<QFont()> menuFont;
    std::function<QFont()> smallCaptionFont;
    std::function<QFont()> iconTitleFont;
    std::function<QFont()> statusFont;
};

// The eight fonts every bar and theme measures and draws with.
struct CGVPFonts {
    QFont regular;
    QFont bold;
    // The regular font turned for bars at the left or right; drawn rotated by 90 degrees.
    QFont vertical;
    QFont smallCaption;
    QFont iconTitle;
    QFont status;
    // Face "Marlett": its glyphs are drawn as vector shapes (see DrawMarlettGlyph).
    QFont glyphs;
    QFont boldIconTitle;
    // Height of a blank in the regular font plus 6.
    int textHeight = 0;
    bool menuFontSeenAsTahoma = false;
    bool valid = false;
};

CGVPFonts& GetGlobalFonts();
void SetFontSource(GVPFontSource source);
// Rebuilds the eight fonts and the text height.
void RefreshFonts();
// A family of that face is installed (compared without regard to case).
bool FontExists(const QString& face);
// Pixel size of a font whose height came as a negative character height (at least 11).
int MenuFontPixelSize(const QFont& menuFont);

struct GV_AUX_DATA {
    GV_AUX_DATA();
    virtual ~GV_AUX_DATA();
    GV_AUX_DATA(const GV_AUX_DATA&) = delete;
    GV_AUX_DATA& operator=(const GV_AUX_DATA&) = delete;

    // 3D highlight and window frame, as the splitter draws them.
    COLORREF clrBtnHilite = 0;
    COLORREF clrWindowFrame = 0;
    // Bars that move sideways, bars that move up and down.
    QCursor hcurHSplit;
    QCursor hcurVSplit;
};

// Built on the first call, destroyed at exit.
GV_AUX_DATA& GetGlobalAuxData();

// Creates the toolkit's process-wide objects in their order and, on destruction, destroys them
// in the reverse one. One lives in main() once the QApplication exists.
class CGVPToolkit {
public:
    CGVPToolkit();
    ~CGVPToolkit();
    CGVPToolkit(const CGVPToolkit&) = delete;
    CGVPToolkit& operator=(const CGVPToolkit&) = delete;
};

// Done from CGVPToolkit; exposed for tests that set the toolkit up in pieces.
void GVPToolkitInit();
void GVPToolkitExit();
