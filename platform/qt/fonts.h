// Fonts described the way the controls' tables describe them (a face name and a LOGFONT-style
// height) made into QFonts. The faces named there map onto installed metric-compatible families:
//   "Arial", "MS Sans Serif", "Microsoft Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2"
//                                        -> "Liberation Sans"
//   "Tahoma", "Verdana"                  -> "DejaVu Sans"
//   "Courier", "Courier New"             -> "Liberation Mono"
//   "Times New Roman"                    -> "Liberation Serif"
// (without regard to case); any other face is kept as it is.
#pragma once

#include <QFont>
#include <QString>

namespace platform::qt {

QString MapFontFace(const QString& face);

// The one height conversion. A LOGFONT height is in logical pixels:
// - negative: the character (em) height, which is Qt's pixel size;
// - positive: the cell height (ascent + descent): the largest pixel size of the family whose
//   cell is at most that high (at least 1);
// - 0: the application font's pixel size.
// `family` is the Qt family (already mapped) that positive heights are measured in.
int LogFontHeightToPixelSize(int height, const QString& family);

struct LogFont {
    int height = 0;   // as above
    int weight = 400; // 100-900; 0 counts as 400
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    // Tenths of a degree, counter-clockwise. A QFont cannot carry it: the painter rotates.
    int escapement = 0;
    QString faceName; // the table's face; mapped when the font is made
};

// The font a LogFont describes, with its face mapped.
QFont FontFromLogFont(const LogFont& logFont);
// The LogFont of a Qt font: height = -pixel size as resolved, face = the font's family.
LogFont LogFontFromQFont(const QFont& font);

} // namespace platform::qt
