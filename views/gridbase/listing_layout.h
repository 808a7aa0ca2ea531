// The paginator of the printed listings (Velmora's script listing, Pactwright's protocol
// listing): CR LF lines laid out on pages, section and comment lines in their own fonts.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// One line of the listing as a page shows it.
struct ListingLine {
    std::string_view text; // without the line end; a section line's brackets still in
    int y = 0;
    enum Style { Body, Section, Comment } style = Body;
};

// Lays the listing text out on pages of line height `lineHeight` and page bottom `pageBottom`
// (device units) and answers the page count; `draw` gets each line of page `page` (none when
// page is 0). Every page takes at least one line, so the count ends on any device.
int LayoutListing(std::string_view text, int lineHeight, int pageBottom, int page,
                  const std::function<void(const ListingLine&)>& draw);
// What a line shows: a section or comment line loses its brackets, a comment its ';'.
std::string ShownListingText(const ListingLine& line);
