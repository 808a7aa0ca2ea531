// The toolbar pictures drawn for this program: small vector drawings, one per freedesktop icon
// name, rendered at whatever size and device pixel ratio they are shown, so a scaled screen gets
// sharp pictures instead of enlarged pixels.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace gvpart {

// True when the program has a drawing of that name.
bool HasToolbarArt(const QString& name);
// The drawing at `logical` size on a screen of `ratio`: a picture of logical x ratio device
// pixels with that ratio set, transparent around the drawing. Null when there is no drawing
// of that name or it cannot be rendered.
QImage RenderToolbarArt(const QString& name, QSize logical, qreal ratio);

} // namespace gvpart
