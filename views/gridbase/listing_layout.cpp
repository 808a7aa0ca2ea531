#include "views/gridbase/listing_layout.h"

int LayoutListing(std::string_view text, int lineHeight, int pageBottom, int page,
                  const std::function<void(const ListingLine&)>& draw) {
    int pages = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        ++pages;
        int y = 4 * lineHeight;
        int taken = 0;
        // A page too short for any line still takes one, so the count comes to an end.
        while (pos < text.size() && (y <= pageBottom || taken == 0)) {
            std::size_t end = text.find("\r\n", pos);
            const std::size_t next = end == std::string_view::npos ? text.size() : end + 2;
            if (end == std::string_view::npos)
                end = text.size();
            ListingLine line;
            line.text = text.substr(pos, end - pos);
            line.y = y;
            bool section = false;
            if (!line.text.empty() && (line.text[0] == '[' || line.text[0] == ';')) {
                section = true;
                line.style = line.text[0] == ';' ? ListingLine::Comment : ListingLine::Section;
            }
            if (pages == page && draw)
                draw(line);
            y += lineHeight;
            if (section)
                y += lineHeight;
            pos = next;
            ++taken;
        }
    }
    return pages;
}

std::string ShownListingText(const ListingLine& line) {
    std::string shown;
    if (line.style == ListingLine::Body)
        return std::string(line.text);
    for (char c : line.text)
        if (c != '[' && c != ']')
            shown += c;
    if (line.style == ListingLine::Comment && !shown.empty() && shown[0] == ';')
        shown[0] = ' ';
    return shown;
}
