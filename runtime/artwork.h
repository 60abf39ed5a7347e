#pragma once
// The artwork drawn for the game, as the build read it from the drawings:
// each picture's own size in pixels at 96 DPI and the title it gives itself,
// for whichever backend shows it and for screen readers.

#include <string_view>

namespace forms {

struct PictureFacts
{
    int width = 0;
    int height = 0;
    std::string_view title {};
};

// The picture of that name ("ball"); no size and no title for an unknown one.
PictureFacts pictureFacts(std::string_view name);

namespace detail {
// Written by the build (cmake/artwork.cmake) from assets/*.svg.
struct CataloguedPicture
{
    std::string_view name;
    PictureFacts facts;
};
extern const CataloguedPicture catalogue[];
extern const int catalogueSize;
} // namespace detail

} // namespace forms
