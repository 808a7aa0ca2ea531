#include "controls/commandbars/toolbar_art.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <cstring>
#include <map>

namespace gvpart {

namespace {

// Each drawing sits in a 16 x 16 box; strokes of width 1 lie on half pixels, so they are crisp
// at the toolbar's own size.
const std::map<QString, const char*>& Art() {
    static const std::map<QString, const char*> art = {
        {QStringLiteral("document-new"),
         R"(<path d="M3 1.5h6.5l3.5 3.5v9.5h-10z" fill="#fff" stroke="#404040"/>
<path d="M9.5 1.5v3.5h3.5" fill="#ddd" stroke="#404040"/>
<path d="M11.5 8.5v6M8.5 11.5h6" stroke="#2e8b2e" stroke-width="2"/>)"},
        {QStringLiteral("document-open"),
         R"(<path d="M1.5 3.5h4l1.5 1.5h6.5v8.5h-12z" fill="#e8b64c" stroke="#7a5a12"/>
<path d="M3.5 7.5h12l-2 6h-12z" fill="#f5d27a" stroke="#7a5a12" stroke-linejoin="round"/>)"},
        {QStringLiteral("document-save"),
         R"(<path d="M1.5 1.5h11l2 2v11h-13z" fill="#3d6fb6" stroke="#1e3a66"/>
<rect x="4" y="2" width="7" height="4.5" fill="#fff"/>
<rect x="3.5" y="9.5" width="9" height="5" fill="#e6e6e6" stroke="#1e3a66"/>)"},
        {QStringLiteral("edit-cut"),
         R"(<path d="M5 1.5l5.5 9M11 1.5l-5.5 9" stroke="#505050" stroke-width="1.5" fill="none"/>
<circle cx="4.5" cy="12.5" r="2.2" fill="none" stroke="#c03030" stroke-width="1.5"/>
<circle cx="11.5" cy="12.5" r="2.2" fill="none" stroke="#c03030" stroke-width="1.5"/>)"},
        {QStringLiteral("edit-copy"),
         R"(<rect x="1.5" y="1.5" width="8" height="10" fill="#fff" stroke="#404040"/>
<rect x="6.5" y="4.5" width="8" height="10" fill="#fff" stroke="#404040"/>
<path d="M8.5 7.5h4M8.5 9.5h4M8.5 11.5h4" stroke="#7a9ccf"/>)"},
        {QStringLiteral("edit-paste"),
         R"(<rect x="2.5" y="2.5" width="9" height="12" rx="1" fill="#c49a5a" stroke="#6a4a1a"/>
<rect x="5" y="1.5" width="4" height="2.5" fill="#909090" stroke="#404040"/>
<rect x="7.5" y="6.5" width="7" height="8" fill="#fff" stroke="#404040"/>)"},
        {QStringLiteral("document-print"),
         R"(<rect x="4.5" y="1.5" width="7" height="5" fill="#fff" stroke="#404040"/>
<rect x="1.5" y="6.5" width="13" height="6" rx="1" fill="#8a8a8a" stroke="#404040"/>
<rect x="4.5" y="10.5" width="7" height="4" fill="#fff" stroke="#404040"/>
<circle cx="12.5" cy="8.5" r="0.8" fill="#5c5"/>)"},
        {QStringLiteral("document-print-preview"),
         R"(<rect x="2.5" y="1.5" width="11" height="13" fill="#fff" stroke="#404040"/>
<path d="M2.5 5.5h11M2.5 9.5h11M6.5 1.5v13M10 1.5v13" stroke="#7a9ccf"/>)"},
        {QStringLiteral("help-contents"),
         R"(<path d="M1.5 3c2-1 4.5-1 6.5.5v11c-2-1.5-4.5-1.5-6.5-.5z" fill="#fff" stroke="#1e4a8a"/>
<path d="M14.5 3c-2-1-4.5-1-6.5.5v11c2-1.5 4.5-1.5 6.5-.5z" fill="#dfe9f7" stroke="#1e4a8a"/>)"},
        {QStringLiteral("help-whatsthis"),
         R"(<path d="M1.5 1.5v11l3-3 2 4.5 1.8-.8-2-4.3h4z" fill="#fff" stroke="#202020"/>
<path d="M10 4.3a2 2 0 1 1 2.9 1.8c-.6.3-.9.7-.9 1.4v.6" fill="none" stroke="#1e4a8a" stroke-width="1.5"/>
<circle cx="12" cy="10.3" r="0.9" fill="#1e4a8a"/>)"},
        {QStringLiteral("media-playback-start"),
         R"(<path d="M4 2.5v11l9.5-5.5z" fill="#3a9a3a" stroke="#1c5c1c" stroke-linejoin="round"/>)"},
        {QStringLiteral("media-skip-backward"),
         R"(<rect x="2.5" y="3" width="2" height="10" fill="#404040"/>
<path d="M13.5 2.5v11l-8.5-5.5z" fill="#3d7fd6" stroke="#1e4a8a" stroke-linejoin="round"/>)"},
        {QStringLiteral("zoom-fit-best"),
         R"(<path d="M1.5 2v12M14.5 2v12" stroke="#404040"/>
<path d="M5 8h6" stroke="#3d7fd6" stroke-width="1.6"/>
<path d="M3 8l3-3v6zM13 8l-3-3v6z" fill="#3d7fd6"/>)"},
        {QStringLiteral("view-list-details"),
         R"(<rect x="1.5" y="1.5" width="13" height="13" fill="#fff" stroke="#404040"/>
<path d="M3.5 4.5h2M7 4.5h6M3.5 8h2M7 8h6M3.5 11.5h2M7 11.5h6" stroke="#3d7fd6" stroke-width="1.4"/>)"},
        {QStringLiteral("run-build-install"),
         R"(<circle cx="8" cy="8" r="5.6" fill="none" stroke="#5a5a5a" stroke-width="2.6" stroke-dasharray="2.2 2.2"/>
<circle cx="8" cy="8" r="4" fill="#8a8a8a" stroke="#404040"/>
<circle cx="8" cy="8" r="1.5" fill="#fff"/>)"},
        {QStringLiteral("view-calendar-timeline"),
         R"(<path d="M1 14.5h14M3 12v3M8 12v3M13 12v3" stroke="#404040"/>
<rect x="1.5" y="2.5" width="6" height="3" fill="#3d7fd6" stroke="#1e4a8a"/>
<rect x="5.5" y="7.5" width="8" height="3" fill="#e8b64c" stroke="#7a5a12"/>)"},
        {QStringLiteral("zoom-in"),
         R"(<circle cx="6.5" cy="6.5" r="4.8" fill="#fff" stroke="#404040" stroke-width="1.4"/>
<path d="M10 10l4.5 4.5" stroke="#404040" stroke-width="2.2" stroke-linecap="round"/>
<path d="M4 6.5h5M6.5 4v5" stroke="#3d7fd6" stroke-width="1.4"/>)"},
        {QStringLiteral("zoom-out"),
         R"(<circle cx="6.5" cy="6.5" r="4.8" fill="#fff" stroke="#404040" stroke-width="1.4"/>
<path d="M10 10l4.5 4.5" stroke="#404040" stroke-width="2.2" stroke-linecap="round"/>
<path d="M4 6.5h5" stroke="#3d7fd6" stroke-width="1.4"/>)"},
        {QStringLiteral("go-previous"),
         R"(<path d="M1.5 8l6-6v3.5h7v5h-7v3.5z" fill="#3d7fd6" stroke="#1e4a8a" stroke-linejoin="round"/>)"},
        {QStringLiteral("go-next"),
         R"(<path d="M14.5 8l-6-6v3.5h-7v5h7v3.5z" fill="#3d7fd6" stroke="#1e4a8a" stroke-linejoin="round"/>)"},
        {QStringLiteral("chronometer"),
         R"(<circle cx="8" cy="9" r="5.7" fill="#fff" stroke="#404040" stroke-width="1.3"/>
<rect x="6.5" y="0.8" width="3" height="1.8" fill="#404040"/>
<path d="M8 9V5.2M8 9l2.5 1.8" stroke="#c03030" stroke-width="1.3" stroke-linecap="round"/>)"},
    };
    return art;
}

} // namespace

bool HasToolbarArt(const QString& name) {
    return Art().count(name) != 0;
}

QImage RenderToolbarArt(const QString& name, QSize logical, qreal ratio) {
    const auto it = Art().find(name);
    if (it == Art().end() || logical.isEmpty() || ratio <= 0)
        return {};
    QByteArray svg = QByteArrayLiteral(R"(<svg xmlns="http://www.w3.org/2000/svg" )"
                                       R"(width="16" height="16" viewBox="0 0 16 16">)");
    svg.append(it->second, qsizetype(std::strlen(it->second)));
    svg.append("</svg>");
    QBuffer buffer(&svg);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "svg");
    // Drawn at the device pixels it is shown with: the vector is rendered, not enlarged.
    const QSize pixels(std::max(1, qRound(logical.width() * ratio)),
                       std::max(1, qRound(logical.height() * ratio)));
    reader.setScaledSize(pixels);
    QImage picture = reader.read();
    if (picture.isNull())
        return {};
    picture = picture.convertToFormat(QImage::Format_ARGB32);
    picture.setDevicePixelRatio(ratio);
    return picture;
}

} // namespace gvpart
