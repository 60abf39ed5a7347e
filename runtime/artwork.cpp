#include "runtime/artwork.h"

namespace forms {

PictureFacts pictureFacts(std::string_view name)
{
    for (int i = 0; i < detail::catalogueSize; ++i) {
        if (detail::catalogue[i].name == name)
            return detail::catalogue[i].facts;
    }
    return {};
}

} // namespace forms
